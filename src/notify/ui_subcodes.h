#pragma once
// The UI subcodes of WM_IM_NOTIFY (its wParam): what the main panel is asked to do on the UI
// thread, and what lParam carries for each.
//
// lParam by subcode:
//   a subcode from the dispatch table     const platform::NotifyRecord* (valid during the call)
//   kFriendRequest                        a posted parcel (parcel.h) holding a FriendRequest
//   kArrivalTip, kOpenChatAtOnce          const core::QueuedMessage* (valid during the call)
//   the others                            whatever their senders define

namespace notify::ui {

inline constexpr int kFriendRequest = 1;
inline constexpr int kFileOffer = 2;
inline constexpr int kUpdateDialog = 3;
inline constexpr int kFileTransferSucceeded = 4;
inline constexpr int kFileTransferFailed = 5;
inline constexpr int kChannelList = 8;
inline constexpr int kNewMailTip = 9;
inline constexpr int kArrivalTip = 10;
inline constexpr int kStatusTip = 11;
inline constexpr int kRegisterAudioService = 12;
inline constexpr int kOpenChatAtOnce = 13;
inline constexpr int kTemporaryConversation = 18;
inline constexpr int kAnnouncements = 19;
inline constexpr int kRoomUpdate = 20;
inline constexpr int kVcard = 22;
inline constexpr int kChannelTabsUpdate = 23;
inline constexpr int kSmsQuota = 24;
inline constexpr int kTimedSmsAnswer = 25;
inline constexpr int kMailAccount = 26;
inline constexpr int kPhoneBookCard = 27;
inline constexpr int kOpenChatFromCommandLine = 28;
inline constexpr int kFileTransferProgress = 29;
inline constexpr int kFileTransferStarted = 30;
inline constexpr int kFileTransferRefused = 31;
inline constexpr int kFileTransferCancelled = 32;
inline constexpr int kCustomPictureReceived = 34;
inline constexpr int kPictureTransfer = 35;
inline constexpr int kIncomingMessage = 36;
inline constexpr int kLoginResult = 37;
inline constexpr int kUnknownChatPartner = 43;
inline constexpr int kOfflineFileSwitch = 44;
inline constexpr int kRosterProgress = 45;
inline constexpr int kPresenceChanged = 46;

// The highest subcode the main panel knows.
inline constexpr int kLastSubcode = 46;

}  // namespace notify::ui
