#include "rooms/room_notify_layout.h"

#include <limits>

#include "platform/jid/jid.h"

namespace rooms {
namespace {

std::string Slot(const platform::SlotData& data, std::size_t index) {
    return index < data.slots.size() ? data.slots[index] : std::string();
}

// A count the server sends, kept within what an int holds; a missing one is 0.
int Number(const platform::SlotData& data, std::size_t index) {
    if (index >= data.numbers.size()) return 0;
    const std::int64_t value = data.numbers[index];
    if (value < 0) return 0;
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

bool HasRoom(const platform::SlotData& data) { return !Slot(data, 0).empty(); }

}  // namespace

std::vector<RoomListEntry> ReadRoomList(const platform::SlotData& data) {
    std::vector<RoomListEntry> entries;
    for (std::size_t i = 0; i < data.slots.size(); i += 3) {
        RoomListEntry entry{Slot(data, i), Slot(data, i + 1), Slot(data, i + 2)};
        if (!entry.jid.empty()) entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<RoomListEntry> ReadConsultationRooms(const platform::SlotData& data) {
    std::vector<RoomListEntry> entries;
    for (std::size_t i = 0; i < data.slots.size(); i += 2) {
        RoomListEntry entry{Slot(data, i), Slot(data, i + 1), {}};
        if (!entry.jid.empty()) entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<MemberPresence> ReadMemberPresence(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return MemberPresence{Slot(data, 0), Slot(data, 1), Slot(data, 2), Slot(data, 3)};
}

std::optional<RoomMessage> ReadRoomMessage(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return RoomMessage{Slot(data, 0), Slot(data, 1), Slot(data, 2), Slot(data, 3)};
}

std::optional<RoomInfo> ReadRoomInfo(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return RoomInfo{Slot(data, 0), Slot(data, 1), Slot(data, 2), Number(data, 0), Number(data, 1)};
}

std::optional<std::string> ReadRoomJid(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return Slot(data, 0);
}

std::optional<RoomCounts> ReadRoomCounts(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return RoomCounts{Slot(data, 0), Number(data, 0), Number(data, 1)};
}

std::optional<Invitation> ReadInvitation(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return Invitation{Slot(data, 0), Slot(data, 1), Slot(data, 2), Slot(data, 3)};
}

std::optional<MemberList> ReadMemberList(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    MemberList list{Slot(data, 0), {}};
    for (std::size_t i = 1; i < data.slots.size(); i += 3) {
        MemberListEntry entry{Slot(data, i), Slot(data, i + 1), Slot(data, i + 2)};
        if (!entry.jid.empty()) list.members.push_back(std::move(entry));
    }
    return list;
}

std::optional<RoomError> ReadRoomError(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return RoomError{Slot(data, 0), Slot(data, 1)};
}

std::string RoomOfOccupant(std::string_view occupantJid) {
    return platform::Jid(occupantJid).Bare();
}

std::string NicknameOfOccupant(std::string_view occupantJid) {
    return platform::Jid(occupantJid).Resource();
}

std::string RoomKey(std::string_view jid) {
    return platform::Jid(platform::Jid(jid).Bare()).ExactKey();
}

}  // namespace rooms
