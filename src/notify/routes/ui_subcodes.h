#pragma once
// The UI subcodes of WM_IM_NOTIFY (its wParam) that parts of the client send to the main
// panel, besides those of the records' routes (the rows of dispatch_table.h set those, and
// lParam is then the const platform::NotifyRecord*, valid during the call). The handler of
// one of these is registered with NotificationHandlers::OnSubcode.
//
// lParam by subcode:
//   kFriendRequest                        a posted parcel (parcel.h) holding a FriendRequest
//   kArrivalTip, kOpenChatAtOnce          const core::QueuedMessage* (valid during the call)
//   kStatusTip                            const std::string* the tip text (valid during the call)
//   kSystemMessageBox, kBroadcastMessageBox
//                                         const std::string* the box text (valid during the call)
//   the others                            whatever their senders define

namespace notify::ui {

inline constexpr int kSystemMessageBox = 0;  // a box titled "系统消息"
inline constexpr int kFriendRequest = 1;
inline constexpr int kUpdateDialog = 3;
inline constexpr int kBroadcastMessageBox = 6;  // a box titled "广播消息"
inline constexpr int kArrivalTip = 10;
inline constexpr int kStatusTip = 11;
inline constexpr int kRegisterAudioService = 12;
inline constexpr int kOpenChatAtOnce = 13;
inline constexpr int kOpenChatFromCommandLine = 28;

}  // namespace notify::ui
