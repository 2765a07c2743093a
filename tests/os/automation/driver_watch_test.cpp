// Watching the windows through the Driver: every change a person would see is heard of, with
// the control it concerns; rectangles and tree pictures are read; files are dropped.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "support/gbk_print.h"
#include "support/windows/recording_window.h"
#include "test_dialog.h"

namespace automation_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace automation = qorvdesk::automation;

std::string Describe(const automation::Change& change) {
    static const char* const names[] = {"created",  "destroyed", "shown",   "hidden",
                                        "retitled", "moved",     "enabled", "control"};
    std::ostringstream line;
    line << names[static_cast<int>(change.kind)];
    if (change.kind == automation::ChangeKind::ControlChanged) line << " " << change.controlId;
    return line.str();
}

class DriverWatchTest : public DriverTest {
  protected:
    void SetUp() override {
        DriverTest::SetUp();
        subscription = driver.Subscribe([this](const automation::Change& change) {
            if (change.window == window) heard.push_back(Describe(change));
            windows.push_back(change.window);
        });
        ASSERT_NE(subscription, 0u);
    }

    std::vector<std::string> heard;
    std::vector<automation::WindowHandle> windows;
    automation::SubscriptionId subscription = 0;
};

TEST_F(DriverWatchTest, WindowChangesAreHeardInTheOrderTheyHappen) {
    ASSERT_TRUE(system.SetWindowText(dialog.hwnd(), "新标题"));
    ASSERT_TRUE(system.MoveWindow(dialog.hwnd(), os::Rect::FromSize(0, 0, 400, 300)));
    ASSERT_TRUE(system.EnableWindow(dialog.hwnd(), false));
    system.ShowWindow(dialog.hwnd(), os::SW_HIDE);
    system.ShowWindow(dialog.hwnd(), os::SW_SHOW);
    // Nothing changes: nothing is heard.
    ASSERT_TRUE(system.SetWindowText(dialog.hwnd(), "新标题"));
    ASSERT_TRUE(system.EnableWindow(dialog.hwnd(), false));
    system.ShowWindow(dialog.hwnd(), os::SW_SHOW);
    ASSERT_TRUE(dialog.DestroyWindow());
    EXPECT_THAT(heard, ElementsAre("retitled", "moved", "enabled", "hidden", "shown", "destroyed"));
}

TEST_F(DriverWatchTest, ANewWindowIsHeardOfAndThenEachControlItGets) {
    std::vector<std::string> renameHeard;
    driver.Subscribe([&](const automation::Change& change) {
        if (change.window != window) renameHeard.push_back(Describe(change));
    });
    RenameDialog rename(system, prompter);
    ASSERT_TRUE(rename.Make(dialog.hwnd()));
    // The dialog adds its controls after it was created: a view hears of each.
    EXPECT_THAT(renameHeard, ElementsAre("created", "control 601", "control 1", "control 2"));
}

struct ControlChangeCase {
    const char* name;
    int controlId;
    std::function<void(TestDialog&)> change;
    bool heard;
};

class DriverControlChangeTest : public DriverWatchTest,
                                public ::testing::WithParamInterface<ControlChangeCase> {};

TEST_P(DriverControlChangeTest, ReportsWhatAPersonWouldSee) {
    GetParam().change(dialog);
    if (GetParam().heard) {
        ASSERT_FALSE(heard.empty());
        for (const std::string& line : heard)
            EXPECT_EQ(line, "control " + std::to_string(GetParam().controlId));
    } else {
        EXPECT_THAT(heard, IsEmpty());
    }
}

template <typename T>
std::function<void(TestDialog&)> On(int id, std::function<void(T&)> change) {
    return [id, change](TestDialog& d) { change(*d.GetControl<T>(id)); };
}

INSTANTIATE_TEST_SUITE_P(
    Setters, DriverControlChangeTest,
    ::testing::Values(
        ControlChangeCase{"LabelText", id::kStatus,
                          On<os::Label>(id::kStatus, [](auto& c) { c.SetText("忙"); }), true},
        ControlChangeCase{"SameLabelText", id::kStatus,
                          On<os::Label>(id::kStatus, [](auto& c) { c.SetText("就绪"); }), false},
        ControlChangeCase{"Hidden", id::kGreet,
                          On<os::Button>(id::kGreet, [](auto& c) { c.SetVisible(false); }), true},
        ControlChangeCase{"Disabled", id::kGreet,
                          On<os::Button>(id::kGreet, [](auto& c) { c.SetEnabled(false); }), true},
        ControlChangeCase{"Rect", id::kGreet,
                          On<os::Button>(id::kGreet,
                                         [](auto& c) { c.SetRect(os::Rect::FromSize(1, 2, 3, 4)); }),
                          true},
        ControlChangeCase{"Check", id::kRemember,
                          On<os::CheckBox>(id::kRemember, [](auto& c) { c.SetCheck(true); }), true},
        ControlChangeCase{"SameCheck", id::kRemember,
                          On<os::CheckBox>(id::kRemember, [](auto& c) { c.SetCheck(false); }),
                          false},
        ControlChangeCase{"EditText", id::kName,
                          On<os::Edit>(id::kName, [](auto& c) { c.SetText("abc"); }), true},
        ControlChangeCase{"EditTyped", id::kName,
                          On<os::Edit>(id::kName, [](auto& c) { c.TypeText("x"); }), true},
        ControlChangeCase{"ComboItems", id::kPresence,
                          On<os::ComboBox>(id::kPresence, [](auto& c) { c.AddString("隐身"); }),
                          true},
        ControlChangeCase{"ComboSelection", id::kPresence,
                          On<os::ComboBox>(id::kPresence, [](auto& c) { c.SetCurSel(2); }), true},
        ControlChangeCase{"ComboCleared", id::kPresence,
                          On<os::ComboBox>(id::kPresence, [](auto& c) { c.ResetContent(); }),
                          true},
        ControlChangeCase{"Progress", id::kProgress,
                          On<os::ProgressBar>(id::kProgress, [](auto& c) { c.StepIt(); }), true},
        ControlChangeCase{"ProgressSamePosition", id::kProgress,
                          On<os::ProgressBar>(id::kProgress, [](auto& c) { c.SetPos(0); }), false},
        ControlChangeCase{"ListRow", id::kMembers,
                          On<os::ListControl>(id::kMembers,
                                              [](auto& c) { c.InsertItem(2, "王五"); }),
                          true},
        ControlChangeCase{"ListCell", id::kMembers,
                          On<os::ListControl>(id::kMembers,
                                              [](auto& c) { c.SetItemText(0, 1, "财务处"); }),
                          true},
        ControlChangeCase{"ListSelection", id::kMembers,
                          On<os::ListControl>(id::kMembers, [](auto& c) { c.SelectRow(1); }),
                          true},
        ControlChangeCase{"TreeItem", id::kContacts,
                          On<os::TreeControl>(id::kContacts,
                                              [](auto& c) { c.InsertItem("新组"); }),
                          true},
        ControlChangeCase{"TreeBold", id::kContacts,
                          [](TestDialog& d) {
                              d.GetControl<os::TreeControl>(id::kContacts)->SetItemBold(d.li, true);
                          },
                          true},
        ControlChangeCase{"TreePicture", id::kContacts,
                          [](TestDialog& d) {
                              d.GetControl<os::TreeControl>(id::kContacts)
                                  ->SetItemImage(d.li, 3, 3);
                          },
                          true},
        ControlChangeCase{"TreeExpanded", id::kContacts,
                          [](TestDialog& d) {
                              d.GetControl<os::TreeControl>(id::kContacts)
                                  ->Expand(d.strangers, os::ExpandAction::Expand);
                          },
                          true},
        ControlChangeCase{"RichContent", id::kView,
                          On<os::RichEdit>(id::kView, [](auto& c) { c.SetText("新内容"); }),
                          true},
        ControlChangeCase{"RichFormat", id::kView,
                          On<os::RichEdit>(id::kView,
                                           [](auto& c) {
                                               c.SetSel(0, 2);
                                               os::CharFormat bold;
                                               bold.mask = os::char_mask::kBold;
                                               bold.effects = os::char_effect::kBold;
                                               c.SetSelectionCharFormat(bold);
                                           }),
                          true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriverWatchTest, AnActionIsHeardAsTheChangeItMakes) {
    ASSERT_TRUE(driver.Click(window, id::kGreet));  // the handler sets the label's text
    EXPECT_THAT(heard, ElementsAre("control " + std::to_string(id::kStatus)));
}

TEST_F(DriverWatchTest, NothingIsHeardAfterUnsubscribingOrWhenTheDriverGoes) {
    driver.Unsubscribe(subscription);
    std::vector<std::string> second;
    {
        automation::Driver other(system, &prompter);
        other.Subscribe([&](const automation::Change& c) { second.push_back(Describe(c)); });
        ASSERT_TRUE(system.SetWindowText(dialog.hwnd(), "一"));
    }
    ASSERT_TRUE(system.SetWindowText(dialog.hwnd(), "二"));
    EXPECT_THAT(heard, IsEmpty());
    EXPECT_THAT(second, ElementsAre("retitled"));
}

TEST_F(DriverTest, ControlsReportTheirRectanglesAndTreeItemsTheirPictures) {
    dialog.GetControl<os::Button>(id::kGreet)->SetRect(os::Rect{8, 10, 88, 34});
    const auto greet = driver.DescribeControl(window, id::kGreet);
    ASSERT_TRUE(greet.has_value());
    EXPECT_EQ(greet->rect, (automation::Rect{8, 10, 88, 34}));
    EXPECT_EQ(driver.DescribeControl(window, id::kStatus)->rect, automation::Rect{});

    dialog.GetControl<os::TreeControl>(id::kContacts)->SetItemImage(dialog.li, 7, 7);
    const auto tree = driver.TreeItems(window, id::kContacts);
    ASSERT_TRUE(tree.has_value());
    ASSERT_EQ(tree->size(), 2u);
    ASSERT_EQ((*tree)[0].children.size(), 2u);
    EXPECT_EQ((*tree)[0].image, 0);
    EXPECT_EQ((*tree)[0].children[0].image, 1);
    EXPECT_EQ((*tree)[0].children[1].image, 7);
}

TEST_F(DriverTest, DroppedFilesReachTheWindowWhileTheSendLasts) {
    testing_support::RecordingWindow target(system);
    ASSERT_TRUE(target.CreateTopLevel("聊天"));
    std::vector<std::string> dropped;
    target.script = [&](os::UINT m, os::WPARAM, os::LPARAM l) -> std::optional<os::LRESULT> {
        if (m == os::WM_DROPFILES) dropped = *os::FromLParam<const std::vector<std::string>>(l);
        return std::nullopt;
    };
    const automation::WindowHandle handle = target.hwnd().value();
    EXPECT_FALSE(driver.DropFiles(handle, {"/tmp/a.txt"})) << "a hidden window takes no drop";
    EXPECT_TRUE(dropped.empty());
    target.ShowWindow(os::SW_SHOW);
    EXPECT_FALSE(driver.DropFiles(handle, {}));
    EXPECT_TRUE(driver.DropFiles(handle, {"/tmp/a.txt", "/home/李四/报告.doc"}))
        << driver.LastError();
    ASSERT_EQ(dropped.size(), 2u);
    EXPECT_GBK_EQ(dropped[1], "/home/李四/报告.doc");
    EXPECT_EQ(system.GetForegroundWindow(), target.hwnd());
}

}  // namespace
}  // namespace automation_test
