// Waiting for a thread to end while answering what it sends to the waiting thread's windows.

#include <gtest/gtest.h>

#include <atomic>
#include <latch>

#include "os/sys/clock.h"
#include "os/sys/thread.h"
#include "os/ui/window_system.h"
#include "support/wait_for.h"
#include "support/waiting/clock_waiters.h"
#include "support/windows/recording_window.h"

namespace {

using namespace os;
using testing_support::RecordingWindow;

class WaitForThreadEndTest : public ::testing::Test {
  protected:
    WaitForThreadEndTest() {
        EXPECT_TRUE(window.CreateTopLevel());
        window.script = [this](UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
            if (m != WM_USER) return std::nullopt;
            ++answered;
            return static_cast<LRESULT>(w + 1);
        };
    }

    ManualClock clock;
    WindowSystem system{clock};
    RecordingWindow window{system};
    int answered = 0;  // on this thread only
};

// The thread sends to this thread's window before it ends, as often as it is told to,
// through a message or a task: the wait answers each one, on an unmoved clock.
TEST_F(WaitForThreadEndTest, SendsOfTheAwaitedThreadAreAnsweredAndItsEndEndsTheWait) {
    for (int sends : {0, 1, 3}) {
        SCOPED_TRACE(sends);
        answered = 0;
        std::atomic<int> lastAnswer{-1};
        std::atomic<bool> taskRan{false};
        Thread thread("sender", [&](std::stop_token) {
            for (int i = 0; i < sends; ++i) {
                lastAnswer = static_cast<int>(system.SendMessage(window.hwnd(), WM_USER, i));
            }
            if (sends > 0) taskRan = system.SendTask(window.hwnd(), [] {});
        });
        EXPECT_TRUE(system.WaitForThreadEnd(thread, kInfinite));
        EXPECT_FALSE(thread.Running());
        EXPECT_EQ(answered, sends);
        EXPECT_EQ(lastAnswer.load(), sends > 0 ? sends : -1);
        EXPECT_EQ(taskRan.load(), sends > 0);
        EXPECT_EQ(clock.Now(), 0);
    }
}

TEST_F(WaitForThreadEndTest, AThreadThatDoesNotEndInTimeIsLeftRunning) {
    std::latch release(1);
    Thread thread("held", [&](std::stop_token) { release.wait(); });
    std::thread clockMover([&] {
        EXPECT_TRUE(testing_support::WaitForWaiters(clock, 1));
        clock.Advance(200);
    });
    EXPECT_FALSE(system.WaitForThreadEnd(thread, 200));
    clockMover.join();
    EXPECT_TRUE(thread.Running());
    release.count_down();
    EXPECT_TRUE(system.WaitForThreadEnd(thread, kInfinite));
    EXPECT_FALSE(thread.Joinable()) << "an ended thread is joined";
}

TEST_F(WaitForThreadEndTest, AThreadThatNeverStartedOrHasEndedAnswersAtOnce) {
    Thread none;
    EXPECT_TRUE(system.WaitForThreadEnd(none, kInfinite));
    Thread quick("quick", [](std::stop_token) {});
    EXPECT_TRUE(system.WaitForThreadEnd(quick, kInfinite));
    EXPECT_TRUE(system.WaitForThreadEnd(quick, 0));
}

}  // namespace
