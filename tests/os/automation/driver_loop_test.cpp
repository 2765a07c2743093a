// The loop and the clock through the Driver: posted work, waiting for a window, timers fired
// by advancing the manual clock.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/gbk_print.h"
#include "test_dialog.h"

namespace automation_test {
namespace {

using ::testing::HasSubstr;
namespace automation = qorvdesk::automation;

class PlainWindow : public os::Window {
  public:
    using Window::Window;
};

TEST_F(DriverTest, TimerFiresOnlyWhenTheClockReachesIt) {
    ASSERT_TRUE(driver.Click(window, id::kStartTimer));
    ASSERT_TRUE(driver.AdvanceClock(999));
    EXPECT_EQ(dialog.timerTicks, 0);
    ASSERT_TRUE(driver.AdvanceClock(1));
    EXPECT_EQ(dialog.timerTicks, 1);
    EXPECT_EQ(driver.ProgressPosition(window, id::kProgress), 25);
    // The handler stops the timer at its third tick.
    ASSERT_TRUE(driver.AdvanceClock(10000));
    EXPECT_EQ(dialog.timerTicks, 3);
    EXPECT_EQ(driver.ProgressPosition(window, id::kProgress), 75);
}

TEST(DriverClockTest, AdvancingARealClockIsRefused) {
    os::RealClock clock;
    os::WindowSystem system{clock};
    automation::Driver driver(system);
    EXPECT_FALSE(driver.AdvanceClock(10));
    EXPECT_THAT(driver.LastError(), HasSubstr("not a manual clock"));
}

TEST_F(DriverTest, PumpHandlesPostedWorkAndWhatItPosts) {
    std::vector<int> ran;
    system.PostTask(dialog.hwnd(), [&] {
        ran.push_back(1);
        system.PostTask(dialog.hwnd(), [&] { ran.push_back(2); });
    });
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(driver.Pump(), 2);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_EQ(driver.Pump(), 0);
}

TEST_F(DriverTest, PumpUntilAnswersWhetherTheConditionCameTrue) {
    bool flag = false;
    system.PostTask(dialog.hwnd(), [&] { flag = true; });
    EXPECT_TRUE(driver.PumpUntil([&] { return flag; }, 1000));
    // With a manual clock nothing more will come, so this answers at once.
    EXPECT_FALSE(driver.PumpUntil([] { return false; }, 60000));
    EXPECT_EQ(clock.Now(), 0);
}

TEST_F(DriverTest, WaitForWindowPumpsUntilAShownWindowHasTheTitle) {
    PlainWindow hiddenTwin(system);
    os::Window::CreateParams hidden;
    hidden.title = "与张三交谈中";
    ASSERT_TRUE(hiddenTwin.Create(hidden));

    PlainWindow chat(system);
    system.PostTask(dialog.hwnd(), [&] {
        os::Window::CreateParams params;
        params.title = "与张三交谈中";
        params.visible = true;
        chat.Create(params);
    });
    const automation::WindowHandle found = driver.WaitForWindow("与张三交谈中", 5000);
    EXPECT_NE(found, 0u);
    EXPECT_EQ(found, chat.hwnd().value());
}

TEST_F(DriverTest, WaitForWindowAnswersZeroWhenNoneShows) {
    PlainWindow hiddenChat(system);
    os::Window::CreateParams params;
    params.title = "与张三交谈中";
    ASSERT_TRUE(hiddenChat.Create(params));
    EXPECT_EQ(driver.WaitForWindow("与张三交谈中", 5000), 0u);
    EXPECT_THAT(driver.LastError(), HasSubstr("no shown window"));
    EXPECT_EQ(driver.FindWindowByTitle("与张三交谈中"), hiddenChat.hwnd().value());
}

// Opens a notice window when its timer fires, as delayed pop-ups do.
class DelayedOpener : public os::Window {
  public:
    using Window::Window;
    PlainWindow notice{system()};

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override {
        if (message != os::WM_TIMER) return DefWindowProc(message, wParam, lParam);
        KillTimer(wParam);
        os::Window::CreateParams params;
        params.title = "通知";
        params.visible = true;
        notice.Create(params);
        return 0;
    }
};

TEST_F(DriverTest, WindowOpenedByATimerAppearsOnceTheClockMoves) {
    DelayedOpener opener(system);
    ASSERT_TRUE(opener.Create({}));
    ASSERT_TRUE(opener.SetTimer(9, 500));
    EXPECT_EQ(driver.WaitForWindow("通知", 1000), 0u);  // time stands still meanwhile
    ASSERT_TRUE(driver.AdvanceClock(500));
    const automation::WindowHandle found = driver.WaitForWindow("通知", 0);
    EXPECT_NE(found, 0u);
    EXPECT_EQ(found, opener.notice.hwnd().value());
}

}  // namespace
}  // namespace automation_test
