#include "platform/session/notify_record.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
namespace nt = notify_type;

TEST(NotifyRecordTest, EachTypeCodeCallsForItsPayload) {
    struct Case {
        std::uint32_t type;
        NotifyPayload payload;  // an instance of the expected alternative
    };
    const Case cases[] = {
        {nt::kLoginResult, LoginResultData{}},
        {nt::kLoggedInElsewhere, LoggedInElsewhereData{}},
        {nt::kUpdateNotice, UpdateNoticeData{}},
        {nt::kContactListLoading, ContactListData{}},
        {11, MessageData{}},
        {15, MessageData{}},
        {51, MessageData{}},
        {101, MessageData{}},
        {16, PresenceData{}},
        {22, PresenceData{}},
        {24, PresenceData{}},
        {nt::kSubscriptionRequest, SubscriptionRequestData{}},
        {26, FileTransferData{}},
        {32, FileTransferData{}},
        {104, FileTransferData{}},
        {nt::kChannelList, ChannelListData{}},
        {nt::kTypingState, TypingStateData{}},
        {nt::kSmsQuota, SmsQuotaData{}},
        {nt::kTimedSmsAnswer, TimedSmsAnswerData{}},
        {nt::kDataPhaseStart, NoPayload{}},
        // Not typed yet, and codes no one knows.
        {23, SlotData{}},
        {39, SlotData{}},
        {33, SlotData{}},
        {107, SlotData{}},
        {0xFFFFFFFFu, SlotData{}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExpectedPayloadIndex(c.type), c.payload.index()) << c.type;
        EXPECT_TRUE(HasExpectedPayload(NotifyRecord{c.type, c.payload})) << c.type;
    }
}

TEST(NotifyRecordTest, MismatchedPayloadIsRepresentableAndReadsAsNull) {
    NotifyRecord record = MakeNotify(nt::kChatMessage, PresenceData{"a@b", "", "online", "", ""});
    EXPECT_FALSE(HasExpectedPayload(record));
    EXPECT_EQ(record.As<MessageData>(), nullptr);
    ASSERT_NE(record.As<PresenceData>(), nullptr);
    EXPECT_EQ(record.As<PresenceData>()->jid, "a@b");
}

TEST(NotifyRecordTest, PresenceWordsMapToTheirCodes) {
    struct Case {
        const char* word;
        std::uint32_t type;
    };
    const Case cases[] = {
        {"online", 16}, {"chat", 16},    {"away", 18}, {"xa", 19}, {"dnd", 20},
        {"busy", 21},   {"offline", 22}, {"AWAY", 18}, {"", 16},   {"invisible", 16},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PresenceTypeFor(c.word), c.type) << c.word;
        EXPECT_TRUE(IsPresenceType(PresenceTypeFor(c.word)));
    }
    EXPECT_FALSE(IsPresenceType(nt::kSubscriptionRequest));
    EXPECT_FALSE(IsPresenceType(23));
}

}  // namespace
