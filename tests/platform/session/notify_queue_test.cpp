#include "platform/session/notify_queue.h"

#include <gtest/gtest.h>

#include "os/sys/clock.h"
#include "os/sys/event.h"

namespace {

using namespace platform;

class NotifyQueueTest : public ::testing::Test {
  protected:
    NotifyRecord Typing(const char* state) {
        return MakeNotify(notify_type::kTypingState, TypingStateData{"a", "b", state});
    }

    os::ManualClock clock_;
    os::Event lost_{clock_, os::EventReset::Auto};
    os::Event notify_{clock_, os::EventReset::Auto};
    NotifyQueue queue_;
};

TEST_F(NotifyQueueTest, PushSetsTheNotifyEventAndTakeIsFirstInFirstOut) {
    queue_.SetEvents(&lost_, &notify_);
    queue_.Push(Typing("composing"));
    queue_.Push(Typing("active"));
    EXPECT_TRUE(notify_.Wait(0));
    NotifyRecord* first = queue_.Take();
    NotifyRecord* second = queue_.Take();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->As<TypingStateData>()->state, "composing");
    EXPECT_EQ(second->As<TypingStateData>()->state, "active");
    EXPECT_EQ(queue_.Take(), nullptr);
    EXPECT_EQ(queue_.IssuedCount(), 2u);
    queue_.GiveBack(first);
    queue_.GiveBack(second);
    EXPECT_EQ(queue_.IssuedCount(), 0u);
    EXPECT_FALSE(lost_.IsSet());
}

TEST_F(NotifyQueueTest, GivingBackWhatIsNotOutDoesNothing) {
    queue_.Push(Typing("active"));
    NotifyRecord* record = queue_.Take();
    NotifyRecord local = Typing("x");
    queue_.GiveBack(nullptr);
    queue_.GiveBack(&local);
    EXPECT_EQ(queue_.IssuedCount(), 1u);
    queue_.GiveBack(record);
    queue_.GiveBack(record);
    EXPECT_EQ(queue_.IssuedCount(), 0u);
}

TEST_F(NotifyQueueTest, LostSignalCanWaitForARecordToComeBack) {
    queue_.SetEvents(&lost_, &notify_);
    queue_.Push(MakeNotify(notify_type::kLoggedInElsewhere, LoggedInElsewhereData{}),
                OnGiveBack::SignalLost);
    NotifyRecord* record = queue_.Take();
    EXPECT_FALSE(lost_.IsSet());
    queue_.GiveBack(record);
    EXPECT_TRUE(lost_.Wait(0));
    queue_.GiveBack(record);  // a second give-back signals nothing
    EXPECT_FALSE(lost_.IsSet());
}

TEST_F(NotifyQueueTest, EventsAreOnlyThoseLastGiven) {
    queue_.Push(Typing("active"));
    EXPECT_FALSE(notify_.IsSet()) << "no events yet";
    queue_.SignalLost();
    queue_.SetEvents(&lost_, &notify_);
    EXPECT_TRUE(notify_.Wait(0)) << "what waited is announced";
    EXPECT_FALSE(lost_.IsSet());
    queue_.SetEvents(nullptr, nullptr);
    queue_.Push(Typing("composing"));
    queue_.SignalLost();
    EXPECT_FALSE(notify_.IsSet());
    EXPECT_FALSE(lost_.IsSet());
    EXPECT_EQ(queue_.QueuedCount(), 2u);
    queue_.DiscardQueued();
    EXPECT_EQ(queue_.Take(), nullptr);
}

}  // namespace
