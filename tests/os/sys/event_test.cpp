#include "os/sys/event.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "support/wait_for.h"
#include "support/waiting/clock_waiters.h"

namespace {

using os::Event;
using os::EventReset;
using os::kInfinite;
using os::kWaitTimeout;
using os::ManualClock;
using os::WaitForAny;
using testing_support::WaitFor;
using testing_support::WaitForWaiters;

TEST(EventTest, SetResetAndTestWithoutWaiting) {
    struct Case {
        EventReset reset;
        bool initiallySet;
        bool firstWait;   // Wait(0) right away
        bool secondWait;  // and once more
    } cases[] = {
        {EventReset::Auto, false, false, false},
        {EventReset::Auto, true, true, false},  // consumed by the first wait
        {EventReset::Manual, false, false, false},
        {EventReset::Manual, true, true, true},  // stays set
    };
    ManualClock clock;
    for (const Case& c : cases) {
        Event event(clock, c.reset, c.initiallySet);
        EXPECT_EQ(event.IsSet(), c.initiallySet);
        EXPECT_EQ(event.Wait(0), c.firstWait);
        EXPECT_EQ(event.Wait(0), c.secondWait);
        event.Set();
        EXPECT_TRUE(event.IsSet());
        event.Reset();
        EXPECT_FALSE(event.IsSet());
        EXPECT_FALSE(event.Wait(0));
    }
    EXPECT_EQ(clock.WaiterCount(), 0);
}

TEST(EventTest, AutoResetSetWithoutWaiterStaysSetForTheNextWait) {
    ManualClock clock;
    Event event(clock, EventReset::Auto);
    event.Set();
    event.Set();  // does not count twice
    EXPECT_TRUE(event.Wait(kInfinite));
    EXPECT_FALSE(event.Wait(0));
}

// The waiter is still waiting 1 ms before its time-out: a Set then releases it as signalled.
TEST(EventTest, WaitIsSignalledUpToItsDeadline) {
    ManualClock clock;
    Event event(clock, EventReset::Auto);
    std::atomic<int> result{-1};
    std::thread waiter([&] { result = event.Wait(1000); });
    ASSERT_TRUE(WaitForWaiters(clock, 1));
    clock.Advance(999);
    event.Set();
    waiter.join();
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(event.IsSet());
}

TEST(EventTest, WaitTimesOutWhenTheClockReachesItsDeadline) {
    ManualClock clock;
    Event event(clock, EventReset::Manual);
    std::atomic<int> result{-1};
    std::atomic<os::Millis> returnedAt{-1};
    std::thread waiter([&] {
        result = event.Wait(20'000);
        returnedAt = clock.Now();
    });
    ASSERT_TRUE(WaitForWaiters(clock, 1));
    clock.Advance(20'000);
    waiter.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(returnedAt, 20'000);
}

TEST(EventTest, AutoResetReleasesOneWaiterPerSet) {
    ManualClock clock;
    Event event(clock, EventReset::Auto);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            if (event.Wait(kInfinite)) ++released;
        });
    }
    ASSERT_TRUE(WaitForWaiters(clock, 3));
    for (int expected = 1; expected <= 3; ++expected) {
        event.Set();
        ASSERT_TRUE(WaitFor([&] { return released.load() >= expected; }));
        // The signal went to one waiter and was used up; the others still wait.
        EXPECT_EQ(released.load(), expected);
        EXPECT_FALSE(event.IsSet());
        ASSERT_TRUE(WaitFor([&] { return clock.WaiterCount() == 3 - expected; }));
    }
    for (auto& t : waiters) t.join();
}

TEST(EventTest, ManualResetReleasesEveryWaiterAndStaysSet) {
    ManualClock clock;
    Event event(clock, EventReset::Manual);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            if (event.Wait(kInfinite)) ++released;
        });
    }
    ASSERT_TRUE(WaitForWaiters(clock, 3));
    event.Set();
    for (auto& t : waiters) t.join();
    EXPECT_EQ(released, 3);
    EXPECT_TRUE(event.IsSet());
}

TEST(WaitForAnyTest, PicksTheLowestSetIndexAndConsumesOnlyThatOne) {
    struct Case {
        std::array<bool, 3> setBefore;
        int expected;
        std::array<bool, 3> setAfter;
    } cases[] = {
        {{false, false, false}, kWaitTimeout, {false, false, false}},
        {{false, true, false}, 1, {false, false, false}},
        {{false, true, true}, 1, {false, false, true}},
        {{true, false, true}, 0, {false, false, true}},
    };
    ManualClock clock;
    for (const Case& c : cases) {
        Event a(clock, EventReset::Auto), b(clock, EventReset::Auto), d(clock, EventReset::Auto);
        Event* events[] = {&a, &b, &d};
        for (int i = 0; i < 3; ++i) {
            if (c.setBefore[i]) events[i]->Set();
        }
        EXPECT_EQ(WaitForAny(clock, events, 0), c.expected);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(events[i]->IsSet(), c.setAfter[i]) << i;
    }
}

TEST(WaitForAnyTest, ManualResetEventIsNotConsumed) {
    ManualClock clock;
    Event stop(clock, EventReset::Manual);
    Event work(clock, EventReset::Auto, true);
    Event* events[] = {&stop, &work};
    stop.Set();
    EXPECT_EQ(WaitForAny(clock, events, 0), 0);
    EXPECT_EQ(WaitForAny(clock, events, 0), 0);
    EXPECT_TRUE(work.IsSet());
}

TEST(WaitForAnyTest, WakesWhenAnyEventIsSetLater) {
    ManualClock clock;
    Event a(clock, EventReset::Auto), b(clock, EventReset::Auto);
    Event* events[] = {&a, &b};
    std::atomic<int> result{-2};
    std::thread waiter([&] { result = WaitForAny(clock, events, 5000); });
    ASSERT_TRUE(WaitForWaiters(clock, 1));
    clock.Advance(4999);
    b.Set();
    waiter.join();
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(b.IsSet());
    EXPECT_FALSE(a.IsSet());
}

TEST(WaitForAnyTest, TimesOutAtItsDeadline) {
    ManualClock clock;
    Event a(clock, EventReset::Auto), b(clock, EventReset::Manual);
    Event* events[] = {&a, &b};
    std::atomic<int> result{-2};
    std::thread waiter([&] { result = WaitForAny(clock, events, 200); });
    ASSERT_TRUE(WaitForWaiters(clock, 1));
    clock.Advance(200);
    waiter.join();
    EXPECT_EQ(result, kWaitTimeout);
    // Events set after the wait gave up are not taken by it.
    a.Set();
    EXPECT_TRUE(a.IsSet());
}

TEST(WaitForAnyTest, EmptyListReturnsAtOnce) {
    ManualClock clock;
    EXPECT_EQ(WaitForAny(clock, std::span<Event* const>(), kInfinite), kWaitTimeout);
}

// One auto-reset Set between a plain waiter and a WaitForAny waiter releases exactly one.
TEST(WaitForAnyTest, SharesAnAutoResetSignalWithAPlainWaiter) {
    ManualClock clock;
    Event shared(clock, EventReset::Auto);
    Event other(clock, EventReset::Auto);
    Event* events[] = {&other, &shared};
    std::atomic<int> released{0};
    std::thread single([&] {
        if (shared.Wait(kInfinite)) ++released;
    });
    std::thread multi([&] {
        if (WaitForAny(clock, events, kInfinite) == 1) ++released;
    });
    ASSERT_TRUE(WaitForWaiters(clock, 2));
    shared.Set();
    ASSERT_TRUE(WaitFor([&] { return released.load() == 1; }));
    EXPECT_FALSE(shared.IsSet());
    shared.Set();  // and the second one releases the other
    single.join();
    multi.join();
    EXPECT_EQ(released, 2);
}

// Producers hand signals to one consumer through WaitForAny and wait for each to be
// acknowledged: a lost wake-up hangs the test, a doubled one breaks the counts.
TEST(EventStressTest, PingPongThroughWaitForAny) {
    os::RealClock clock;
    constexpr int kProducers = 3;
    constexpr int kRounds = 2000;
    std::vector<std::unique_ptr<Event>> ready, ack;
    for (int i = 0; i < kProducers; ++i) {
        ready.push_back(std::make_unique<Event>(clock, EventReset::Auto));
        ack.push_back(std::make_unique<Event>(clock, EventReset::Auto));
    }
    std::vector<Event*> readyList;
    for (auto& e : ready) readyList.push_back(e.get());

    std::vector<std::thread> producers;
    for (int i = 0; i < kProducers; ++i) {
        producers.emplace_back([&, i] {
            for (int r = 0; r < kRounds; ++r) {
                ready[i]->Set();
                ack[i]->Wait(kInfinite);
            }
        });
    }
    std::array<int, kProducers> received{};
    for (int n = 0; n < kProducers * kRounds; ++n) {
        int index = WaitForAny(clock, readyList, kInfinite);
        ASSERT_GE(index, 0);
        ++received[index];
        ack[index]->Set();
    }
    for (auto& t : producers) t.join();
    for (int i = 0; i < kProducers; ++i) EXPECT_EQ(received[i], kRounds);
    for (auto& e : ready) EXPECT_FALSE(e->IsSet());
}

TEST(EventStressTest, ManyThreadsShareOneAutoResetEvent) {
    os::RealClock clock;
    Event tokens(clock, EventReset::Auto);
    Event done(clock, EventReset::Manual);
    constexpr int kConsumers = 4;
    constexpr int kTokens = 4000;
    std::atomic<int> taken{0};
    std::vector<std::thread> consumers;
    for (int i = 0; i < kConsumers; ++i) {
        consumers.emplace_back([&] {
            Event* events[] = {&done, &tokens};
            for (;;) {
                int index = WaitForAny(clock, events, kInfinite);
                if (index == 0) return;
                ++taken;
            }
        });
    }
    // Hand out one token at a time: the next only once the last was taken.
    for (int i = 1; i <= kTokens; ++i) {
        tokens.Set();
        ASSERT_TRUE(WaitFor([&] { return taken.load() >= i; }));
    }
    done.Set();
    for (auto& t : consumers) t.join();
    EXPECT_EQ(taken, kTokens);
}

}  // namespace
