// Calls that belong on a window's owner thread, made from another thread: a debug build fails
// loudly, naming the window and both threads; a release build answers as it always has. The
// calls meant to cross threads stay allowed.

#include "os/sys/thread_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "loop_thread.h"
#include "os/controls/button.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "support/windows/recording_window.h"

namespace {

using namespace os;

struct WrongThreadCase {
    const char* name;
    // The call, made on the test thread for a window of the worker; answers what it answered
    // as a number (a pointer as 1 when not null).
    std::function<long(WindowSystem&, ui_test::LoopThread&)> call;
    long releaseAnswer;
    const char* what;  // the call as the failure names it
};

class WrongThreadTest : public ::testing::TestWithParam<WrongThreadCase> {
  protected:
    WrongThreadTest() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    ManualClock clock;
    WindowSystem system{clock};
};

TEST_P(WrongThreadTest, FailsLoudlyInADebugBuildAndAnswersAsBeforeInARelease) {
    const WrongThreadCase& c = GetParam();
    ui_test::LoopThread worker(system, [](testing_support::RecordingWindow& window) {
        window.AddControl(std::make_unique<Button>(7, "OK"));
    });
    if constexpr (kCheckOwnerThreads) {
        EXPECT_DEATH(c.call(system, worker),
                     std::string(c.what) +
                         ": window [0-9]+ \"worker\" \\(class #32770\\) belongs to thread "
                         "\".*\" \\(.*\\), called on thread \".*\" \\(.*\\)");
    } else {
        EXPECT_EQ(c.call(system, worker), c.releaseAnswer);
    }
    // The worker's window is whole: its own thread still works with it.
    bool ok = false;
    ASSERT_TRUE(system.SendTask(worker.hwnd(), [&] {
        ok = system.SetTimer(worker.hwnd(), 1, 100) && worker.window().FindControl(7) != nullptr;
    }));
    EXPECT_TRUE(ok);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, WrongThreadTest,
    ::testing::Values(WrongThreadCase{"SetTimer",
                                      [](WindowSystem& s, ui_test::LoopThread& w) -> long {
                                          return s.SetTimer(w.hwnd(), 1, 100);
                                      },
                                      0, "WindowSystem::SetTimer/KillTimer"},
                      WrongThreadCase{"KillTimer",
                                      [](WindowSystem& s, ui_test::LoopThread& w) -> long {
                                          return s.KillTimer(w.hwnd(), 1);
                                      },
                                      0, "WindowSystem::SetTimer/KillTimer"},
                      WrongThreadCase{"DestroyWindow",
                                      [](WindowSystem& s, ui_test::LoopThread& w) -> long {
                                          return s.DestroyWindow(w.hwnd());
                                      },
                                      0, "WindowSystem::DestroyWindow"},
                      WrongThreadCase{"DispatchMessage",
                                      [](WindowSystem& s, ui_test::LoopThread& w) -> long {
                                          return s.DispatchMessage(Msg{w.hwnd(), WM_USER, 0, 0, 0});
                                      },
                                      0, "WindowSystem::DispatchMessage"},
                      WrongThreadCase{"FromHandle",
                                      [](WindowSystem& s, ui_test::LoopThread& w) -> long {
                                          return s.FromHandle(w.hwnd()) != nullptr;
                                      },
                                      1, "WindowSystem::FromHandle"},
                      WrongThreadCase{"FindControl",
                                      [](WindowSystem&, ui_test::LoopThread& w) -> long {
                                          return w.window().FindControl(7) != nullptr;
                                      },
                                      1, "Window::FindControl"},
                      WrongThreadCase{"SetFocus",
                                      [](WindowSystem&, ui_test::LoopThread& w) -> long {
                                          return w.window().SetFocus(7);
                                      },
                                      1, "Window::SetFocus"}),
    [](const ::testing::TestParamInfo<WrongThreadCase>& info) { return info.param.name; });

TEST(CrossThreadCalls, SendsPostsTasksAndStateCallsStayAllowed) {
    ManualClock clock;
    WindowSystem system{clock};
    ui_test::LoopThread worker(system);
    EXPECT_EQ(system.SendMessage(worker.hwnd(), WM_USER), 0);
    EXPECT_TRUE(system.PostMessage(worker.hwnd(), WM_USER + 1));
    EXPECT_TRUE(system.PostTask(worker.hwnd(), [] {}));
    EXPECT_TRUE(system.PostThreadMessage(worker.queue(), WM_USER + 2));
    EXPECT_TRUE(system.SendTask(worker.hwnd(), [] {}));
    EXPECT_TRUE(system.SetWindowText(worker.hwnd(), "renamed"));
    EXPECT_EQ(system.GetWindowText(worker.hwnd()), "renamed");
    EXPECT_FALSE(system.ShowWindow(worker.hwnd(), SW_SHOW));
    EXPECT_TRUE(system.IsWindowVisible(worker.hwnd()));
    EXPECT_FALSE(system.IsOwnedByCallingThread(worker.hwnd()));
    worker.Quit();
    worker.WaitForLoopEnd();
    const std::vector<UINT> seen = worker.window().Messages();
    EXPECT_NE(std::find(seen.begin(), seen.end(), WM_USER + 1), seen.end());
}

}  // namespace
