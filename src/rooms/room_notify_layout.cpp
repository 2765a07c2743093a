#include "rooms/room_notify_layout.h"

#include <limits>

#include "platform/jid/jid.h"

namespace rooms {
namespace {

namespace slot = platform::room_slot;

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

// Every room record names its room (or its occupant) in the first slot.
bool HasRoom(const platform::SlotData& data) { return !Slot(data, 0).empty(); }

}  // namespace

std::optional<Invitation> ReadInvitation(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return Invitation{Slot(data, slot::kInviteRoom), Slot(data, slot::kInviteFrom),
                      Slot(data, slot::kInviteReason), Slot(data, slot::kInviteName),
                      Slot(data, slot::kInviteFromName)};
}

std::vector<RoomListEntry> ReadRoomList(const platform::SlotData& data) {
    std::vector<RoomListEntry> entries;
    for (std::size_t i = 0; i < data.slots.size(); i += slot::kListStride) {
        RoomListEntry entry{Slot(data, i + slot::kListJid), Slot(data, i + slot::kListName),
                            Slot(data, i + slot::kListAffiliation)};
        if (!entry.jid.empty()) entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<RoomInfo> ReadRoomInfo(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return RoomInfo{Slot(data, slot::kInfoRoom), Slot(data, slot::kInfoName),
                    Slot(data, slot::kInfoSubject), Number(data, slot::kInfoCount),
                    Number(data, slot::kInfoLimit)};
}

std::optional<MemberPresence> ReadMemberPresence(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return MemberPresence{Slot(data, slot::kMemberOccupant),    Slot(data, slot::kMemberRealJid),
                          Slot(data, slot::kMemberAffiliation), Slot(data, slot::kMemberRole),
                          Slot(data, slot::kMemberNick),        Slot(data, slot::kMemberStatus)};
}

std::optional<MemberList> ReadMemberList(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    MemberList list{Slot(data, slot::kMembersRoom), {}};
    for (std::size_t i = slot::kMembersFirst; i < data.slots.size(); i += slot::kMembersStride) {
        MemberListEntry entry{Slot(data, i), Slot(data, i + 1), Slot(data, i + 2),
                              Slot(data, i + 3)};
        if (!entry.jid.empty()) list.members.push_back(std::move(entry));
    }
    return list;
}

std::optional<RoomRemoved> ReadRoomRemoved(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return RoomRemoved{Slot(data, slot::kRemovedRoom), Slot(data, slot::kRemovedReason)};
}

std::optional<RoomCounts> ReadRoomCounts(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return RoomCounts{Slot(data, slot::kCountsRoom), Slot(data, slot::kCountsName),
                      Number(data, slot::kInfoCount), Number(data, slot::kInfoLimit)};
}

std::optional<RoomError> ReadRoomError(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return RoomError{Slot(data, slot::kErrorRoom), Slot(data, slot::kErrorCondition),
                     Slot(data, slot::kErrorCall), Number(data, 0)};
}

std::optional<VoiceRequest> ReadVoiceRequest(const platform::SlotData& data) {
    if (!HasRoom(data)) return std::nullopt;
    return VoiceRequest{Slot(data, slot::kVoiceRoom), Slot(data, slot::kVoiceOccupant),
                        Slot(data, slot::kVoiceRealJid), Slot(data, slot::kVoiceNick)};
}

std::optional<RoomMessage> ReadRoomMessage(const core::QueuedMessage& message) {
    if (RoomOfOccupant(message.from).empty()) return std::nullopt;
    std::string nickname =
        message.fromName.empty() ? NicknameOfOccupant(message.from) : message.fromName;
    return RoomMessage{message.from,    std::move(nickname), message.font,
                       message.content, message.time,        message.flag};
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
