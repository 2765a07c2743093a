// The message loop: Run, PumpPending, PumpUntil.

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "loop_thread.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "support/wait_for.h"
#include "support/waiting/clock_waiters.h"
#include "support/windows/recording_window.h"

namespace {

using namespace os;
using testing_support::RecordingWindow;

class LoopTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(window.CreateTopLevel()); }

    ManualClock clock;
    WindowSystem system{clock};
    RecordingWindow window{system};
};

TEST_F(LoopTest, RunHandlesWhatWasPostedBeforeTheQuitAndAnswersItsCode) {
    window.PostMessage(WM_USER, 1);
    system.PostQuitMessage(5);
    window.PostMessage(WM_USER, 2);
    EXPECT_EQ(system.Run(), 5);
    EXPECT_EQ(window.WParamsOf(WM_USER), std::vector<WPARAM>{1});
    EXPECT_EQ(system.PumpPending(), 1) << "the later message waits for the next loop";
    EXPECT_EQ(window.WParamsOf(WM_USER), (std::vector<WPARAM>{1, 2}));
}

TEST_F(LoopTest, AQuitFromAHandlerEndsTheLoop) {
    window.script = [&](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER) system.PostQuitMessage(9);
        return std::nullopt;
    };
    window.PostMessage(WM_USER);
    EXPECT_EQ(system.Run(), 9);
}

TEST_F(LoopTest, PumpPendingHandlesOnlyWhatIsQueuedAtTheCall) {
    window.script = [&](UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER) window.PostMessage(WM_USER, w + 1);  // re-posts itself for ever
        return std::nullopt;
    };
    window.PostMessage(WM_USER, 0);
    EXPECT_EQ(system.PumpPending(), 1);
    EXPECT_EQ(system.PumpPending(), 1);
    EXPECT_EQ(window.WParamsOf(WM_USER), (std::vector<WPARAM>{0, 1}));
}

TEST_F(LoopTest, PumpsStopAtAPendingQuitAndLeaveItForRun) {
    window.PostMessage(WM_USER, 1);
    system.PostQuitMessage(4);
    window.PostMessage(WM_USER, 2);
    EXPECT_EQ(system.PumpPending(), 1);
    EXPECT_FALSE(system.PumpUntil([&] { return window.WParamsOf(WM_USER).size() == 2; }, 1000));
    EXPECT_EQ(system.Run(), 4);
}

TEST_F(LoopTest, PumpUntilAnswersTrueOnceTheConditionHolds) {
    window.PostMessage(WM_USER, 1);
    window.PostMessage(WM_USER, 2);
    window.PostMessage(WM_USER, 3);
    EXPECT_TRUE(system.PumpUntil([&] { return window.WParamsOf(WM_USER).size() == 2; }, 1000));
    EXPECT_EQ(window.WParamsOf(WM_USER).size(), 2u) << "stops as soon as it holds";
    EXPECT_TRUE(system.PumpUntil([] { return true; }, 0));
}

TEST_F(LoopTest, PumpUntilFiresDueTimersButNeverWaitsOnAManualClock) {
    window.SetTimer(1, 500);
    // Nothing is due and a manual clock does not move by itself: false at once, not a hang.
    EXPECT_FALSE(system.PumpUntil([&] { return !window.WParamsOf(WM_TIMER).empty(); }, 60000));
    EXPECT_EQ(clock.Now(), 0);
    std::thread([&] { clock.Advance(500); }).join();
    EXPECT_TRUE(system.PumpUntil([&] { return !window.WParamsOf(WM_TIMER).empty(); }, 60000));
}

TEST_F(LoopTest, PumpUntilOnARealClockWaitsForWorkFromAnotherThread) {
    RealClock realClock;
    WindowSystem realSystem(realClock);
    RecordingWindow target(realSystem);
    ASSERT_TRUE(target.CreateTopLevel());
    std::thread poster([&] { realSystem.PostMessage(target.hwnd(), WM_USER, 77); });
    // Generous: the condition is met as soon as the post arrives.
    EXPECT_TRUE(realSystem.PumpUntil([&] { return !target.WParamsOf(WM_USER).empty(); }, 60000));
    poster.join();
    EXPECT_FALSE(realSystem.PumpUntil([] { return false; }, 0)) << "no time left: false at once";
}

TEST_F(LoopTest, AWorkerSendHandledWhileTheUiThreadPumps) {
    window.script = [](UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER) return static_cast<LRESULT>(w + 1);
        return std::nullopt;
    };
    auto answer = std::async(std::launch::async,
                             [&] { return system.SendMessage(window.hwnd(), WM_USER, 41); });
    // The send blocks the worker until this thread pumps.
    const ::testing::AssertionResult handled = testing_support::WaitFor(
        [&] { return system.PumpUntil([&] { return !window.WParamsOf(WM_USER).empty(); }, 0); },
        "the send to arrive");
    if (!handled) window.DestroyWindow();  // answers the sender, which would wait for ever
    ASSERT_TRUE(handled);
    EXPECT_EQ(answer.get(), 42);
}

TEST_F(LoopTest, AnIdleWorkerLoopBlocksAndWakesForAPost) {
    std::promise<WPARAM> got;
    ui_test::LoopThread worker(system, [&](RecordingWindow& w) {
        w.script = [&](UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
            if (m == WM_USER) got.set_value(wp);
            return std::nullopt;
        };
    });
    // Blocked on the clock, not spinning.
    ASSERT_TRUE(testing_support::WaitForWaiters(clock, 1));
    ASSERT_TRUE(system.PostMessage(worker.hwnd(), WM_USER, 8));
    EXPECT_EQ(got.get_future().get(), 8u);
}

TEST_F(LoopTest, PeekMessageAnswersAtOnceAndDispatchReachesTheWindow) {
    Msg msg;
    EXPECT_FALSE(system.PeekMessage(msg));
    window.PostMessage(WM_USER, 3);
    ASSERT_TRUE(system.PeekMessage(msg));
    EXPECT_EQ(msg.hwnd, window.hwnd());
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_TRUE(window.WParamsOf(WM_USER).empty()) << "taken, not yet dispatched";
    system.DispatchMessage(msg);
    EXPECT_EQ(window.WParamsOf(WM_USER), std::vector<WPARAM>{3});
}

}  // namespace
