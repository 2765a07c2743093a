#include "os/sys/thread.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <memory>
#include <string>

#include "os/sys/event.h"
#include "support/wait_for.h"
#include "support/waiting/clock_waiters.h"

namespace {

using os::Event;
using os::EventReset;
using os::kInfinite;
using os::ManualClock;
using os::Thread;
using testing_support::WaitFor;
using testing_support::WaitForWaiters;

// A body that sleeps on an event until it is asked to stop, the way the workers do.
std::function<void(std::stop_token)> WaitForStop(ManualClock& clock) {
    return [&clock](std::stop_token stop) {
        Event wake(clock, EventReset::Manual);
        std::stop_callback onStop(stop, [&] { wake.Set(); });
        while (!stop.stop_requested()) wake.Wait(kInfinite);
    };
}

TEST(ThreadTest, StopRequestEndsABodyThatChecksIt) {
    ManualClock clock;
    Thread thread("worker", WaitForStop(clock));
    EXPECT_TRUE(thread.Joinable());
    EXPECT_TRUE(thread.Running());
    EXPECT_FALSE(thread.StopRequested());
    thread.RequestStop();
    EXPECT_TRUE(thread.StopRequested());
    EXPECT_TRUE(thread.WaitEnded(clock, kInfinite));
    EXPECT_FALSE(thread.Running());
    EXPECT_FALSE(thread.Joinable());  // joined
}

TEST(ThreadTest, WaitEndedTimesOutOnTheClockWhileTheBodyRuns) {
    ManualClock clock;
    Thread thread("worker", WaitForStop(clock));
    ASSERT_TRUE(WaitForWaiters(clock, 1));  // the body waits
    std::thread advancer([&] {
        EXPECT_TRUE(WaitForWaiters(clock, 2));  // and so does WaitEnded
        clock.Advance(200);
    });
    EXPECT_FALSE(thread.WaitEnded(clock, 200));
    advancer.join();
    EXPECT_EQ(clock.Now(), 200);
    EXPECT_TRUE(thread.Running());
    EXPECT_TRUE(thread.Joinable());
    thread.RequestStop();
    EXPECT_TRUE(thread.WaitEnded(clock, 1000));
}

TEST(ThreadTest, WaitEndedOfZeroOnlyLooks) {
    ManualClock clock;
    Thread thread("worker", WaitForStop(clock));
    EXPECT_FALSE(thread.WaitEnded(clock, 0));
    thread.RequestStop();
    EXPECT_TRUE(thread.WaitEnded(clock, kInfinite));
}

// The owner goes away while the body still runs: the body is asked to stop and carries on
// alone with the state it owns.
TEST(ThreadTest, DestroyingARunningThreadAsksItToStopAndLetsItFinish) {
    ManualClock clock;
    auto resume = std::make_shared<Event>(clock, EventReset::Manual);
    auto finished = std::make_shared<Event>(clock, EventReset::Manual);
    auto sawStop = std::make_shared<std::atomic<bool>>(false);
    {
        Thread thread("detached", [resume, finished, sawStop](std::stop_token stop) {
            resume->Wait(kInfinite);
            *sawStop = stop.stop_requested();
            finished->Set();
        });
        ASSERT_TRUE(WaitForWaiters(clock, 1));
    }
    resume->Set();
    EXPECT_TRUE(finished->Wait(kInfinite));
    EXPECT_TRUE(*sawStop);
}

TEST(ThreadTest, BodyRunsUnderItsNameAndId) {
    struct Case {
        std::string name;
        std::string systemName;
    } cases[] = {
        {"login", "login"},
        {"CheckLoginTimeO", "CheckLoginTimeO"},    // 15 bytes: the limit
        {"CheckLoginTimeOut", "CheckLoginTimeO"},  // cut to 15
    };
    ManualClock clock;
    for (const Case& c : cases) {
        std::string seen;
        std::thread::id bodyId;
        Thread thread(c.name, [&](std::stop_token) {
            char name[16] = {};
            pthread_getname_np(pthread_self(), name, sizeof name);
            seen = name;
            bodyId = std::this_thread::get_id();
        });
        std::thread::id id = thread.Id();
        ASSERT_TRUE(thread.WaitEnded(clock, kInfinite));
        EXPECT_EQ(seen, c.systemName);
        EXPECT_EQ(bodyId, id);
        EXPECT_NE(id, std::this_thread::get_id());
        EXPECT_EQ(thread.name(), c.name);
    }
}

TEST(ThreadTest, EmptyThreadHasNothingToWaitFor) {
    ManualClock clock;
    Thread thread;
    EXPECT_FALSE(thread.Joinable());
    EXPECT_FALSE(thread.Running());
    EXPECT_TRUE(thread.WaitEnded(clock, 100));
    EXPECT_EQ(thread.Id(), std::thread::id());
    thread.RequestStop();  // harmless
}

TEST(ThreadTest, MoveHandsTheThreadOver) {
    ManualClock clock;
    Thread first("worker", WaitForStop(clock));
    std::thread::id id = first.Id();
    Thread second = std::move(first);
    EXPECT_FALSE(first.Joinable());
    EXPECT_EQ(second.Id(), id);
    EXPECT_TRUE(second.Running());

    // Assigning over a running thread lets go of it as destruction would: asked to stop.
    std::atomic<bool> replacedStopped{false};
    Thread third("other", [&](std::stop_token stop) {
        Event wake(clock, EventReset::Manual);
        std::stop_callback onStop(stop, [&] { wake.Set(); });
        wake.Wait(kInfinite);
        replacedStopped = true;
    });
    third = std::move(second);
    ASSERT_TRUE(WaitFor([&] { return replacedStopped.load(); }));
    EXPECT_EQ(third.Id(), id);
    third.RequestStop();
    EXPECT_TRUE(third.WaitEnded(clock, kInfinite));
}

}  // namespace
