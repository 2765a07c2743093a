// Timers under a manual clock: order, periods, restarts, timers started by timers.

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "loop_thread.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "support/waiting/clock_waiters.h"
#include "support/windows/recording_window.h"

namespace {

using namespace os;
using testing_support::RecordingWindow;

struct Fired {
    Millis at;
    std::uint64_t id;
    friend bool operator==(const Fired&, const Fired&) = default;
};

void PrintTo(const Fired& f, std::ostream* os) { *os << f.id << "@" << f.at; }

class TimersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window.CreateTopLevel());
        window.script = [this](UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
            if (m == WM_TIMER) fired.push_back(Fired{clock.Now(), w});
            if (m == WM_TIMER && onTimer) onTimer(w);
            return std::nullopt;
        };
    }

    ManualClock clock;
    WindowSystem system{clock};
    RecordingWindow window{system};
    std::vector<Fired> fired;
    std::function<void(std::uint64_t)> onTimer;
};

struct ScheduleCase {
    const char* name;
    std::vector<std::pair<std::uint64_t, Millis>> timers;  // id, period, set in this order
    Millis advance;
    std::vector<Fired> expected;
};

class TimerScheduleTest : public TimersTest, public ::testing::WithParamInterface<ScheduleCase> {};

TEST_P(TimerScheduleTest, FiresEveryDueTimeInDeadlineOrder) {
    for (auto [id, period] : GetParam().timers) ASSERT_TRUE(window.SetTimer(id, period));
    ASSERT_TRUE(system.AdvanceClock(GetParam().advance));
    EXPECT_EQ(fired, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Schedules, TimerScheduleTest,
    ::testing::Values(
        ScheduleCase{"NothingBeforeTheFirstPeriod", {{1, 1000}}, 999, {}},
        ScheduleCase{"Periodic", {{1, 1000}}, 3500, {{1000, 1}, {2000, 1}, {3000, 1}}},
        ScheduleCase{"Interleaved",
                     {{1, 300}, {2, 500}, {3, 1000}},
                     1000,
                     {{300, 1}, {500, 2}, {600, 1}, {900, 1}, {1000, 2}, {1000, 3}}},
        ScheduleCase{
            "TiesInTheOrderSet", {{9, 200}, {4, 100}}, 200, {{100, 4}, {200, 9}, {200, 4}}},
        ScheduleCase{"ShortPeriodsAreRaisedToTheMinimum", {{1, 0}}, 25, {{10, 1}, {20, 1}}},
        ScheduleCase{"TwentySecondTimeOut", {{7, 20000}}, 20000, {{20000, 7}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimersTest, ATimerStartedByATimerHandlerFiresInTheSameAdvance) {
    onTimer = [this](std::uint64_t id) {
        if (id == 1) {
            window.KillTimer(1);
            window.SetTimer(2, 50);
        }
    };
    window.SetTimer(1, 100);
    system.AdvanceClock(200);
    EXPECT_EQ(fired, (std::vector<Fired>{{100, 1}, {150, 2}, {200, 2}}));
}

TEST_F(TimersTest, ResettingRestartsAndKillingStops) {
    window.SetTimer(1, 1000);
    system.AdvanceClock(600);
    window.SetTimer(1, 1000);  // restarts from 600
    system.AdvanceClock(1000);
    EXPECT_EQ(fired, (std::vector<Fired>{{1600, 1}}));
    EXPECT_TRUE(window.KillTimer(1));
    EXPECT_FALSE(window.KillTimer(1));
    system.AdvanceClock(5000);
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(TimersTest, AdvancingTheManualClockOnTheUiThreadFiresTimersToo) {
    window.SetTimer(1, 250);
    clock.Advance(1000);
    EXPECT_EQ(fired, (std::vector<Fired>{{250, 1}, {500, 1}, {750, 1}, {1000, 1}}));
}

TEST_F(TimersTest, MessagesPostedByATimerAreHandledBeforeTheNextStep) {
    std::vector<std::string> order;
    window.script = [&](UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_TIMER) {
            order.push_back("timer@" + std::to_string(clock.Now()));
            window.PostMessage(WM_USER, static_cast<WPARAM>(clock.Now()));
        }
        if (m == WM_USER)
            order.push_back("posted@" + std::to_string(clock.Now()) + " from " + std::to_string(w));
        return std::nullopt;
    };
    window.SetTimer(1, 100);
    system.AdvanceClock(200);
    EXPECT_EQ(order, (std::vector<std::string>{"timer@100", "posted@100 from 100", "timer@200",
                                               "posted@200 from 200"}));
}

TEST_F(TimersTest, ALateLoopGetsOneTimerMessageNotAPile) {
    window.SetTimer(1, 1000);
    // Time moves on another thread (one without a queue here), so nobody pumps meanwhile.
    std::thread([&] { clock.Advance(5500); }).join();
    EXPECT_EQ(system.PumpPending(), 1);
    EXPECT_EQ(system.PumpPending(), 0);
    // The next one is a whole period after the late one, not a catch-up.
    std::thread([&] { clock.Advance(999); }).join();
    EXPECT_EQ(system.PumpPending(), 0);
    system.AdvanceClock(1);
    EXPECT_EQ(fired, (std::vector<Fired>{{5500, 1}, {6500, 1}}));
}

// A timer for another thread's window is a programming error: thread_check_test.cpp.
TEST_F(TimersTest, TimersNeedALiveWindowOfTheCallingThread) {
    EXPECT_FALSE(system.SetTimer(HWND(4242), 1, 100));
    ui_test::LoopThread worker(system);
    bool setThere = false;
    ASSERT_TRUE(
        system.SendTask(worker.hwnd(), [&] { setThere = system.SetTimer(worker.hwnd(), 1, 100); }));
    EXPECT_TRUE(setThere);
}

TEST_F(TimersTest, ThreadTimersGoToTheThreadMessageHandler) {
    std::vector<Fired> threadTimers;
    system.SetThreadMessageHandler([&](const Msg& m) {
        if (m.message == WM_TIMER && !m.hwnd) threadTimers.push_back(Fired{clock.Now(), m.wParam});
    });
    ASSERT_TRUE(system.SetTimer(HWND(), 3, 400));
    system.AdvanceClock(800);
    EXPECT_EQ(threadTimers, (std::vector<Fired>{{400, 3}, {800, 3}}));
    EXPECT_TRUE(system.KillTimer(HWND(), 3));
}

TEST_F(TimersTest, AWorkerLoopWakesForItsTimerWhenTheClockMoves) {
    std::promise<Millis> firedAt;
    ui_test::LoopThread worker(system, [&](RecordingWindow& w) {
        w.script = [&](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (m == WM_TIMER) {
                w.KillTimer(1);
                firedAt.set_value(clock.Now());
            }
            return std::nullopt;
        };
        w.SetTimer(1, 3000);
    });
    // Wait until the worker is idle and blocked on the clock (it burns no CPU meanwhile).
    ASSERT_TRUE(testing_support::WaitForWaiters(clock, 1));
    clock.Advance(3000);
    EXPECT_EQ(firedAt.get_future().get(), 3000);
}

TEST(TimersWithoutManualClockTest, AdvanceClockNeedsAManualClock) {
    RealClock clock;
    WindowSystem system(clock);
    EXPECT_FALSE(system.AdvanceClock(10));
}

}  // namespace
