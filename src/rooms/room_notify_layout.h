#pragma once
// The room notifications as the session engine hands them over: numbered text slots and
// numbers (platform::SlotData). Each reader takes one type's slots and answers what they say,
// or nothing when the record is too short; a missing optional slot reads as empty. The
// readers never trust the server: every index is checked.
//
//   47  own room list        slots: (room JID, name, affiliation) per room
//   49  consultation rooms   slots: (room JID, name) per room
//   50  member presence      slots: occupant JID (room/nickname), real JID, affiliation, role
//   52  room message         slots: occupant JID, font header, content, time
//   53  room info            slots: room JID, subject, name; numbers: count, limit
//   54  room dissolved       slots: room JID
//   55  member counts        slots: room JID; numbers: count, limit
//   57  invitation           slots: room JID, inviter JID, room type ("temporary"), name
//   60  member list          slots: room JID, then (member JID, name, affiliation) per member
//   61  room error           slots: room JID, the server's text

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/session/notify_record.h"

namespace rooms {

namespace room_notify {
inline constexpr std::uint32_t kOwnRoomList = 47;
inline constexpr std::uint32_t kConsultationRooms = 49;
inline constexpr std::uint32_t kMemberPresence = 50;
inline constexpr std::uint32_t kRoomMessage = 52;
inline constexpr std::uint32_t kRoomInfo = 53;
inline constexpr std::uint32_t kRoomDissolved = 54;
inline constexpr std::uint32_t kMemberCounts = 55;
inline constexpr std::uint32_t kInvitation = 57;
inline constexpr std::uint32_t kMemberList = 60;
inline constexpr std::uint32_t kRoomError = 61;
}  // namespace room_notify

struct RoomListEntry {
    std::string jid;
    std::string name;
    std::string affiliation;
};
struct MemberPresence {
    std::string occupantJid;
    std::string realJid;
    std::string affiliation;
    std::string role;
};
struct RoomMessage {
    std::string occupantJid;
    std::string font;
    std::string content;
    std::string time;
};
struct RoomInfo {
    std::string jid;
    std::string subject;
    std::string name;
    int count = 0;
    int limit = 0;
};
struct RoomCounts {
    std::string jid;
    int count = 0;
    int limit = 0;
};
struct Invitation {
    std::string jid;
    std::string inviter;
    std::string roomType;
    std::string name;
};
struct MemberListEntry {
    std::string jid;
    std::string name;
    std::string affiliation;
};
struct MemberList {
    std::string jid;
    std::vector<MemberListEntry> members;
};
struct RoomError {
    std::string jid;
    std::string text;
};

// Entries without a room JID are dropped.
std::vector<RoomListEntry> ReadRoomList(const platform::SlotData& data);
std::vector<RoomListEntry> ReadConsultationRooms(const platform::SlotData& data);
std::optional<MemberPresence> ReadMemberPresence(const platform::SlotData& data);
std::optional<RoomMessage> ReadRoomMessage(const platform::SlotData& data);
std::optional<RoomInfo> ReadRoomInfo(const platform::SlotData& data);
std::optional<std::string> ReadRoomJid(const platform::SlotData& data);
std::optional<RoomCounts> ReadRoomCounts(const platform::SlotData& data);
std::optional<Invitation> ReadInvitation(const platform::SlotData& data);
std::optional<MemberList> ReadMemberList(const platform::SlotData& data);
std::optional<RoomError> ReadRoomError(const platform::SlotData& data);

// The room JID of an occupant JID (the part before the first "/"), and its nickname.
std::string RoomOfOccupant(std::string_view occupantJid);
std::string NicknameOfOccupant(std::string_view occupantJid);
// The key a room is kept under: the bare JID by the exact rule (ASCII case ignored).
std::string RoomKey(std::string_view jid);

}  // namespace rooms
