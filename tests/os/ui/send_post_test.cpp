// SendMessage, PostMessage, tasks, thread messages and hooks.

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "loop_thread.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "support/wait_for.h"
#include "support/windows/recording_window.h"

namespace {

using namespace os;
using testing_support::RecordingWindow;
using ui_test::LoopThread;

class SendPostTest : public ::testing::Test {
  protected:
    ManualClock clock;
    WindowSystem system{clock};
};

std::optional<LRESULT> Doubles(UINT m, WPARAM w, LPARAM) {
    if (m == WM_USER) return static_cast<LRESULT>(w * 2);
    return std::nullopt;
}

TEST_F(SendPostTest, SendOnTheOwnerThreadCallsTheHandlerDirectly) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    window.script = Doubles;
    EXPECT_EQ(system.SendMessage(window.hwnd(), WM_USER, 21), 42);
    EXPECT_EQ(window.seen.back().message, WM_USER) << "handled before SendMessage returned";
}

TEST_F(SendPostTest, SendFromAnotherThreadRunsOnTheOwnerThreadAndAnswers) {
    std::thread::id handledOn;
    LoopThread worker(system, [&](RecordingWindow& w) {
        w.script = [&](UINT m, WPARAM wp, LPARAM lp) {
            if (m == WM_USER) handledOn = std::this_thread::get_id();
            return Doubles(m, wp, lp);
        };
    });
    EXPECT_EQ(system.SendMessage(worker.hwnd(), WM_USER, 50), 100);
    EXPECT_EQ(system.SendMessage(worker.hwnd(), WM_USER + 5, 1), 0);
    worker.Quit();
    worker.WaitForLoopEnd();
    EXPECT_NE(handledOn, std::this_thread::get_id());
    EXPECT_NE(handledOn, std::thread::id());
}

TEST_F(SendPostTest, SendToAGoneWindowAnswersZero) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    window.script = Doubles;
    HWND hwnd = window.hwnd();
    window.DestroyWindow();
    EXPECT_EQ(system.SendMessage(hwnd, WM_USER, 5), 0);
    EXPECT_EQ(system.SendMessage(HWND(), WM_USER, 5), 0);

    LoopThread worker(system, [](RecordingWindow& w) { w.script = Doubles; });
    ASSERT_TRUE(system.SendTask(worker.hwnd(), [&] { worker.window().DestroyWindow(); }));
    EXPECT_EQ(system.SendMessage(worker.hwnd(), WM_USER, 5), 0);
}

TEST_F(SendPostTest, SendToAThreadWhoseLoopEndedAnswersZeroAtOnce) {
    LoopThread worker(system, [](RecordingWindow& w) { w.script = Doubles; });
    ASSERT_EQ(system.SendMessage(worker.hwnd(), WM_USER, 1), 2);
    worker.Quit(7);
    EXPECT_EQ(worker.WaitForLoopEnd(), 7);
    // The thread still lives and still owns the window, but no longer pumps.
    EXPECT_TRUE(system.IsWindow(worker.hwnd()));
    EXPECT_EQ(system.SendMessage(worker.hwnd(), WM_USER, 1), 0);
    EXPECT_FALSE(system.SendTask(worker.hwnd(), [] {}));
}

TEST_F(SendPostTest, ASendWaitingForAThreadThatQuitsIsAnsweredZero) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    window.script = Doubles;
    std::atomic<bool> sending{false};
    auto answer = std::async(std::launch::async, [&] {
        sending = true;
        return system.SendMessage(window.hwnd(), WM_USER, 4);
    });
    EXPECT_TRUE(testing_support::WaitFor([&] { return sending.load(); }, "the sender"));
    // This thread never pumps; asking it to quit must free the sender either way: answered
    // (if the send arrived first and is handled) or refused.
    system.PostQuitMessage(3);
    EXPECT_EQ(answer.get(), 0);
    // While the quit is pending further sends are refused at once.
    EXPECT_EQ(std::async(std::launch::async,
                         [&] { return system.SendMessage(window.hwnd(), WM_USER, 4); })
                  .get(),
              0);
    EXPECT_EQ(system.Run(), 3);
    EXPECT_TRUE(window.WParamsOf(WM_USER).empty());
}

TEST_F(SendPostTest, SendToAThreadThatHasEndedAnswersZeroAndPostsFail) {
    RecordingWindow window(system);
    std::thread([&] { ASSERT_TRUE(window.CreateTopLevel()); }).join();
    EXPECT_EQ(system.SendMessage(window.hwnd(), WM_USER, 1), 0);
    EXPECT_FALSE(system.PostMessage(window.hwnd(), WM_USER));
}

TEST_F(SendPostTest, TwoThreadsSendingToEachOtherDoNotDeadlock) {
    RecordingWindow mine(system);
    ASSERT_TRUE(mine.CreateTopLevel());
    mine.script = Doubles;
    HWND mineHandle = mine.hwnd();
    LoopThread worker(system, [&](RecordingWindow& w) {
        // While handling our send, the worker sends back to us; we are blocked in our send
        // and must handle it there.
        w.script = [&](UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
            if (m == WM_USER) return system.SendMessage(mineHandle, WM_USER, wp) + 1;
            return std::nullopt;
        };
    });
    EXPECT_EQ(system.SendMessage(worker.hwnd(), WM_USER, 10), 21);
    EXPECT_EQ(mine.WParamsOf(WM_USER), std::vector<WPARAM>{10});
}

TEST_F(SendPostTest, PostedMessagesArriveInOrderAndNeverSynchronously) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    for (WPARAM i = 0; i < 50; ++i) ASSERT_TRUE(system.PostMessage(window.hwnd(), WM_USER, i));
    EXPECT_TRUE(window.seen.size() == 1) << "only WM_CREATE before pumping";
    EXPECT_EQ(system.PumpPending(), 50);
    std::vector<WPARAM> expected(50);
    for (WPARAM i = 0; i < 50; ++i) expected[i] = i;
    EXPECT_EQ(window.WParamsOf(WM_USER), expected);
}

TEST_F(SendPostTest, PostsFromAnotherThreadKeepTheirOrder) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    std::thread([&] {
        for (WPARAM i = 0; i < 200; ++i) system.PostMessage(window.hwnd(), WM_USER, i);
    }).join();
    EXPECT_EQ(system.PumpPending(), 200);
    auto got = window.WParamsOf(WM_USER);
    ASSERT_EQ(got.size(), 200u);
    for (WPARAM i = 0; i < 200; ++i) EXPECT_EQ(got[i], i);
}

TEST_F(SendPostTest, AMessagePostedToAWindowThatClosesIsDropped) {
    int delivered = 0;
    auto* window = new RecordingWindow(system);
    window->onNcDestroy = [&] { delete window; };
    ASSERT_TRUE(window->CreateTopLevel());
    window->script = [&](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER) ++delivered;
        return std::nullopt;
    };
    HWND hwnd = window->hwnd();
    ASSERT_TRUE(system.PostMessage(hwnd, WM_USER));
    ASSERT_TRUE(system.PostTask(hwnd, [&] { ++delivered; }));
    ASSERT_TRUE(system.SetTimer(hwnd, 1, 10));
    system.SendMessage(hwnd, WM_CLOSE);  // the object is deleted here
    EXPECT_FALSE(system.PostMessage(hwnd, WM_USER)) << "already gone";
    EXPECT_FALSE(system.PostTask(hwnd, [&] { ++delivered; }));
    EXPECT_EQ(system.PumpPending(), 0);
    system.AdvanceClock(100);
    EXPECT_EQ(delivered, 0);
}

TEST_F(SendPostTest, TasksRunInQueueOrderOnTheOwnerThread) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    std::vector<std::string> order;
    window.script = [&](UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER) order.push_back("message " + std::to_string(w));
        return std::nullopt;
    };
    std::thread([&] {
        system.PostMessage(window.hwnd(), WM_USER, 1);
        system.PostTask(window.hwnd(), [&] { order.push_back("task"); });
        system.PostMessage(window.hwnd(), WM_USER, 2);
    }).join();
    EXPECT_TRUE(order.empty());
    system.PumpPending();
    EXPECT_EQ(order, (std::vector<std::string>{"message 1", "task", "message 2"}));
}

TEST_F(SendPostTest, SendTaskRunsOnTheOwnerThreadAndWaits) {
    LoopThread worker(system);
    std::thread::id ranOn;
    ASSERT_TRUE(system.SendTask(worker.hwnd(), [&] {
        ranOn = std::this_thread::get_id();
        worker.window().SetWindowText("由工作线程设置");
    }));
    EXPECT_NE(ranOn, std::this_thread::get_id());
    EXPECT_EQ(system.GetWindowText(worker.hwnd()), "由工作线程设置");
    // Changing a window from another thread runs on its thread the same way.
    ASSERT_TRUE(system.ShowWindow(worker.hwnd(), SW_SHOW) == false);
    EXPECT_TRUE(system.IsWindowVisible(worker.hwnd()));
    EXPECT_FALSE(system.SendTask(HWND(9999), [] {}));
}

TEST_F(SendPostTest, ThreadMessagesReachAWorkerLoop) {
    std::promise<ThreadQueueId> queueId;
    std::promise<int> counted;
    std::thread counter([&] {
        queueId.set_value(system.CurrentThreadQueueId());
        // The counting pattern: one 0xFFF0 per arrival until 0xFFF1 says stop.
        int count = 0;
        Msg msg;
        while (system.GetMessage(msg)) {
            if (msg.message == 0xFFF0) ++count;
            if (msg.message == 0xFFF1) break;
        }
        counted.set_value(count);
    });
    const ThreadQueueId workerQueue = queueId.get_future().get();
    EXPECT_NE(workerQueue, system.CurrentThreadQueueId());
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(system.PostThreadMessage(workerQueue, 0xFFF0));
    ASSERT_TRUE(system.PostThreadMessage(workerQueue, 0xFFF1));
    EXPECT_EQ(counted.get_future().get(), 5);
    counter.join();
    EXPECT_FALSE(system.PostThreadMessage(workerQueue, 0xFFF0)) << "its thread has ended";
    EXPECT_FALSE(system.PostThreadMessage(0, 0xFFF0));
}

TEST_F(SendPostTest, HooksSeeQueuedMessagesChainNewestFirstAndMayChangeThem) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    std::vector<std::string> calls;
    HookId first = system.SetGetMessageHook(
        [&](Msg& m) { calls.push_back("first " + std::to_string(m.message)); });
    HookId second = system.SetGetMessageHook([&](Msg& m) {
        calls.push_back("second " + std::to_string(m.message));
        // A consumed key has no further effect: its wParam becomes 0.
        if (m.message == WM_KEYDOWN && m.wParam == VK_RETURN) m.wParam = 0;
    });
    ASSERT_TRUE(system.PostKey(window.hwnd(), VK_RETURN));
    ASSERT_TRUE(system.PostKey(window.hwnd(), VK_TAB));
    ASSERT_TRUE(system.PostKey(window.hwnd(), VK_F4, /*alt=*/true));
    system.SendMessage(window.hwnd(), WM_USER);  // sent: hooks never see it
    system.PumpPending();

    const std::string down = std::to_string(WM_KEYDOWN);
    const std::string sysDown = std::to_string(WM_SYSKEYDOWN);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"second " + down, "first " + down, "second " + down,
                                        "first " + down, "second " + sysDown, "first " + sysDown}));
    EXPECT_EQ(window.WParamsOf(WM_KEYDOWN), (std::vector<WPARAM>{0, VK_TAB}));
    EXPECT_EQ(window.WParamsOf(WM_SYSKEYDOWN), std::vector<WPARAM>{VK_F4});

    EXPECT_TRUE(system.UnhookGetMessageHook(second));
    EXPECT_FALSE(system.UnhookGetMessageHook(second));
    calls.clear();
    system.PostKey(window.hwnd(), VK_RETURN);
    system.PumpPending();
    EXPECT_EQ(calls, std::vector<std::string>{"first " + down});
    EXPECT_EQ(window.WParamsOf(WM_KEYDOWN).back(), VK_RETURN);
    EXPECT_TRUE(system.UnhookGetMessageHook(first));
}

TEST_F(SendPostTest, AHookSeesTimersAndOnlyItsOwnThreadsMessages) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    std::vector<UINT> hooked;
    system.SetGetMessageHook([&](Msg& m) { hooked.push_back(m.message); });
    LoopThread worker(system);
    system.PostMessage(worker.hwnd(), WM_USER);          // another thread's queue
    ASSERT_TRUE(system.SendTask(worker.hwnd(), [] {}));  // the post was handled by now
    window.SetTimer(1, 100);
    system.AdvanceClock(100);
    EXPECT_EQ(hooked, std::vector<UINT>{WM_TIMER});
}

}  // namespace
