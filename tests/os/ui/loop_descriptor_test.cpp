// Driving a thread's loop from outside: the wake descriptor turns readable when work comes
// for the thread or its timers change, a pump drains it, and the next timer's due time
// follows the clock. Readability is looked at with poll() and no time-out, after the action
// that should have raised it has returned.

#include <gtest/gtest.h>
#include <poll.h>

#include <functional>
#include <thread>

#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "support/wait_for.h"
#include "support/windows/recording_window.h"

namespace {

using namespace os;
using testing_support::RecordingWindow;
using testing_support::WaitFor;

bool Readable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 0) == 1 && (entry.revents & POLLIN) != 0;
}

class LoopDescriptorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window.CreateTopLevel("ui"));
        fd = system.LoopDescriptor();
        ASSERT_GE(fd, 0);
        system.PumpPending();
        ASSERT_FALSE(Readable(fd)) << "an idle, pumped thread must not look busy";
    }

    // Runs `action` on a thread of its own and waits for it to end.
    void FromAnotherThread(const std::function<void()>& action) { std::thread(action).join(); }

    ManualClock clock;
    WindowSystem system{clock};
    RecordingWindow window{system};
    int fd = -1;
};

TEST_F(LoopDescriptorTest, TheSameThreadGetsTheSameDescriptor) {
    EXPECT_EQ(system.LoopDescriptor(), fd);
    int other = -2;
    FromAnotherThread([&] { other = system.LoopDescriptor(); });
    EXPECT_GE(other, 0);
    EXPECT_NE(other, fd) << "each thread's loop has a descriptor of its own";
}

struct WorkCase {
    const char* name;
    std::function<void(WindowSystem&, HWND, ThreadQueueId)> fromOtherThread;
};

class LoopDescriptorWorkTest : public LoopDescriptorTest,
                               public ::testing::WithParamInterface<WorkCase> {};

TEST_P(LoopDescriptorWorkTest, WorkFromAnotherThreadMakesItReadableUntilPumped) {
    const ThreadQueueId queue = system.CurrentThreadQueueId();
    FromAnotherThread([&] { GetParam().fromOtherThread(system, window.hwnd(), queue); });
    EXPECT_TRUE(Readable(fd));
    system.PumpPending();
    EXPECT_FALSE(Readable(fd));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, LoopDescriptorWorkTest,
    ::testing::Values(
        WorkCase{"PostedMessage",
                 [](WindowSystem& s, HWND w, ThreadQueueId) { s.PostMessage(w, WM_USER + 1); }},
        WorkCase{"PostedTask",
                 [](WindowSystem& s, HWND w, ThreadQueueId) { s.PostTask(w, [] {}); }},
        WorkCase{"ThreadMessage", [](WindowSystem& s, HWND,
                                     ThreadQueueId q) { s.PostThreadMessage(q, WM_USER + 2); }},
        WorkCase{"Key", [](WindowSystem& s, HWND w, ThreadQueueId) { s.PostKey(w, 'A'); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoopDescriptorTest, APostedMessageIsHandledByThePumpThatClearsIt) {
    FromAnotherThread([&] { system.PostMessage(window.hwnd(), WM_USER + 7, 42); });
    ASSERT_TRUE(Readable(fd));
    EXPECT_EQ(system.PumpPending(), 1);
    ASSERT_EQ(window.Of(WM_USER + 7).size(), 1u);
    EXPECT_EQ(window.Of(WM_USER + 7)[0].wParam, 42u);
}

TEST_F(LoopDescriptorTest, ASendFromAnotherThreadMakesItReadableWhileTheSenderWaits) {
    window.script = [](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER + 3) return 99;
        return std::nullopt;
    };
    LRESULT answer = 0;
    std::thread sender([&] { answer = system.SendMessage(window.hwnd(), WM_USER + 3); });
    // The sender cannot return before this thread pumps, so wait (bounded) for the signal.
    EXPECT_TRUE(WaitFor([&] { return Readable(fd); }, "the send to raise the descriptor"));
    EXPECT_TRUE(WaitFor([&] { return system.PumpPending() > 0; }, "the send to be handled"));
    sender.join();
    EXPECT_EQ(answer, 99);
    // The answer woke the sender's queue, not this one: nothing is left for this thread.
    system.PumpPending();
    EXPECT_FALSE(Readable(fd));
}

TEST_F(LoopDescriptorTest, WorkQueuedDuringAPumpLeavesItReadable) {
    window.script = [this](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER + 4) system.PostMessage(window.hwnd(), WM_USER + 5);
        return std::nullopt;
    };
    system.PostMessage(window.hwnd(), WM_USER + 4);
    system.PumpPending();
    EXPECT_TRUE(Readable(fd)) << "the message posted by the handler still waits";
    EXPECT_TRUE(window.Of(WM_USER + 5).empty());
    system.PumpPending();
    EXPECT_EQ(window.Of(WM_USER + 5).size(), 1u);
    EXPECT_FALSE(Readable(fd));
}

TEST_F(LoopDescriptorTest, AQuitMakesItReadable) {
    EXPECT_FALSE(system.IsQuitPending());
    system.PostQuitMessage(3);
    EXPECT_TRUE(Readable(fd));
    EXPECT_TRUE(system.IsQuitPending());
    EXPECT_EQ(system.Run(), 3) << "the loop still ends as before";
    EXPECT_FALSE(system.IsQuitPending());
}

TEST_F(LoopDescriptorTest, SettingAndKillingATimerMakeItReadable) {
    ASSERT_TRUE(window.SetTimer(1, 500));
    EXPECT_TRUE(Readable(fd)) << "the host must re-arm its timer";
    system.PumpPending();
    EXPECT_FALSE(Readable(fd));
    ASSERT_TRUE(window.KillTimer(1));
    EXPECT_TRUE(Readable(fd));
    system.PumpPending();
    EXPECT_FALSE(Readable(fd));
    EXPECT_FALSE(window.KillTimer(1));
    EXPECT_FALSE(Readable(fd)) << "killing no timer changes nothing";
}

TEST_F(LoopDescriptorTest, ATimerFiringDoesNotWakeTheHostAgain) {
    ASSERT_TRUE(window.SetTimer(1, 100));
    system.PumpPending();
    ASSERT_TRUE(system.AdvanceClock(100));
    EXPECT_EQ(window.Of(WM_TIMER).size(), 1u);
    EXPECT_FALSE(Readable(fd)) << "an idle client with a periodic timer must stay idle";
}

TEST_F(LoopDescriptorTest, NextTimerDueFollowsTheClock) {
    EXPECT_EQ(system.NextTimerDue(), kInfinite);
    ASSERT_TRUE(window.SetTimer(1, 500));
    ASSERT_TRUE(window.SetTimer(2, 300));
    EXPECT_EQ(system.NextTimerDue(), 300);
    ASSERT_TRUE(system.AdvanceClock(200));
    EXPECT_EQ(system.NextTimerDue(), 100);
    ASSERT_TRUE(system.AdvanceClock(100));  // timer 2 fires and runs again at 600
    EXPECT_EQ(window.Of(WM_TIMER).size(), 1u);
    EXPECT_EQ(system.NextTimerDue(), 200);
    // Time that passes while this thread does not pump leaves a timer due now.
    FromAnotherThread([&] { clock.Advance(1000); });
    EXPECT_EQ(system.NextTimerDue(), 0);
    system.PumpPending();
    EXPECT_EQ(window.Of(WM_TIMER).size(), 3u) << "each due timer once";
    ASSERT_TRUE(window.KillTimer(1));
    ASSERT_TRUE(window.KillTimer(2));
    EXPECT_EQ(system.NextTimerDue(), kInfinite);
}

TEST_F(LoopDescriptorTest, ADescriptorAskedForWhileWorkWaitsStartsReadable) {
    int late = -1;
    bool readable = false;
    FromAnotherThread([&] {
        RecordingWindow other(system);
        ASSERT_TRUE(other.CreateTopLevel("other"));
        system.PostMessage(other.hwnd(), WM_USER + 6);
        late = system.LoopDescriptor();
        readable = Readable(late);
        other.DestroyWindow();
    });
    EXPECT_GE(late, 0);
    EXPECT_TRUE(readable);
}

}  // namespace
