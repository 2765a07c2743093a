#include "core/pending_messages.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

core::QueuedMessage From(std::string from, std::string content) {
    core::QueuedMessage message;
    message.from = std::move(from);
    message.content = std::move(content);
    return message;
}

TEST(PendingMessageQueue, TakeIfTakesMatchesInOrderAndKeepsTheRestInOrder) {
    core::PendingMessageQueue queue;
    queue.Push(From("a", "1"));
    queue.Push(From("b", "2"));
    queue.Push(From("a", "3"));
    queue.Push(From("c", "4"));
    const auto taken = queue.TakeIf([](const core::QueuedMessage& m) { return m.from == "a"; });
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].content, "1");
    EXPECT_EQ(taken[1].content, "3");
    const auto rest = queue.Snapshot();
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].content, "2");
    EXPECT_EQ(rest[1].content, "4");
}

TEST(PendingMessageQueue, AnEmptyQueueAnswersNothing) {
    core::PendingMessageQueue queue;
    EXPECT_FALSE(queue.Front());
    EXPECT_FALSE(queue.PopFront());
    queue.Push(From("a", "1"));
    EXPECT_EQ(queue.PopFront()->content, "1");
    EXPECT_TRUE(queue.Empty());
}

TEST(PendingMessageQueue, ArrivalsFromAnotherThreadAreAllKept) {
    core::PendingMessageQueue queue;
    std::thread producer([&] {
        for (int i = 0; i < 1000; ++i) queue.Push(From("p", std::to_string(i)));
    });
    std::size_t taken = 0;
    while (taken < 1000) {
        if (queue.PopFront()) ++taken;
    }
    producer.join();
    EXPECT_TRUE(queue.Empty());
}

}  // namespace
