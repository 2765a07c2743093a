// Listing and finding windows and their controls, and reading a control's state.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

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

TEST_F(DriverTest, TopLevelWindowsDescribeEachWindow) {
    PlainWindow hidden(system);
    os::Window::CreateParams params;
    params.title = "隐藏窗口";
    params.owner = dialog.hwnd();
    ASSERT_TRUE(hidden.Create(params));

    auto windows = driver.TopLevelWindows();
    ASSERT_EQ(windows.size(), 2u);
    const automation::WindowInfo& first = windows[0];
    EXPECT_EQ(first.handle, window);
    EXPECT_EQ(first.className, "#32770");
    EXPECT_GBK_EQ(first.title, "测试对话框");
    EXPECT_TRUE(first.visible);
    EXPECT_TRUE(first.enabled);
    EXPECT_FALSE(first.minimized);
    EXPECT_EQ(first.rect, (automation::Rect{10, 20, 310, 220}));
    EXPECT_EQ(first.parent, 0u);
    EXPECT_EQ(windows[1].handle, hidden.hwnd().value());
    EXPECT_FALSE(windows[1].visible);
    EXPECT_EQ(windows[1].owner, window);
}

TEST_F(DriverTest, ChildrenAreListedUnderTheirParent) {
    PlainWindow child(system);
    os::Window::CreateParams params;
    params.title = "子窗口";
    params.parent = dialog.hwnd();
    params.visible = true;
    ASSERT_TRUE(child.Create(params));

    auto children = driver.Children(window);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].handle, child.hwnd().value());
    EXPECT_EQ(children[0].parent, window);
    EXPECT_EQ(driver.TopLevelWindows().size(), 1u);
    EXPECT_TRUE(driver.Children(child.hwnd().value()).empty());
    EXPECT_TRUE(driver.Children(12345).empty());
    EXPECT_THAT(driver.LastError(), HasSubstr("does not exist"));
}

TEST_F(DriverTest, WindowsAreFoundByTitleAndByClass) {
    ASSERT_TRUE(system.RegisterClass("KESTRAL_IM_CHATWND"));
    PlainWindow chat(system);
    os::Window::CreateParams params;
    params.className = "KESTRAL_IM_CHATWND";
    params.title = "与张三交谈中";
    ASSERT_TRUE(chat.Create(params));

    EXPECT_EQ(driver.FindWindowByTitle("与张三交谈中"), chat.hwnd().value());
    EXPECT_EQ(driver.FindWindowByClass("kestral_im_chatwnd"), chat.hwnd().value());
    EXPECT_EQ(driver.FindWindowByTitle("与李四交谈中"), 0u);
    EXPECT_EQ(driver.FindWindowByTitle(""), 0u);  // no window is untitled
    EXPECT_EQ(driver.FindWindowByClass(""), 0u);
}

TEST_F(DriverTest, DescribeAnswersNothingForAHandleThatNamesNoWindow) {
    EXPECT_TRUE(driver.IsWindow(window));
    EXPECT_FALSE(driver.IsWindow(0));
    EXPECT_FALSE(driver.Describe(0));
    EXPECT_THAT(driver.LastError(), HasSubstr("window 0 does not exist"));
    EXPECT_TRUE(driver.Describe(window));
    EXPECT_EQ(driver.LastError(), "");
}

TEST_F(DriverTest, ControlsListsEveryControlWithWhatItShows) {
    auto controls = driver.Controls(window);
    ASSERT_EQ(controls.size(), 17u);
    struct Expected {
        std::size_t index;
        int id;
        automation::ControlKind kind;
        const char* text;
        bool visible;
        bool enabled;
    };
    const Expected expected[] = {
        {0, id::kStatus, automation::ControlKind::Label, "就绪", true, true},
        {2, id::kLocked, automation::ControlKind::Button, "锁定", true, false},
        {3, id::kHidden, automation::ControlKind::Button, "隐藏", false, true},
        {4, id::kRemember, automation::ControlKind::CheckBox, "记住密码", true, true},
        {10, id::kNotes, automation::ControlKind::Edit, "只读", true, true},
        {11, id::kPresence, automation::ControlKind::ComboBox, "在线", true, true},
        {13, id::kContacts, automation::ControlKind::Tree, "", true, true},
        {14, id::kMembers, automation::ControlKind::List, "", true, true},
        {15, id::kView, automation::ControlKind::RichEdit, "详见 http://a.cn 或 帮助", true, true},
        {16, id::kProgress, automation::ControlKind::ProgressBar, "", true, true},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.id);
        const automation::ControlInfo& c = controls[e.index];
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(c.kind, e.kind);
        EXPECT_GBK_EQ(c.text, e.text);
        EXPECT_EQ(c.visible, e.visible);
        EXPECT_EQ(c.enabled, e.enabled);
    }
}

TEST_F(DriverTest, ReadingTheWrongKindOrAMissingControlAnswersNothing) {
    EXPECT_FALSE(driver.IsChecked(window, id::kGreet));
    EXPECT_THAT(driver.LastError(), HasSubstr("control 101 (button) is not a check box"));
    EXPECT_FALSE(driver.ProgressPosition(window, id::kName));
    EXPECT_FALSE(driver.TreeItems(window, id::kMembers));
    EXPECT_FALSE(driver.ListRows(window, id::kContacts));
    EXPECT_FALSE(driver.ReadRichText(window, id::kName));
    EXPECT_FALSE(driver.Text(window, 999));
    EXPECT_THAT(driver.LastError(), HasSubstr("has no control 999"));
    EXPECT_TRUE(driver.Controls(0).empty());
    EXPECT_FALSE(driver.FocusedControl(0));
}

TEST_F(DriverTest, HiddenWindowsCanBeReadButNotActedOn) {
    dialog.ShowWindow(os::SW_HIDE);
    EXPECT_GBK_EQ(driver.Text(window, id::kStatus).value_or("?"), "就绪");
    EXPECT_EQ(driver.ProgressPosition(window, id::kProgress), 0);
    EXPECT_FALSE(driver.Click(window, id::kGreet));
}

// ---- Windows of another thread

TEST(DriverThreadTest, WindowOfAnotherThreadIsRefusedNotTouched) {
    os::ManualClock clock;
    os::WindowSystem system{clock};
    automation::Driver driver(system);

    std::mutex mutex;
    std::condition_variable cv;
    automation::WindowHandle handle = 0;
    bool made = false;
    bool done = false;
    std::thread owner([&] {
        os::ScriptedPrompter prompter;
        TestDialog dialog(system, prompter);
        const bool ok = dialog.Make();
        std::unique_lock lock(mutex);
        handle = ok ? dialog.hwnd().value() : 0;
        made = true;
        cv.notify_all();
        cv.wait(lock, [&] { return done; });
    });
    {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return made; });
    }
    EXPECT_NE(handle, 0u) << "the other thread could not make its window";
    if (handle != 0) {
        EXPECT_TRUE(driver.Describe(handle));  // the registry answers any thread
        EXPECT_FALSE(driver.Text(handle, id::kStatus));
        EXPECT_THAT(driver.LastError(), HasSubstr("belongs to another thread"));
        EXPECT_FALSE(driver.Click(handle, id::kGreet));
        EXPECT_TRUE(driver.Controls(handle).empty());
    }
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    cv.notify_all();
    owner.join();
}

}  // namespace
}  // namespace automation_test
