// Reading the room records: what a well-formed record says, and what a short or odd one
// (a server is outside input) comes to.

#include "rooms/room_notify_layout.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/gbk_print.h"

namespace rooms {
namespace {

platform::SlotData Record(std::vector<std::string> slots, std::vector<std::int64_t> numbers = {}) {
    return platform::SlotData{std::move(slots), std::move(numbers)};
}

TEST(RoomNotifyLayoutTest, ARecordWithoutARoomIsNothing) {
    const platform::SlotData empty = Record({});
    const platform::SlotData blank = Record({""}, {1, 2});
    for (const platform::SlotData* data : {&empty, &blank}) {
        EXPECT_FALSE(ReadInvitation(*data));
        EXPECT_FALSE(ReadRoomInfo(*data));
        EXPECT_FALSE(ReadMemberPresence(*data));
        EXPECT_FALSE(ReadMemberList(*data));
        EXPECT_FALSE(ReadRoomRemoved(*data));
        EXPECT_FALSE(ReadRoomCounts(*data));
        EXPECT_FALSE(ReadRoomError(*data));
        EXPECT_FALSE(ReadVoiceRequest(*data));
        EXPECT_TRUE(ReadRoomList(*data).empty());
    }
}

TEST(RoomNotifyLayoutTest, MissingSlotsReadAsEmptyAndMissingNumbersAsZero) {
    const auto presence = ReadMemberPresence(Record({"r@conference.h/bob"}));
    ASSERT_TRUE(presence);
    EXPECT_EQ(presence->occupantJid, "r@conference.h/bob");
    EXPECT_EQ(presence->role, "");
    EXPECT_EQ(presence->nickname, "");
    const auto info = ReadRoomInfo(Record({"r@conference.h", "税务"}));
    ASSERT_TRUE(info);
    EXPECT_GBK_EQ(info->name, "税务");
    EXPECT_EQ(info->subject, "");
    EXPECT_EQ(info->count, 0);
    EXPECT_EQ(info->limit, 0);
}

TEST(RoomNotifyLayoutTest, CountsOutsideWhatAnIntHoldsAreKeptWithinIt) {
    const auto counts = ReadRoomCounts(
        Record({"r@conference.h", "税务"}, {-5, std::numeric_limits<std::int64_t>::max(), 1}));
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->count, 0);
    EXPECT_EQ(counts->limit, std::numeric_limits<int>::max());
}

TEST(RoomNotifyLayoutTest, ListsKeepTheirWholeEntriesAndDropThoseWithoutAJid) {
    // The own room list: a cut-off last triple keeps its JID; an entry without one goes.
    const auto rooms = ReadRoomList(
        Record({"a@conference.h", "甲", "owner", "", "乙", "member", "c@conference.h"}));
    ASSERT_EQ(rooms.size(), 2u);
    EXPECT_EQ(rooms[0].affiliation, "owner");
    EXPECT_EQ(rooms[1].jid, "c@conference.h");
    EXPECT_EQ(rooms[1].name, "");

    const auto list = ReadMemberList(Record({"r@conference.h", "bob@h", "Bob", "owner", "moderator",
                                             "", "x", "member", "none", "carol@h", "Carol"}));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->members.size(), 2u);
    EXPECT_EQ(list->members[0].role, "moderator");
    EXPECT_EQ(list->members[1].jid, "carol@h");
    EXPECT_EQ(list->members[1].affiliation, "");
}

TEST(RoomNotifyLayoutTest, ARoomMessageNamesItsSpeakerByTheRecordsNameOrTheOccupant) {
    core::QueuedMessage message;
    message.from = "r@conference.h/bob";
    message.content = "你好";
    message.flag = true;
    auto read = ReadRoomMessage(message);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->nickname, "bob");
    EXPECT_TRUE(read->history);
    message.fromName = "Bob";
    EXPECT_EQ(ReadRoomMessage(message)->nickname, "Bob");
    message.from.clear();
    EXPECT_FALSE(ReadRoomMessage(message));
}

}  // namespace
}  // namespace rooms
