#include "os/controls/list_control.h"

#include <gtest/gtest.h>

#include "os/controls/notification_recorder.h"
#include "support/gbk_print.h"

namespace os {
namespace {

using testing::NotificationRecorder;
using Rows = std::vector<int>;
using Items = std::vector<std::int64_t>;

class ListControlTest : public ::testing::Test {
  protected:
    // Three columns, four rows: name / phone / department, data = 100 + row.
    void SetUp() override {
        list.InsertColumn(0, "姓名", 80);
        list.InsertColumn(1, "电话", 100);
        list.InsertColumn(2, "部门", 120);
        int row = 0;
        for (const char* name : {"张三", "Li", "lily", "王五"}) {
            list.InsertItem(row, name, row, 100u + static_cast<std::uint32_t>(row));
            list.SetItemText(row, 1, "555-" + std::to_string(row));
            ++row;
        }
    }

    ListControl list{9};
};

TEST_F(ListControlTest, ColumnsAndCells) {
    EXPECT_EQ(list.GetColumnCount(), 3);
    EXPECT_GBK_EQ(list.GetColumn(1).header, "电话");
    EXPECT_EQ(list.GetColumn(2).width, 120);
    EXPECT_TRUE(list.SetColumnWidth(2, 60));
    EXPECT_EQ(list.GetColumn(2).width, 60);

    EXPECT_GBK_EQ(list.GetItemText(0, 0), "张三");
    EXPECT_EQ(list.GetItemText(3, 1), "555-3");
    EXPECT_EQ(list.GetItemText(3, 2), "");      // never set
    EXPECT_FALSE(list.SetItemText(0, 3, "x"));  // no such column
    EXPECT_FALSE(list.SetItemText(4, 0, "x"));  // no such row
    EXPECT_EQ(list.GetItemImage(2), 2);
    EXPECT_EQ(list.GetItemData(3), 103u);

    // Cells move with their columns.
    list.InsertColumn(1, "职务", 50);
    EXPECT_EQ(list.GetItemText(3, 1), "");
    EXPECT_EQ(list.GetItemText(3, 2), "555-3");
    EXPECT_TRUE(list.DeleteColumn(1));
    EXPECT_EQ(list.GetItemText(3, 1), "555-3");
}

TEST_F(ListControlTest, InsertDeleteAndFindRows) {
    EXPECT_EQ(list.InsertItem(1, "新"), 1);
    EXPECT_EQ(list.InsertItem(-1, "end"), 5);
    EXPECT_EQ(list.GetItemCount(), 6);
    EXPECT_GBK_EQ(list.GetItemText(1, 0), "新");
    EXPECT_TRUE(list.DeleteItem(1));
    EXPECT_FALSE(list.DeleteItem(6));
    EXPECT_EQ(list.GetItemText(1, 0), "Li");

    struct Case {
        const char* text;
        int startAfter;
        bool partial;
        int row;
    };
    for (Case c : {Case{"li", -1, false, 1}, Case{"LILY", -1, false, 2}, Case{"li", -1, true, 1},
                   Case{"li", 1, true, 2}, Case{"li", 2, true, ListControl::kNone},
                   Case{"王", -1, true, 3}, Case{"王", -1, false, ListControl::kNone}}) {
        EXPECT_EQ(list.FindItem(c.text, c.startAfter, c.partial), c.row)
            << c.text << " " << c.startAfter;
    }
    EXPECT_EQ(list.FindItemData(102), 2);
    EXPECT_EQ(list.FindItemData(102, 2), ListControl::kNone);

    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetColumnCount(), 3);
}

TEST_F(ListControlTest, MultipleSelectionRaisesForEachChangedRow) {
    NotificationRecorder seen(list);
    list.SelectRow(1);
    list.SelectRow(3, SelectAction::Add);
    EXPECT_EQ(list.GetSelectedRows(), (Rows{1, 3}));
    EXPECT_EQ(list.GetNextSelected(1), 3);
    list.SelectRow(3, SelectAction::Toggle);
    list.SelectRow(1, SelectAction::Add);  // already selected: nothing raised
    list.SelectRow(2);                     // replaces 1
    EXPECT_EQ(list.GetSelectedRows(), (Rows{2}));
    EXPECT_EQ(seen.Items(notify::kListItemChanged), (Items{1, 3, 3, 1, 2}));
    EXPECT_FALSE(list.SelectRow(7));

    seen.Clear();
    list.SelectRow(0, SelectAction::Add);
    list.ClearSelection();
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_EQ(seen.Items(notify::kListItemChanged), (Items{0, 0, 2}));
}

TEST_F(ListControlTest, SingleSelectionKeepsOneRow) {
    list.SelectRow(0);
    list.SelectRow(2, SelectAction::Add);
    list.SetSingleSelection(true);
    EXPECT_EQ(list.GetSelectedRows(), (Rows{0}));
    list.SelectRow(3, SelectAction::Add);
    EXPECT_EQ(list.GetSelectedRows(), (Rows{3}));
    list.SelectRow(1, SelectAction::Toggle);
    EXPECT_EQ(list.GetSelectedRows(), (Rows{1}));
}

TEST_F(ListControlTest, StatesTravelWithRows) {
    list.SetCheckBoxes(true);
    list.SelectRow(2);
    list.SetCheck(3, true);
    list.InsertItem(0, "first");
    EXPECT_EQ(list.GetSelectedRows(), (Rows{3}));
    EXPECT_TRUE(list.GetCheck(4));
    list.DeleteItem(3);
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_TRUE(list.GetCheck(3));
}

TEST_F(ListControlTest, SortByDataIsStable) {
    // Data: 100 101 102 103 -> keys by parity: 100,102 even; 101,103 odd.
    list.SelectRow(3);
    list.SortItems([](std::uint32_t a, std::uint32_t b) {
        return static_cast<int>(b % 2) - static_cast<int>(a % 2);  // odd first
    });
    std::vector<std::uint32_t> order;
    for (int row = 0; row < list.GetItemCount(); ++row) order.push_back(list.GetItemData(row));
    EXPECT_EQ(order, (std::vector<std::uint32_t>{101, 103, 100, 102}));
    EXPECT_EQ(list.GetItemText(1, 1), "555-3");
    EXPECT_EQ(list.GetSelectedRows(), (Rows{1}));
}

TEST_F(ListControlTest, CheckBoxesAndDoubleClick) {
    NotificationRecorder seen(list);
    EXPECT_FALSE(list.SetCheck(0, true));  // no check boxes yet
    list.SetCheckBoxes(true);
    EXPECT_TRUE(list.SetCheck(0, true));
    EXPECT_TRUE(list.SetCheck(0, true));  // no change, nothing raised
    EXPECT_TRUE(list.GetCheck(0));
    EXPECT_EQ(seen.Count(notify::kListItemChanged), 1);

    EXPECT_TRUE(list.DoubleClick(2));
    EXPECT_TRUE(list.DoubleClick(ListControl::kNone));
    EXPECT_FALSE(list.DoubleClick(9));
    list.SetEnabled(false);
    EXPECT_FALSE(list.DoubleClick(1));
    EXPECT_EQ(seen.Items(notify::kDoubleClick), (Items{2, -1}));
}

}  // namespace
}  // namespace os
