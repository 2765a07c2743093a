// Acting on controls through the Driver: each action reaches the dialog's handler as a
// person's would, and an action a person could not do is refused and changes nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/gbk_print.h"
#include "test_dialog.h"

namespace automation_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
namespace automation = qorvdesk::automation;

std::string Line(const char* word, int controlId, std::int64_t item) {
    return std::string(word) + " " + std::to_string(controlId) + " " + std::to_string(item);
}

// ---- Clicking

TEST_F(DriverTest, ClickRunsTheButtonsHandler) {
    EXPECT_TRUE(driver.Click(window, id::kGreet));
    EXPECT_THAT(dialog.events, ElementsAre("clicked 101"));
    EXPECT_GBK_EQ(driver.Text(window, id::kStatus).value_or("?"), "你好");
    EXPECT_EQ(driver.LastError(), "");
}

TEST_F(DriverTest, ClickOnACheckBoxTogglesIt) {
    EXPECT_EQ(driver.IsChecked(window, id::kRemember), false);
    ASSERT_TRUE(driver.Click(window, id::kRemember));
    EXPECT_EQ(driver.IsChecked(window, id::kRemember), true);
    ASSERT_TRUE(driver.Click(window, id::kRemember));
    EXPECT_EQ(driver.IsChecked(window, id::kRemember), false);
    EXPECT_THAT(dialog.events, ElementsAre("clicked 104", "clicked 104"));
}

TEST_F(DriverTest, ClickThatAPersonCannotMakeIsRefusedAndChangesNothing) {
    struct Case {
        int controlId;
        const char* why;
    };
    const Case cases[] = {
        {id::kLocked, "is disabled"},     {id::kHidden, "is hidden"},
        {id::kName, "cannot be clicked"}, {id::kStatus, "cannot be clicked"},
        {999, "has no control 999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.controlId);
        EXPECT_FALSE(driver.Click(window, c.controlId));
        EXPECT_THAT(driver.LastError(), HasSubstr(c.why));
    }
    EXPECT_THAT(dialog.events, IsEmpty());
    EXPECT_GBK_EQ(*driver.Text(window, id::kStatus), "就绪");
    EXPECT_NE(system.GetForegroundWindow(), dialog.hwnd());  // a refused click is no click
}

TEST_F(DriverTest, WindowThatAPersonCannotReachRefusesEveryAction) {
    struct Case {
        const char* name;
        std::function<void(TestDialog&)> make;
        const char* why;
    };
    const Case cases[] = {
        {"disabled", [](TestDialog& d) { d.EnableWindow(false); }, "is disabled"},
        {"hidden", [](TestDialog& d) { d.ShowWindow(os::SW_HIDE); }, "is hidden"},
        {"minimised", [](TestDialog& d) { d.ShowWindow(os::SW_MINIMIZE); }, "is minimised"},
        {"destroyed", [](TestDialog& d) { d.DestroyWindow(); }, "does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialog other(system, prompter);
        ASSERT_TRUE(other.Make());
        const automation::WindowHandle handle = other.hwnd().value();
        c.make(other);
        EXPECT_FALSE(driver.Click(handle, id::kGreet));
        EXPECT_THAT(driver.LastError(), HasSubstr(c.why));
        EXPECT_FALSE(driver.TypeText(handle, id::kName, "x"));
        EXPECT_FALSE(driver.PressKey(handle, automation::key::kReturn));
        EXPECT_FALSE(driver.Close(handle));
        EXPECT_THAT(other.events, IsEmpty());
    }
}

TEST_F(DriverTest, ControlInsideADisabledParentIsOutOfReach) {
    TestDialog child(system, prompter);
    os::Window::CreateParams params;
    params.parent = dialog.hwnd();
    params.visible = true;
    ASSERT_TRUE(child.Create(params));
    child.AddControl(std::make_unique<os::Label>(id::kStatus));
    child.AddControl(std::make_unique<os::Button>(id::kGreet, "问候"));
    dialog.EnableWindow(false);

    EXPECT_FALSE(driver.Click(child.hwnd().value(), id::kGreet));
    EXPECT_THAT(driver.LastError(), HasSubstr("sits in disabled window"));
    dialog.EnableWindow(true);
    EXPECT_TRUE(driver.Click(child.hwnd().value(), id::kGreet));
    EXPECT_THAT(child.events, ElementsAre("clicked 101"));
}

TEST_F(DriverTest, ActingBringsTheTopLevelWindowToTheForeground) {
    TestDialog other(system, prompter);
    ASSERT_TRUE(other.Make("另一个"));
    system.SetForegroundWindow(other.hwnd());
    ASSERT_TRUE(driver.Click(window, id::kGreet));
    EXPECT_EQ(system.GetForegroundWindow(), dialog.hwnd());
}

// ---- Typing

TEST_F(DriverTest, TypingReplacesTheContentRaisesEditChangeAndTakesTheFocus) {
    ASSERT_TRUE(driver.TypeText(window, id::kName, "abc"));
    ASSERT_TRUE(driver.TypeText(window, id::kName, "xy"));
    EXPECT_EQ(driver.Text(window, id::kName), "xy");
    EXPECT_EQ(driver.FocusedControl(window), id::kName);
    ASSERT_TRUE(driver.AppendText(window, id::kName, "z"));
    EXPECT_EQ(driver.Text(window, id::kName), "xyz");
    EXPECT_THAT(dialog.events,
                ElementsAre("edit-change 201", "edit-change 201", "edit-change 201"));
}

TEST_F(DriverTest, TypingEmptyTextClearsTheField) {
    ASSERT_TRUE(driver.TypeText(window, id::kName, "abc"));
    ASSERT_TRUE(driver.TypeText(window, id::kName, ""));
    EXPECT_EQ(driver.Text(window, id::kName), "");
    EXPECT_EQ(dialog.events.size(), 2u);
}

TEST_F(DriverTest, TypingPastTheLimitKeepsWholeCharactersAndSaysSo) {
    struct Case {
        const char* typed;
        const char* kept;
        bool whole;
    };
    // The name field takes 8 bytes; a Chinese character is two.
    const Case cases[] = {
        {"张三李四", "张三李四", true},
        {"张三李四王五", "张三李四", false},
        {"abc张三李四", "abc张三", false},
        {"abcdefghij", "abcdefgh", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing_support::DisplayGbk(c.typed));
        EXPECT_EQ(driver.TypeText(window, id::kName, c.typed), c.whole);
        const std::string error = driver.LastError();
        if (c.whole) {
            EXPECT_EQ(error, "");
        } else {
            EXPECT_THAT(error, HasSubstr("within its limit"));
        }
        EXPECT_GBK_EQ(*driver.Text(window, id::kName), c.kept);
    }
}

TEST_F(DriverTest, ReadOnlyFieldsAndListOnlyCombosRefuseTyping) {
    EXPECT_FALSE(driver.TypeText(window, id::kNotes, "改"));
    EXPECT_THAT(driver.LastError(), HasSubstr("read-only"));
    EXPECT_GBK_EQ(*driver.Text(window, id::kNotes), "只读");
    EXPECT_FALSE(driver.AppendText(window, id::kView, "x"));
    EXPECT_THAT(driver.LastError(), HasSubstr("read-only"));
    EXPECT_FALSE(driver.TypeText(window, id::kPresence, "在线"));
    EXPECT_THAT(driver.LastError(), HasSubstr("no edit field"));
    EXPECT_FALSE(driver.TypeText(window, id::kGreet, "x"));
    EXPECT_THAT(driver.LastError(), HasSubstr("does not take typing"));
    EXPECT_THAT(dialog.events, IsEmpty());
    EXPECT_EQ(driver.FocusedControl(window), 0);
}

TEST_F(DriverTest, PasswordFieldShowsStarsWhileHoldingTheText) {
    ASSERT_TRUE(driver.TypeText(window, id::kPassword, "密码12"));
    EXPECT_EQ(driver.Text(window, id::kPassword), "****");
    EXPECT_EQ(driver.DescribeControl(window, id::kPassword)->text, "****");
    EXPECT_GBK_EQ(dialog.GetControl<os::Edit>(id::kPassword)->Text(), "密码12");
}

TEST_F(DriverTest, TypingIntoARichEditReplacesItsFormattedContent) {
    dialog.GetControl<os::RichEdit>(id::kView)->SetReadOnly(false);
    ASSERT_TRUE(driver.TypeText(window, id::kView, "你好"));
    ASSERT_TRUE(driver.AppendText(window, id::kView, "，世界"));
    auto content = driver.ReadRichText(window, id::kView);
    ASSERT_TRUE(content);
    EXPECT_GBK_EQ(content->plainText, "你好，世界");
    for (const automation::RichRun& run : content->runs) EXPECT_FALSE(run.link);
    EXPECT_THAT(dialog.events, ElementsAre("edit-change 401", "edit-change 401"));
}

TEST_F(DriverTest, TypingIntoADropDownComboRaisesItsEditChange) {
    ASSERT_TRUE(driver.TypeText(window, id::kAccount, "wang"));
    ASSERT_TRUE(driver.AppendText(window, id::kAccount, "wu"));
    EXPECT_EQ(driver.Text(window, id::kAccount), "wangwu");
    EXPECT_EQ(driver.ComboSelection(window, id::kAccount), -1);
    EXPECT_THAT(dialog.events, ElementsAre("edit-text-change 205", "edit-text-change 205"));
}

// ---- Combo boxes

TEST_F(DriverTest, ChoosingAComboItemByIndexOrTextRaisesSelChange) {
    EXPECT_THAT(*driver.ComboItems(window, id::kPresence),
                ElementsAre(testing_support::Gbk("在线"), "离开", "忙碌"));
    ASSERT_TRUE(driver.ChooseCombo(window, id::kPresence, 2));
    EXPECT_EQ(driver.ComboSelection(window, id::kPresence), 2);
    EXPECT_GBK_EQ(*driver.Text(window, id::kPresence), "忙碌");
    ASSERT_TRUE(driver.ChooseCombo(window, id::kPresence, "离开"));
    EXPECT_EQ(driver.ComboSelection(window, id::kPresence), 1);
    EXPECT_THAT(dialog.events, ElementsAre("sel-change 204 2", "sel-change 204 1"));
}

TEST_F(DriverTest, ChoosingAnItemTheComboLacksIsRefused) {
    EXPECT_FALSE(driver.ChooseCombo(window, id::kPresence, 3));
    EXPECT_THAT(driver.LastError(), HasSubstr("has no item 3"));
    EXPECT_FALSE(driver.ChooseCombo(window, id::kPresence, -1));
    EXPECT_FALSE(driver.ChooseCombo(window, id::kPresence, "隐身"));
    EXPECT_THAT(driver.LastError(), HasSubstr("no item with the text"));
    EXPECT_FALSE(driver.ChooseCombo(window, id::kName, 0));
    EXPECT_THAT(driver.LastError(), HasSubstr("is not a combo box"));
    EXPECT_EQ(driver.ComboSelection(window, id::kPresence), 0);
    EXPECT_THAT(dialog.events, IsEmpty());
}

// ---- Trees

TEST_F(DriverTest, TreeItemsShowTheWholeTreeWithItsStates) {
    auto tree = driver.TreeItems(window, id::kContacts);
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->size(), 2u);
    const automation::TreeNode& friends = (*tree)[0];
    EXPECT_EQ(friends.item, dialog.friends);
    EXPECT_GBK_EQ(friends.text, "我的好友");
    EXPECT_TRUE(friends.expanded);
    ASSERT_EQ(friends.children.size(), 2u);
    EXPECT_GBK_EQ(friends.children[1].text, "李四");
    EXPECT_EQ(friends.children[1].data, 42u);
    const automation::TreeNode& strangers = (*tree)[1];
    EXPECT_FALSE(strangers.expanded);
    ASSERT_EQ(strangers.children.size(), 1u);
    EXPECT_EQ(strangers.children[0].item, dialog.wang);
    EXPECT_TRUE(strangers.children[0].children.empty());
}

TEST_F(DriverTest, TreeItemsAreFoundByTextOrByPath) {
    EXPECT_EQ(driver.FindTreeItem(window, id::kContacts, "李四"), dialog.li);
    EXPECT_EQ(driver.FindTreeItemByPath(window, id::kContacts, {"陌生人", "王五"}), dialog.wang);
    EXPECT_EQ(driver.FindTreeItemByPath(window, id::kContacts, {"王五"}), 0u);  // not top level
    EXPECT_EQ(driver.FindTreeItemByPath(window, id::kContacts, {}), 0u);
    EXPECT_EQ(driver.FindTreeItem(window, id::kContacts, "赵六"), 0u);
    EXPECT_THAT(driver.LastError(), HasSubstr("no item"));
}

TEST_F(DriverTest, SelectingATreeItemRaisesSelChanged) {
    ASSERT_TRUE(driver.SelectTreeItem(window, id::kContacts, dialog.li));
    EXPECT_THAT(dialog.events, ElementsAre(Line("tree-sel", id::kContacts, dialog.li)));
    EXPECT_TRUE((*driver.TreeItems(window, id::kContacts))[0].children[1].selected);
}

TEST_F(DriverTest, ItemInACollapsedGroupMustBeExpandedFirst) {
    EXPECT_FALSE(driver.SelectTreeItem(window, id::kContacts, dialog.wang));
    EXPECT_THAT(driver.LastError(), HasSubstr("collapsed"));
    ASSERT_TRUE(driver.ExpandTreeItem(window, id::kContacts, dialog.strangers));
    ASSERT_TRUE(driver.SelectTreeItem(window, id::kContacts, dialog.wang));
    EXPECT_THAT(dialog.events, ElementsAre(Line("expanded", id::kContacts, dialog.strangers),
                                           Line("tree-sel", id::kContacts, dialog.wang)));
    ASSERT_TRUE(driver.CollapseTreeItem(window, id::kContacts, dialog.strangers));
    EXPECT_FALSE((*driver.TreeItems(window, id::kContacts))[1].expanded);
}

TEST_F(DriverTest, ExpandingWithoutAChangeIsRefused) {
    struct Case {
        os::TreeItem item;
        bool expand;
        const char* why;
    };
    const Case cases[] = {
        {dialog.zhang, true, "has no children"},
        {dialog.friends, true, "already expanded"},
        {dialog.strangers, false, "already collapsed"},
        {9999, true, "has no item 9999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_FALSE(c.expand ? driver.ExpandTreeItem(window, id::kContacts, c.item)
                              : driver.CollapseTreeItem(window, id::kContacts, c.item));
        EXPECT_THAT(driver.LastError(), HasSubstr(c.why));
    }
    EXPECT_THAT(dialog.events, IsEmpty());
}

TEST_F(DriverTest, DoubleClickSelectsThenNotifiesAndLeavesALeafAlone) {
    ASSERT_TRUE(driver.DoubleClickTreeItem(window, id::kContacts, dialog.zhang));
    EXPECT_THAT(dialog.events, ElementsAre(Line("tree-sel", id::kContacts, dialog.zhang),
                                           Line("double-click", id::kContacts, dialog.zhang)));
}

TEST_F(DriverTest, DoubleClickOnAGroupTogglesItUnlessTheHandlerKeepsIt) {
    ASSERT_TRUE(driver.DoubleClickTreeItem(window, id::kContacts, dialog.strangers));
    EXPECT_THAT(dialog.events, ElementsAre(Line("tree-sel", id::kContacts, dialog.strangers),
                                           Line("double-click", id::kContacts, dialog.strangers),
                                           Line("expanded", id::kContacts, dialog.strangers)));
    EXPECT_TRUE((*driver.TreeItems(window, id::kContacts))[1].expanded);

    dialog.events.clear();
    dialog.treeDoubleClickAnswer = 1;
    ASSERT_TRUE(driver.DoubleClickTreeItem(window, id::kContacts, dialog.strangers));
    EXPECT_THAT(dialog.events, ElementsAre(Line("double-click", id::kContacts, dialog.strangers)));
    EXPECT_TRUE((*driver.TreeItems(window, id::kContacts))[1].expanded);
}

// ---- Lists

TEST_F(DriverTest, ListRowsAndColumnsReadBack) {
    EXPECT_THAT(*driver.ListColumns(window, id::kMembers),
                ElementsAre(testing_support::Gbk("姓名"), "部门"));
    auto rows = driver.ListRows(window, id::kMembers);
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[1], (automation::ListRow{{"李四", "信息中心"}, 8, false, false}));
}

TEST_F(DriverTest, SelectingAListRowReplacesTheSelection) {
    ASSERT_TRUE(driver.SelectListRow(window, id::kMembers, 1));
    ASSERT_TRUE(driver.SelectListRow(window, id::kMembers, 0));
    auto rows = *driver.ListRows(window, id::kMembers);
    EXPECT_TRUE(rows[0].selected);
    EXPECT_FALSE(rows[1].selected);
    EXPECT_THAT(dialog.events,
                ElementsAre("list-changed 302 1", "list-changed 302 1", "list-changed 302 0"));
}

TEST_F(DriverTest, DoubleClickOnAListRowSelectsItThenNotifies) {
    ASSERT_TRUE(driver.DoubleClickListRow(window, id::kMembers, 1));
    EXPECT_THAT(dialog.events, ElementsAre("list-changed 302 1", "double-click 302 1"));
    EXPECT_FALSE(driver.SelectListRow(window, id::kMembers, 2));
    EXPECT_THAT(driver.LastError(), HasSubstr("has no row 2"));
}

// ---- Links

TEST_F(DriverTest, ClickingALinkRaisesItsTarget) {
    ASSERT_TRUE(driver.ClickLink(window, id::kView, "http://a.cn"));
    ASSERT_TRUE(driver.ClickLink(window, id::kView, "帮助"));
    ASSERT_TRUE(driver.ClickLink(window, id::kView, 5));  // inside the first link
    EXPECT_THAT(dialog.events, ElementsAre("link 401 3 http://a.cn", "link 401 17 http://b.cn/help",
                                           "link 401 5 http://a.cn"));
}

TEST_F(DriverTest, ClickingWhereThereIsNoLinkIsRefused) {
    EXPECT_FALSE(driver.ClickLink(window, id::kView, 0));
    EXPECT_THAT(driver.LastError(), HasSubstr("no link at position 0"));
    EXPECT_FALSE(driver.ClickLink(window, id::kView, "http://c.cn"));
    EXPECT_FALSE(driver.ClickLink(window, id::kView, 1000));
    EXPECT_THAT(dialog.events, IsEmpty());
}

// ---- Keys and closing

TEST_F(DriverTest, KeyGoesThroughTheQueueWhereTheHookSeesIt) {
    std::vector<std::pair<os::UINT, os::WPARAM>> hooked;
    system.SetGetMessageHook([&](os::Msg& msg) { hooked.emplace_back(msg.message, msg.wParam); });
    ASSERT_TRUE(driver.PressKey(window, automation::key::kReturn));
    ASSERT_TRUE(driver.PressKey(window, 'S', automation::KeyModifier::Alt));
    EXPECT_THAT(dialog.keys, IsEmpty());  // queued, not yet handled
    driver.Pump();
    EXPECT_THAT(dialog.keys, ElementsAre(os::VK_RETURN, 'S'));
    EXPECT_THAT(hooked, ElementsAre(std::pair<os::UINT, os::WPARAM>{os::WM_KEYDOWN, os::VK_RETURN},
                                    std::pair<os::UINT, os::WPARAM>{os::WM_SYSKEYDOWN, 'S'}));
}

TEST_F(DriverTest, TheModifierHeldForAKeyIsReadWhileThatKeyIsHandled) {
    ASSERT_TRUE(driver.PressKey(window, automation::key::kReturn, automation::KeyModifier::Ctrl));
    ASSERT_TRUE(driver.PressKey(window, automation::key::kReturn));
    ASSERT_TRUE(driver.PressKey(window, 'S', automation::KeyModifier::Alt));
    ASSERT_TRUE(driver.PressKey(window, 'A', automation::KeyModifier::Shift));
    driver.Pump();
    EXPECT_THAT(dialog.keys, ElementsAre(os::VK_RETURN, os::VK_RETURN, 'S', 'A'));
    EXPECT_THAT(dialog.heldWithKeys, ElementsAre("C", "", "A", "S"));
    // Either Ctrl key counts; a key that is no modifier is never held.
    system.SetHeldModifiers(os::MOD_CONTROL);
    EXPECT_TRUE(system.IsKeyHeld(os::VK_LCONTROL));
    EXPECT_TRUE(system.IsKeyHeld(os::VK_RCONTROL));
    EXPECT_FALSE(system.IsKeyHeld('A'));
}

TEST_F(DriverTest, HotKeyReachesItsRegistrant) {
    using namespace automation::modifier;
    ASSERT_TRUE(system.RegisterHotKey(dialog.hwnd(), 7, os::MOD_CONTROL | os::MOD_ALT, 'Z'));
    std::vector<os::WPARAM> hotKeys;
    system.SetGetMessageHook([&](os::Msg& msg) {
        if (msg.message == os::WM_HOTKEY) hotKeys.push_back(msg.wParam);
    });
    EXPECT_TRUE(driver.PressHotKey(kControl | kAlt, 'Z'));
    driver.Pump();
    EXPECT_THAT(hotKeys, ElementsAre(7u));
    EXPECT_FALSE(driver.PressHotKey(kShift, 'Z'));
    EXPECT_THAT(driver.LastError(), HasSubstr("no hot key"));
}

TEST_F(DriverTest, CloseDestroysAWindowThatKeepsTheDefault) {
    ASSERT_TRUE(driver.Close(window));
    EXPECT_FALSE(driver.IsWindow(window));
    EXPECT_FALSE(driver.Click(window, id::kGreet));
    EXPECT_THAT(driver.LastError(), HasSubstr("does not exist"));
}

// A panel that hides itself when closed, as a main panel going to the tray does.
class HidingPanel : public os::Window {
  public:
    using Window::Window;
    std::vector<os::UINT> seen;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override {
        if (message == os::WM_SYSCOMMAND || message == os::WM_CLOSE) seen.push_back(message);
        if (message == os::WM_CLOSE) {
            ShowWindow(os::SW_HIDE);
            return 0;
        }
        return DefWindowProc(message, wParam, lParam);
    }
};

TEST_F(DriverTest, CloseGoesThroughTheCloseBoxToTheWindowsOwnHandling) {
    HidingPanel panel(system);
    os::Window::CreateParams params;
    params.title = "主面板";
    params.visible = true;
    ASSERT_TRUE(panel.Create(params));
    ASSERT_TRUE(driver.Close(panel.hwnd().value()));
    EXPECT_THAT(panel.seen, ElementsAre(os::WM_SYSCOMMAND, os::WM_CLOSE));
    EXPECT_TRUE(panel.IsWindow());
    EXPECT_FALSE(driver.Describe(panel.hwnd().value())->visible);
}

}  // namespace
}  // namespace automation_test
