#include "os/sys/clock.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "support/scoped_env.h"
#include "support/wait_for.h"
#include "support/waiting/clock_waiters.h"

namespace {

using os::kInfinite;
using os::ManualClock;
using os::Millis;
using testing_support::WaitFor;
using testing_support::WaitForWaiters;

TEST(ManualClockTest, TimeMovesOnlyWhenAdvanced) {
    ManualClock clock;
    EXPECT_EQ(clock.Now(), 0);
    clock.Advance(1500);
    EXPECT_EQ(clock.Now(), 1500);
    clock.AdvanceTo(1000);  // never backwards
    EXPECT_EQ(clock.Now(), 1500);
    clock.Advance(-20);
    EXPECT_EQ(clock.Now(), 1500);
}

TEST(ManualClockTest, TickCountWrapsAfter32Bits) {
    ManualClock clock;
    clock.AdvanceTo((Millis{1} << 32) + 7);
    EXPECT_EQ(clock.TickCount(), 7u);
}

TEST(ManualClockTest, WallClockFollowsStartAndAdvance) {
    testing_support::ScopedEnv utc("TZ", "UTC");
    ManualClock clock(1767603600);  // 2026-01-05 09:00:00 UTC, a Monday
    clock.Advance(61'250);
    EXPECT_EQ(clock.UnixTime(), 1767603661);
    os::LocalTime t = clock.LocalNow();
    EXPECT_EQ(t.year, 2026);
    EXPECT_EQ(t.month, 1);
    EXPECT_EQ(t.day, 5);
    EXPECT_EQ(t.hour, 9);
    EXPECT_EQ(t.minute, 1);
    EXPECT_EQ(t.second, 1);
    EXPECT_EQ(t.millisecond, 250);
    EXPECT_EQ(t.dayOfWeek, 1);
}

TEST(ManualClockTest, DeadlineAfterSaturates) {
    ManualClock clock;
    clock.Advance(100);
    struct Case {
        Millis ms;
        Millis expected;
    } cases[] = {
        {0, 100},
        {50, 150},
        {-1, kInfinite},  // INFINITE passed as a negative number
        {kInfinite, kInfinite},
        {kInfinite - 50, kInfinite},  // would overflow
    };
    for (const Case& c : cases) EXPECT_EQ(clock.DeadlineAfter(c.ms), c.expected) << c.ms;
}

TEST(ManualClockTest, SleepEndsExactlyAtItsDeadline) {
    ManualClock clock;
    std::atomic<bool> woke{false};
    std::atomic<Millis> wokeAt{-1};
    std::thread sleeper([&] {
        clock.Sleep(300);
        wokeAt = clock.Now();
        woke = true;
    });
    ASSERT_TRUE(WaitForWaiters(clock, 1));
    EXPECT_EQ(clock.NextDeadline(), 300);
    clock.Advance(299);
    EXPECT_EQ(clock.WaiterCount(), 1);  // still asleep: its wait is still registered
    clock.Advance(1);
    ASSERT_TRUE(WaitFor([&] { return woke.load(); }));
    sleeper.join();
    EXPECT_EQ(wokeAt, 300);
    EXPECT_EQ(clock.WaiterCount(), 0);
}

TEST(ManualClockTest, SleepOfZeroReturnsAtOnce) {
    ManualClock clock;
    clock.Sleep(0);
    EXPECT_EQ(clock.WaiterCount(), 0);
}

TEST(ManualClockTest, WaitReturnsReadyWhenNotifiedBeforeDeadline) {
    ManualClock clock;
    std::mutex mutex;
    std::condition_variable cv;
    bool ready = false;
    std::atomic<int> result{-1};
    std::thread waiter([&] {
        std::unique_lock lock(mutex);
        result = clock.WaitUntil(lock, cv, 1000, [&] { return ready; });
    });
    ASSERT_TRUE(WaitForWaiters(clock, 1));
    clock.Advance(999);
    {
        std::lock_guard guard(mutex);
        ready = true;
    }
    cv.notify_all();
    waiter.join();
    EXPECT_EQ(result, 1);
}

// A source of deadlines such as a window system's timers: `onStep` fires what is due.
class RecordingSource {
  public:
    explicit RecordingSource(ManualClock& clock) : clock_(clock) {
        id_ = clock.AddDeadlineSource([this] { return Next(); }, [this](Millis now) { Step(now); });
    }
    ~RecordingSource() { clock_.RemoveDeadlineSource(id_); }

    void Schedule(Millis at) {
        std::lock_guard guard(mutex_);
        pending_.push_back(at);
    }
    // When the timer at `when` fires, start another one `delay` later.
    void ChainAt(Millis when, Millis delay) {
        std::lock_guard guard(mutex_);
        chains_.push_back({when, delay});
    }
    std::vector<Millis> fired() {
        std::lock_guard guard(mutex_);
        return fired_;
    }
    std::vector<Millis> steps() {
        std::lock_guard guard(mutex_);
        return steps_;
    }

  private:
    Millis Next() {
        std::lock_guard guard(mutex_);
        Millis next = kInfinite;
        for (Millis at : pending_) next = std::min(next, at);
        return next;
    }
    void Step(Millis now) {
        std::lock_guard guard(mutex_);
        steps_.push_back(now);
        // Fire what is due, earliest first.
        std::sort(pending_.begin(), pending_.end());
        while (!pending_.empty() && pending_.front() <= now) {
            Millis at = pending_.front();
            pending_.erase(pending_.begin());
            fired_.push_back(at);
            for (const auto& [when, delay] : chains_) {
                if (when == at) pending_.push_back(now + delay);
            }
        }
    }

    ManualClock& clock_;
    ManualClock::DeadlineSource id_;
    std::mutex mutex_;
    std::vector<Millis> pending_;
    std::vector<std::pair<Millis, Millis>> chains_;
    std::vector<Millis> fired_;
    std::vector<Millis> steps_;
};

TEST(ManualClockTest, AdvanceStepsThroughSourceDeadlinesInOrder) {
    ManualClock clock;
    RecordingSource source(clock);
    source.Schedule(300);
    source.Schedule(100);
    source.Schedule(200);
    source.Schedule(900);  // beyond the span
    clock.Advance(500);
    EXPECT_EQ(source.fired(), (std::vector<Millis>{100, 200, 300}));
    EXPECT_EQ(source.steps(), (std::vector<Millis>{100, 200, 300, 500}));
    EXPECT_EQ(clock.Now(), 500);
    EXPECT_EQ(clock.NextDeadline(), 900);
}

TEST(ManualClockTest, DeadlineStartedByAHookWithinTheSpanFiresToo) {
    ManualClock clock;
    RecordingSource source(clock);
    source.Schedule(100);
    source.ChainAt(100, 50);   // 100 starts 150
    source.ChainAt(150, 50);   // 150 starts 200
    source.ChainAt(200, 500);  // 200 starts 700, past the span
    source.Schedule(180);
    clock.Advance(300);
    EXPECT_EQ(source.fired(), (std::vector<Millis>{100, 150, 180, 200}));
    EXPECT_EQ(clock.NextDeadline(), 700);
}

TEST(ManualClockTest, WaiterDeadlinesAreStepsOfAdvance) {
    ManualClock clock;
    RecordingSource source(clock);
    std::thread sleeper([&] { clock.Sleep(250); });
    ASSERT_TRUE(WaitForWaiters(clock, 1));
    clock.Advance(400);
    sleeper.join();
    EXPECT_EQ(source.steps(), (std::vector<Millis>{250, 400}));
}

TEST(ManualClockTest, SourceMayRemoveItselfFromItsOwnHook) {
    ManualClock clock;
    ManualClock::DeadlineSource id = 0;
    int calls = 0;
    id = clock.AddDeadlineSource([] { return Millis{10}; },
                                 [&](Millis) {
                                     ++calls;
                                     clock.RemoveDeadlineSource(id);
                                 });
    clock.Advance(100);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(clock.NextDeadline(), kInfinite);
}

// Sleepers leave their waits while the clock is still waking them; each wake-up must be done
// with a sleeper's mutex and condition variable before the sleep returns and frees them.
TEST(ManualClockTest, ManySleepersAcrossManyAdvances) {
    ManualClock clock;
    constexpr int kThreads = 4;
    constexpr int kSleeps = 200;
    std::atomic<int> done{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kSleeps; ++i) clock.Sleep(1 + (i + t) % 3);
            ++done;
        });
    }
    while (done.load() < kThreads) clock.Advance(1);
    for (auto& t : threads) t.join();
    EXPECT_EQ(clock.WaiterCount(), 0);
}

TEST(RealClockTest, ReadyConditionEndsTheWait) {
    os::RealClock clock;
    std::mutex mutex;
    std::condition_variable cv;
    std::unique_lock lock(mutex);
    EXPECT_TRUE(clock.WaitUntil(lock, cv, kInfinite, [] { return true; }));
    EXPECT_FALSE(clock.WaitUntil(lock, cv, clock.Now(), [] { return false; }));
    EXPECT_TRUE(lock.owns_lock());
}

// A deadline centuries away must not overflow into one in the past.
TEST(RealClockTest, FarDeadlineWaitsForTheCondition) {
    os::RealClock clock;
    std::mutex mutex;
    std::condition_variable cv;
    bool ready = false;
    std::atomic<bool> entered{false};
    std::atomic<int> result{-1};
    std::thread waiter([&] {
        std::unique_lock lock(mutex);
        entered = true;
        result = clock.WaitUntil(lock, cv, clock.Now() + (Millis{1} << 60), [&] { return ready; });
    });
    ASSERT_TRUE(WaitFor([&] { return entered.load(); }));
    {
        std::lock_guard guard(mutex);
        ready = true;
    }
    cv.notify_all();
    waiter.join();
    EXPECT_EQ(result, 1);
}

}  // namespace
