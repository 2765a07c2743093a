#pragma once
// The room notifications as the session engine hands them over: numbered text slots and
// numbers (platform::SlotData) at the positions of platform::room_slot, and the room message
// as a message record. Each reader takes one type's record and answers what it says, or
// nothing when the record names no room; a missing optional slot reads as empty. The readers
// never trust the server: every index is checked.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pending_messages.h"
#include "platform/session/notify_record.h"

namespace rooms {

struct Invitation {
    std::string jid;
    std::string inviter;
    std::string roomType;  // the reason: "temporary" for a temporary room
    std::string name;
    std::string inviterName;
};
struct RoomListEntry {
    std::string jid;
    std::string name;
    std::string affiliation;
};
struct RoomInfo {
    std::string jid;
    std::string name;
    std::string subject;
    int count = 0;
    int limit = 0;
};
struct MemberPresence {
    std::string occupantJid;  // room JID + "/" + nickname
    std::string realJid;
    std::string affiliation;
    std::string role;  // "none": gone
    std::string nickname;
    std::string status;  // why a member went ("left", "kicked", ...), else empty
};
struct MemberListEntry {
    std::string jid;
    std::string name;
    std::string affiliation;
    std::string role;  // "none" when not present
};
struct MemberList {
    std::string jid;
    std::vector<MemberListEntry> members;
};
struct RoomRemoved {
    std::string jid;
    std::string reason;  // "destroyed" or "removed"
};
struct RoomCounts {
    std::string jid;
    std::string name;
    int count = 0;
    int limit = 0;
};
struct RoomError {
    std::string jid;
    std::string condition;
    std::string call;
    int code = 0;
};
struct VoiceRequest {
    std::string jid;
    std::string occupantJid;
    std::string realJid;
    std::string nickname;
};
struct RoomMessage {
    std::string occupantJid;
    std::string nickname;
    std::string font;
    std::string content;
    std::string time;
    bool history = false;  // one of the last messages a newcomer is given
};

inline constexpr std::string_view kRoomDestroyed = "destroyed";

std::optional<Invitation> ReadInvitation(const platform::SlotData& data);
// Entries without a room JID are dropped.
std::vector<RoomListEntry> ReadRoomList(const platform::SlotData& data);
std::optional<RoomInfo> ReadRoomInfo(const platform::SlotData& data);
std::optional<MemberPresence> ReadMemberPresence(const platform::SlotData& data);
std::optional<MemberList> ReadMemberList(const platform::SlotData& data);
std::optional<RoomRemoved> ReadRoomRemoved(const platform::SlotData& data);
std::optional<RoomCounts> ReadRoomCounts(const platform::SlotData& data);
std::optional<RoomError> ReadRoomError(const platform::SlotData& data);
std::optional<VoiceRequest> ReadVoiceRequest(const platform::SlotData& data);
std::optional<RoomMessage> ReadRoomMessage(const core::QueuedMessage& message);

// The room JID of an occupant JID (the part before the first "/"), and its nickname.
std::string RoomOfOccupant(std::string_view occupantJid);
std::string NicknameOfOccupant(std::string_view occupantJid);
// The key a room is kept under: the bare JID by the exact rule (ASCII case ignored).
std::string RoomKey(std::string_view jid);

}  // namespace rooms
