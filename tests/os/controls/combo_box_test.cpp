#include "os/controls/combo_box.h"

#include <gtest/gtest.h>

#include "os/controls/notification_recorder.h"
#include "support/gbk_print.h"

namespace os {
namespace {

using testing::NotificationRecorder;

TEST(ComboBox, ItemsDataAndSelectionThatFollowsItsItem) {
    ComboBox combo(2);
    EXPECT_EQ(combo.AddString("在线", 1), 0);
    EXPECT_EQ(combo.AddString("离开", 0xFFFFFFFFu), 1);
    EXPECT_EQ(combo.InsertString(0, "隐身", 3), 0);
    EXPECT_EQ(combo.GetCurSel(), ComboBox::kNone);
    EXPECT_EQ(combo.GetItemData(2), 0xFFFFFFFFu);

    EXPECT_TRUE(combo.SetCurSel(1));
    EXPECT_GBK_EQ(combo.Text(), "在线");
    combo.InsertString(0, "忙碌");
    EXPECT_EQ(combo.GetCurSel(), 2);
    combo.DeleteString(0);
    EXPECT_EQ(combo.GetCurSel(), 1);
    combo.DeleteString(1);
    EXPECT_EQ(combo.GetCurSel(), ComboBox::kNone);
    EXPECT_FALSE(combo.SetCurSel(5));
    EXPECT_FALSE(combo.DeleteString(-1));
    EXPECT_EQ(combo.GetLBText(7), "");

    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
}

TEST(ComboBox, SelectRaisesSelChangeSetCurSelDoesNot) {
    ComboBox combo(5);
    combo.AddString("a");
    combo.AddString("b");
    NotificationRecorder seen(combo);
    combo.SetCurSel(0);
    EXPECT_TRUE(combo.Select(1));
    EXPECT_FALSE(combo.Select(2));
    combo.SetEnabled(false);
    EXPECT_FALSE(combo.Select(0));
    EXPECT_EQ(seen.Items(notify::kSelChange), (std::vector<std::int64_t>{1}));
    EXPECT_EQ(combo.GetCurSel(), 1);
}

TEST(ComboBox, FindStringWrapsAndFoldsOnlyAsciiLetters) {
    ComboBox combo(1);
    combo.AddString("Beijing");
    combo.AddString("bern");
    combo.AddString("\x81\x41");  // a double-byte character whose trail byte is 'A'
    combo.AddString("上海");

    struct Case {
        int startAfter;
        const char* prefix;
        int found;
    };
    for (Case c : {Case{-1, "be", 0}, Case{0, "BE", 1}, Case{1, "be", 0}, Case{-1, "上", 3},
                   Case{-1, "\x81\x61", ComboBox::kNone}, Case{-1, "\x81\x41", 2},
                   Case{-1, "x", ComboBox::kNone}}) {
        EXPECT_EQ(combo.FindString(c.startAfter, c.prefix), c.found)
            << c.startAfter << " " << c.prefix;
    }
    EXPECT_EQ(combo.FindStringExact(-1, "BERN"), 1);
    EXPECT_EQ(combo.FindStringExact(-1, "ber"), ComboBox::kNone);
}

TEST(ComboBox, SortedComboInsertsInOrder) {
    ComboBox combo(1);
    combo.SetSorted(true);
    combo.AddString("b");
    combo.AddString("C");
    combo.AddString("a");
    EXPECT_EQ(combo.AddString("B"), 2);  // after the equal "b"
    std::string order;
    for (int i = 0; i < combo.GetCount(); ++i) order += combo.GetLBText(i);
    EXPECT_EQ(order, "abBC");
}

TEST(ComboBox, EditTextOfDropDownAndDropDownList) {
    ComboBox dropDown(1, ComboStyle::DropDown);
    dropDown.AddString("10086");
    dropDown.SetText("typed");
    EXPECT_EQ(dropDown.Text(), "typed");
    dropDown.Select(0);
    EXPECT_EQ(dropDown.Text(), "10086");

    ComboBox list(2, ComboStyle::DropDownList);
    list.AddString("one");
    list.AddString("two");
    list.SetText("TWO");
    EXPECT_EQ(list.GetCurSel(), 1);
    list.SetText("three");  // no such item: nothing changes
    EXPECT_EQ(list.Text(), "two");
}

}  // namespace
}  // namespace os
