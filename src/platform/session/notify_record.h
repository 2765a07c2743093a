#pragma once
// Notifications from the session engine: a 32-bit type code and a typed payload.
//
// The type code and the payload are independent on purpose: the engine sets both, and a
// record whose payload is not the one its code calls for (a malformed record, or one from a
// newer engine) can still be built, so the notification pump can be tested against it.
// Readers take the payload with As<T>(), which answers null on a mismatch, never a crash.
//
// All texts are GBK byte strings, as everywhere in the system.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace platform {

// The type codes the client knows. Codes that are not named here are still valid codes;
// the pump ignores what it does not know.
namespace notify_type {
inline constexpr std::uint32_t kLoginResult = 0;
inline constexpr std::uint32_t kLoggedInElsewhere = 1;
inline constexpr std::uint32_t kUpdateNotice = 2;
inline constexpr std::uint32_t kRosterProgressLocal = 3;
inline constexpr std::uint32_t kContactListLoading = 5;
inline constexpr std::uint32_t kRosterProgressServer = 6;
inline constexpr std::uint32_t kContactListLoaded = 10;
// Chat and notice messages; 11 is a one-to-one chat message.
inline constexpr std::uint32_t kChatMessage = 11;
inline constexpr std::uint32_t kChatMessage2 = 12;
inline constexpr std::uint32_t kNoticeMessage = 13;
inline constexpr std::uint32_t kNoticeMessage2 = 14;
inline constexpr std::uint32_t kChatMessage3 = 15;
// Presence of a contact. The simulated server answers with the code of the presence word
// (PresenceTypeFor below); the pump treats every presence code alike.
inline constexpr std::uint32_t kPresenceAvailable = 16;  // "online", "chat"
inline constexpr std::uint32_t kSubscriptionRequest = 17;
inline constexpr std::uint32_t kPresenceAway = 18;          // "away"
inline constexpr std::uint32_t kPresenceExtendedAway = 19;  // "xa"
inline constexpr std::uint32_t kPresenceDoNotDisturb = 20;  // "dnd"
inline constexpr std::uint32_t kPresenceBusy = 21;          // "busy"
inline constexpr std::uint32_t kPresenceOffline = 22;       // "offline"
inline constexpr std::uint32_t kPresenceProbeAnswer = 24;   // answer to a status query
inline constexpr std::uint32_t kChatWindowUpdate = 25;
inline constexpr std::uint32_t kFileTransferStarted = 26;
inline constexpr std::uint32_t kFileTransferProgress = 27;
inline constexpr std::uint32_t kFileTransferRefused = 28;
inline constexpr std::uint32_t kFileTransferCancelled = 29;
inline constexpr std::uint32_t kFileTransferSucceeded = 30;
inline constexpr std::uint32_t kFileTransferFailed = 31;
inline constexpr std::uint32_t kFileOffer = 32;
inline constexpr std::uint32_t kTreeNodeAdded = 34;
inline constexpr std::uint32_t kNewMailCount = 38;
inline constexpr std::uint32_t kVcard = 39;
inline constexpr std::uint32_t kUserDataUpdate = 40;
inline constexpr std::uint32_t kChannelList = 41;
inline constexpr std::uint32_t kTypingState = 42;
inline constexpr std::uint32_t kGatewayError = 43;
// Rooms. Every room record but the message (51, a MessageData) is a SlotData; the layouts
// are given with the room_slot constants below.
inline constexpr std::uint32_t kRoomInvitation = 47;
inline constexpr std::uint32_t kRoomList = 49;
inline constexpr std::uint32_t kRoomInfo = 50;
// A room message: from is the occupant JID ("room/nickname"), fromName the nickname, to the
// receiver; flag is set on the messages of the short history a newcomer is given.
inline constexpr std::uint32_t kRoomMessageWithPictures = 51;
inline constexpr std::uint32_t kRoomMessage = kRoomMessageWithPictures;
inline constexpr std::uint32_t kRoomMemberPresence = 52;
inline constexpr std::uint32_t kRoomMembersList = 53;
inline constexpr std::uint32_t kRoomRemoved = 54;
inline constexpr std::uint32_t kRoomMemberCounts = 55;
inline constexpr std::uint32_t kTemporaryConversation = 57;
inline constexpr std::uint32_t kRoomError = 60;
inline constexpr std::uint32_t kRoomVoiceRequest = 61;
inline constexpr std::uint32_t kSmsQuota = 77;
inline constexpr std::uint32_t kTimedSmsAnswer = 78;
inline constexpr std::uint32_t kPhoneBookCard = 80;
inline constexpr std::uint32_t kBatchSmsRefused = 99;  // slot 1: the group's user count
inline constexpr std::uint32_t kOfflineFileSwitch = 104;
inline constexpr std::uint32_t kOaNotice = 101;
inline constexpr std::uint32_t kUnknownChatPartner = 103;
inline constexpr std::uint32_t kDataPhaseStart = 106;
inline constexpr std::uint32_t kLastKnown = 106;
}  // namespace notify_type

// Slot positions of the room records (SlotData).
namespace room_slot {
// 47, to the invitee: room JID, inviter's JID, reason (the room type: "temporary" for a
// temporary room), room name, inviter's nickname.
inline constexpr std::size_t kInviteRoom = 0, kInviteFrom = 1, kInviteReason = 2, kInviteName = 3,
                             kInviteFromName = 4;
// 49, the answer to RefreshSelfConferenceList: one triple per room the user is affiliated
// with (JID, name, affiliation); numbers[0] is the flag of the call.
inline constexpr std::size_t kListStride = 3, kListJid = 0, kListName = 1, kListAffiliation = 2;
// 50, room info (the answer to QueryConferenceInfo, and to every occupant when the subject
// changes): room JID, name, subject, "persistent" or "temporary"; numbers: member count,
// member limit, occupants present.
inline constexpr std::size_t kInfoRoom = 0, kInfoName = 1, kInfoSubject = 2, kInfoKind = 3;
inline constexpr std::size_t kInfoCount = 0, kInfoLimit = 1, kInfoPresent = 2;
// 52, member presence, to every occupant (the member's own entry included): occupant JID
// ("room/nickname"), real JID, affiliation, role ("none": gone), nickname, and why a member
// went ("left", "offline", "kicked", "removed", "destroyed"; empty otherwise).
inline constexpr std::size_t kMemberOccupant = 0, kMemberRealJid = 1, kMemberAffiliation = 2,
                             kMemberRole = 3, kMemberNick = 4, kMemberStatus = 5;
// 53, the answer to QueryConferenceMembersList: room JID, then one quadruple per affiliated
// user (real JID, nickname, affiliation, role: "none" when not present).
inline constexpr std::size_t kMembersRoom = 0, kMembersFirst = 1, kMembersStride = 4;
// 54, to a user whose room left the own list: room JID, reason ("destroyed", "removed").
inline constexpr std::size_t kRemovedRoom = 0, kRemovedReason = 1;
// 55, member counts, to every occupant when a count changed: room JID, room name; numbers:
// member count, member limit, occupants present.
inline constexpr std::size_t kCountsRoom = 0, kCountsName = 1;
// 60, to the session whose call failed: room JID, condition ("item-not-found" for a room that
// is gone, "forbidden", "not-allowed", "not-acceptable", "conflict"), the call's name;
// numbers[0] the error code (404, 403, 405, 406, 409).
inline constexpr std::size_t kErrorRoom = 0, kErrorCondition = 1, kErrorCall = 2;
// 61, a visitor asks for voice, to every moderator present: room JID, occupant JID, real JID,
// nickname.
inline constexpr std::size_t kVoiceRoom = 0, kVoiceOccupant = 1, kVoiceRealJid = 2, kVoiceNick = 3;
}  // namespace room_slot

// ---- Payloads ----

// A record that carries no data.
struct NoPayload {
    friend bool operator==(const NoPayload&, const NoPayload&) = default;
};

// Why a login failed. The client only tells success from failure (and shows a nickname
// conflict differently); the engine says more for its log and for tests.
enum class LoginFailure {
    None,            // success
    BadCredentials,  // unknown account or wrong password
    NicknameInUse,   // an anonymous login whose nickname is taken
    Refused,         // the server refused the session for another reason
};

// Type 0: the result of a login attempt. `result` is 1 on success, 0 on failure.
struct LoginResultData {
    int result = 0;
    LoginFailure failure = LoginFailure::None;
    std::string text;  // the server's own words, may be empty
    friend bool operator==(const LoginResultData&, const LoginResultData&) = default;
};

// Type 1: the account was logged in from another computer; this session is over.
struct LoggedInElsewhereData {
    std::string jid;       // the account's JID
    std::string location;  // where the new login came from (a resource or address), may be empty
    friend bool operator==(const LoggedInElsewhereData&, const LoggedInElsewhereData&) = default;
};

// Types 11..15, 51 and 101: a message.
struct MessageData {
    std::string from;  // sender JID
    std::string to;    // receiver JID
    int subKind = 0;   // kept with a queued message
    std::string subject;
    std::string font;      // the font header ("FONT(...")
    std::string fromName;  // sender display name
    std::string time;
    std::string content;  // the encoded message body
    bool flag = false;
    friend bool operator==(const MessageData&, const MessageData&) = default;
};

// Type 2: a new-version notice; six texts the update code reads by position.
struct UpdateNoticeData {
    std::array<std::string, 6> texts;
    friend bool operator==(const UpdateNoticeData&, const UpdateNoticeData&) = default;
};

// Types 16..24 (but 17 and 23): a contact's presence.
struct PresenceData {
    std::string jid;       // bare JID of the contact
    std::string resource;  // the resource that sent it, may be empty
    std::string
        presence;  // presence word: "online", "chat", "away", "xa", "dnd", "busy", "offline"
    std::string statusText;  // free text the contact set, may be empty
    std::string nickname;    // the contact's nickname when the server knows it
    friend bool operator==(const PresenceData&, const PresenceData&) = default;
};

// Type 17: someone asks to add the user as a contact.
struct SubscriptionRequestData {
    std::string jid;  // the requester
    friend bool operator==(const SubscriptionRequestData&,
                           const SubscriptionRequestData&) = default;
};

// Type 42: the other party's typing state.
struct TypingStateData {
    std::string from;
    std::string to;
    std::string state;  // "composing" or "active"
    friend bool operator==(const TypingStateData&, const TypingStateData&) = default;
};

// Type 41: the channels (web tabs) of the user, sent once a login has succeeded.
struct Channel {
    std::string title;
    std::string url;
    friend bool operator==(const Channel&, const Channel&) = default;
};
struct ChannelListData {
    std::vector<Channel> channels;
    friend bool operator==(const ChannelListData&, const ChannelListData&) = default;
};

// The namespaces of the two personal lists, and the top kinds of their trees: the key of a
// list's group is "<top kind>,<group id>", a user's group key the key of its group (the top
// kind alone for a user at the top).
inline constexpr std::string_view kRosterNameSpace = "jabber:iq:roster";
inline constexpr std::string_view kPhoneBookNameSpace = "kestral:iq:private:phone";
inline constexpr std::string_view kRosterTopKind = "iqRosterTop";
inline constexpr std::string_view kPhoneBookTopKind = "privatePhoneTop";

// Roster and phone-book lists (types 3, 5, 6, 10 and kin).
struct ContactListUser {
    std::string jid;
    std::string name;
    std::string groupKey;
    friend bool operator==(const ContactListUser&, const ContactListUser&) = default;
};
struct ContactListGroup {
    std::string id;
    std::string name;
    std::string parentId;
    friend bool operator==(const ContactListGroup&, const ContactListGroup&) = default;
};
struct ContactListData {
    std::string nameSpace;  // "jabber:iq:roster" or "kestral:iq:private:phone"
    std::vector<ContactListUser> users;
    std::vector<ContactListGroup> groups;
    friend bool operator==(const ContactListData&, const ContactListData&) = default;
};

// What a type-27 record reports: bytes that moved, or the outcome of the offer (the sender
// learns whether the peer was reached).
enum class FileStage { Data, Negotiated, NegotiationFailed };
// Why a transfer failed (type 31).
inline constexpr int kFileFailureOther = 0;
inline constexpr int kFileFailureConfiguration = 2;
inline constexpr int kFileFailureNetwork = 3;

// Types 26..32 and 104: a file transfer event.
struct FileTransferData {
    std::string key;  // the transfer key (32 hex digits)
    std::string peerJid;
    std::string fileName;  // name without folder
    std::string filePath;  // full path on this side, when known
    std::int64_t size = 0;
    std::int64_t transferred = 0;
    bool sending = false;  // this side sends the file
    FileStage stage = FileStage::Data;
    int reason = kFileFailureOther;
    friend bool operator==(const FileTransferData&, const FileTransferData&) = default;
};

// Type 77: the SMS quota answer.
struct SmsQuotaData {
    int quotaKind = 0;  // 1 per day, 2 per month, 3 in total, other: no quota
    int remaining = 0;
    int third = 0;
    friend bool operator==(const SmsQuotaData&, const SmsQuotaData&) = default;
};

// Type 78: the timed-SMS answer: the window in which timed SMS may be scheduled ("YYYY-MM-DD
// HH:MM" each) and the timed SMS still allowed (decimal; 4294967295 unlimited), or an error
// code such as "-16_1002" in `start` instead.
struct TimedSmsAnswerData {
    std::string start;
    std::string end;
    std::string remaining;
    friend bool operator==(const TimedSmsAnswerData&, const TimedSmsAnswerData&) = default;
};

// Every other kind until the work that handles it gives it a type of its own: numbered text
// slots (as vCards, room and directory records hand them over) and a few numbers.
struct SlotData {
    std::vector<std::string> slots;
    std::vector<std::int64_t> numbers;
    friend bool operator==(const SlotData&, const SlotData&) = default;
};

using NotifyPayload =
    std::variant<NoPayload, LoginResultData, LoggedInElsewhereData, MessageData, UpdateNoticeData,
                 PresenceData, SubscriptionRequestData, TypingStateData, ChannelListData,
                 ContactListData, FileTransferData, SmsQuotaData, TimedSmsAnswerData, SlotData>;

struct NotifyRecord {
    std::uint32_t type = 0;
    NotifyPayload payload;

    // The payload as T, or null when it holds something else.
    template <typename T>
    const T* As() const {
        return std::get_if<T>(&payload);
    }
    template <typename T>
    T* As() {
        return std::get_if<T>(&payload);
    }
};

// Builds a record (the engine and tests use it).
template <typename T>
NotifyRecord MakeNotify(std::uint32_t type, T payload) {
    return NotifyRecord{type, NotifyPayload(std::move(payload))};
}

// The payload alternative (index into NotifyPayload) that a type code calls for; codes
// without a typed payload yet call for SlotData, codes that carry nothing for NoPayload.
std::size_t ExpectedPayloadIndex(std::uint32_t type);
// Whether the record's payload is the one its type code calls for.
bool HasExpectedPayload(const NotifyRecord& record);

// The presence code the server sends for a presence word (case-insensitive);
// unknown words count as "online" (an available presence without a show element).
std::uint32_t PresenceTypeFor(std::string_view presenceWord);
// Whether a type code carries a contact's presence.
bool IsPresenceType(std::uint32_t type);
// Whether a type code carries a message record.
bool IsMessageType(std::uint32_t type);

}  // namespace platform
