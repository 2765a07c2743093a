#include "os/controls/tree_control.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "os/controls/notification_recorder.h"
#include "support/gbk_print.h"

namespace os {
namespace {

using testing::NotificationRecorder;

// The texts of the children of `parent`, in order, walking forwards and checking the walk
// backwards agrees.
std::vector<std::string> ChildTexts(const TreeControl& tree, TreeItem parent) {
    std::vector<std::string> texts;
    TreeItem last = kNoTreeItem;
    for (TreeItem item = tree.GetChild(parent); item != kNoTreeItem;
         item = tree.GetNextSibling(item)) {
        texts.push_back(tree.GetItemText(item));
        last = item;
    }
    std::vector<std::string> backwards;
    for (TreeItem item = last; item != kNoTreeItem; item = tree.GetPrevSibling(item))
        backwards.insert(backwards.begin(), tree.GetItemText(item));
    EXPECT_EQ(backwards, texts);
    EXPECT_EQ(tree.GetLastChild(parent), last);
    EXPECT_EQ(tree.GetChildCount(parent), static_cast<int>(texts.size()));
    return texts;
}

using Texts = std::vector<std::string>;

TEST(TreeControl, InsertPositionsAndNavigation) {
    TreeControl tree(1);
    TreeItem groupA = tree.InsertItem("A");
    TreeItem groupB = tree.InsertItem("B", 1, 2, kTreeRoot, kTreeLast);
    TreeItem first = tree.InsertItem("first", 0, 0, kTreeRoot, kTreeFirst);
    EXPECT_EQ(ChildTexts(tree, kTreeRoot), (Texts{"first", "A", "B"}));
    EXPECT_EQ(tree.GetRoot(), first);

    TreeItem c = tree.InsertItem("c", 0, 0, groupA);
    tree.InsertItem("a", 0, 0, groupA, kTreeFirst);
    tree.InsertItem("d", 0, 0, groupA, c);  // after c
    tree.InsertItem("b", 0, 0, groupA, kTreeSort);
    tree.InsertItem("E", 0, 0, groupA, kTreeSort);  // sorts without case
    EXPECT_EQ(ChildTexts(tree, groupA), (Texts{"a", "b", "c", "d", "E"}));

    EXPECT_EQ(tree.GetParent(c), groupA);
    EXPECT_EQ(tree.GetParent(groupA), kNoTreeItem);
    EXPECT_TRUE(tree.ItemHasChildren(groupA));
    EXPECT_FALSE(tree.ItemHasChildren(groupB));
    EXPECT_EQ(tree.GetItemImage(groupB), (TreeImages{1, 2}));
    EXPECT_EQ(tree.GetCount(), 8);
}

TEST(TreeControl, InvalidParentOrPositionInsertsNothing) {
    TreeControl tree(1);
    TreeItem a = tree.InsertItem("a");
    TreeItem b = tree.InsertItem("b");
    TreeItem child = tree.InsertItem("child", 0, 0, a);
    EXPECT_EQ(tree.InsertItem("x", 0, 0, 12345), kNoTreeItem);     // no such parent
    EXPECT_EQ(tree.InsertItem("x", 0, 0, b, child), kNoTreeItem);  // child is not b's
    EXPECT_EQ(tree.InsertItem("x", 0, 0, a, kTreeRoot), kNoTreeItem);
    EXPECT_EQ(tree.GetCount(), 3);
}

TEST(TreeControl, DeleteItemTakesItsSubtreeAndRelinksSiblings) {
    TreeControl tree(1);
    TreeItem a = tree.InsertItem("a");
    TreeItem b = tree.InsertItem("b");
    TreeItem c = tree.InsertItem("c");
    TreeItem b1 = tree.InsertItem("b1", 0, 0, b);
    TreeItem b11 = tree.InsertItem("b11", 0, 0, b1);
    TreeItem b2 = tree.InsertItem("b2", 0, 0, b);

    EXPECT_TRUE(tree.DeleteItem(b));
    EXPECT_EQ(tree.GetCount(), 2);
    for (TreeItem gone : {b, b1, b11, b2}) {
        EXPECT_FALSE(tree.IsValid(gone));
        EXPECT_EQ(tree.GetItemText(gone), "");
        EXPECT_FALSE(tree.SetItemData(gone, 1));
    }
    EXPECT_EQ(tree.GetNextSibling(a), c);
    EXPECT_EQ(tree.GetPrevSibling(c), a);
    EXPECT_FALSE(tree.DeleteItem(b));

    // The last child and the first child.
    EXPECT_TRUE(tree.DeleteItem(c));
    EXPECT_EQ(tree.GetLastChild(kTreeRoot), a);
    EXPECT_TRUE(tree.DeleteItem(a));
    EXPECT_EQ(tree.GetRoot(), kNoTreeItem);
    EXPECT_EQ(tree.GetCount(), 0);
}

TEST(TreeControl, DeletingAVeryDeepChainDoesNotRecurse) {
    TreeControl tree(1);
    TreeItem top = tree.InsertItem("0");
    TreeItem parent = top;
    for (int i = 1; i < 200000; ++i) parent = tree.InsertItem("n", 0, 0, parent);
    EXPECT_TRUE(tree.DeleteItem(top));
    EXPECT_EQ(tree.GetCount(), 0);
    EXPECT_FALSE(tree.IsValid(parent));
}

TEST(TreeControl, HandlesAreNeverReused) {
    TreeControl tree(1);
    std::set<TreeItem> seen;
    std::vector<TreeItem> deleted;
    auto insert = [&](TreeItem parent) {
        TreeItem item = tree.InsertItem("x", 0, 0, parent);
        EXPECT_NE(item, kNoTreeItem);
        EXPECT_TRUE(seen.insert(item).second) << "handle " << item << " reused";
        return item;
    };
    TreeItem keep = insert(kTreeRoot);
    for (int round = 0; round < 3; ++round) {
        TreeItem group = insert(kTreeRoot);
        insert(group);
        insert(group);
        tree.DeleteItem(group);
        deleted.push_back(group);
    }
    tree.DeleteAllItems();
    deleted.push_back(keep);
    insert(kTreeRoot);
    tree.DeleteItem(tree.GetRoot());  // empties the tree
    insert(kTreeRoot);
    for (TreeItem item : deleted) EXPECT_FALSE(tree.IsValid(item)) << item;
    EXPECT_EQ(tree.GetCount(), 1);
}

TEST(TreeControl, ItemDataKeepsAll32Bits) {
    TreeControl tree(1);
    TreeItem item = tree.InsertItem("x");
    for (std::uint32_t data : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(tree.SetItemData(item, data));
        EXPECT_EQ(tree.GetItemData(item), data);
    }
}

TEST(TreeControl, SortChildrenIsStableAndLeavesOtherLevelsAlone) {
    TreeControl tree(1);
    TreeItem group = tree.InsertItem("group");
    struct Child {
        const char* text;
        std::uint32_t data;
    };
    // Keys compare unsigned: 0xFFFFFFFF sorts last, not first.
    for (Child c : {Child{"k2-first", 2}, Child{"max", 0xFFFFFFFFu}, Child{"k1-first", 1},
                    Child{"k2-second", 2}, Child{"k1-second", 1}, Child{"k2-third", 2}}) {
        TreeItem item = tree.InsertItem(c.text, 0, 0, group);
        tree.SetItemData(item, c.data);
        tree.InsertItem("grandchild", 0, 0, item);
    }
    TreeItem other = tree.InsertItem("other");
    tree.InsertItem("z", 0, 0, other);
    tree.InsertItem("y", 0, 0, other);

    int calls = 0;
    EXPECT_TRUE(tree.SortChildren(group, [&calls](std::uint32_t a, std::uint32_t b) {
        ++calls;
        return a < b ? -1 : a > b ? 1 : 0;
    }));
    EXPECT_GT(calls, 0);
    EXPECT_EQ(ChildTexts(tree, group),
              (Texts{"k1-first", "k1-second", "k2-first", "k2-second", "k2-third", "max"}));
    EXPECT_EQ(ChildTexts(tree, other), (Texts{"z", "y"}));
    for (TreeItem item = tree.GetChild(group); item; item = tree.GetNextSibling(item))
        EXPECT_EQ(ChildTexts(tree, item), (Texts{"grandchild"}));

    EXPECT_TRUE(tree.SortChildrenByText(other));
    EXPECT_EQ(ChildTexts(tree, other), (Texts{"y", "z"}));
    EXPECT_FALSE(tree.SortChildren(999, [](std::uint32_t, std::uint32_t) { return 0; }));
}

TEST(TreeControl, SortTopLevel) {
    TreeControl tree(1);
    for (std::uint32_t data : {3u, 1u, 2u})
        tree.SetItemData(tree.InsertItem(std::to_string(data)), data);
    tree.SortChildren(kTreeRoot, [](std::uint32_t a, std::uint32_t b) {
        return static_cast<int>(a) - static_cast<int>(b);
    });
    EXPECT_EQ(ChildTexts(tree, kTreeRoot), (Texts{"1", "2", "3"}));
}

TEST(TreeControl, ExpandRaisesOnlyOnChange) {
    TreeControl tree(4);
    TreeItem group = tree.InsertItem("group");
    TreeItem leaf = tree.InsertItem("leaf", 0, 0, group);
    NotificationRecorder seen(tree);

    EXPECT_TRUE(tree.Expand(group, ExpandAction::Expand));
    EXPECT_TRUE(tree.IsExpanded(group));
    EXPECT_FALSE(tree.Expand(group, ExpandAction::Expand));  // already expanded
    EXPECT_TRUE(tree.Expand(group, ExpandAction::Toggle));
    EXPECT_FALSE(tree.IsExpanded(group));
    EXPECT_FALSE(tree.Expand(group, ExpandAction::Collapse));
    EXPECT_FALSE(tree.Expand(leaf, ExpandAction::Expand));  // nothing to show
    EXPECT_FALSE(tree.Expand(12345, ExpandAction::Expand));

    EXPECT_EQ(seen.Items(notify::kItemExpanded), (std::vector<std::int64_t>{group, group}));
    EXPECT_EQ(seen.all().size(), 2u);
    EXPECT_EQ(seen.all()[0].controlId, 4);
}

TEST(TreeControl, SelectionAndItsNotifications) {
    TreeControl tree(1);
    TreeItem group = tree.InsertItem("group");
    TreeItem member = tree.InsertItem("member", 0, 0, group);
    TreeItem other = tree.InsertItem("other");
    NotificationRecorder seen(tree);

    EXPECT_TRUE(tree.Select(member));
    EXPECT_TRUE(tree.Select(member));  // no change, no notification
    EXPECT_EQ(tree.GetSelectedItem(), member);
    EXPECT_FALSE(tree.Select(999));
    EXPECT_EQ(tree.GetSelectedItem(), member);

    tree.DeleteItem(group);  // takes the selected member with it
    EXPECT_EQ(tree.GetSelectedItem(), kNoTreeItem);
    tree.Select(other);
    tree.DeleteItem(tree.InsertItem("unselected"));  // selection untouched
    tree.DeleteAllItems();
    EXPECT_EQ(seen.Items(notify::kTreeSelChanged),
              (std::vector<std::int64_t>{member, 0, other, 0}));
}

TEST(TreeControl, WalkVisitsParentsBeforeChildren) {
    TreeControl tree(1);
    TreeItem a = tree.InsertItem("a");
    TreeItem a1 = tree.InsertItem("a1", 0, 0, a);
    tree.InsertItem("a1x", 0, 0, a1);
    tree.InsertItem("a2", 0, 0, a);
    tree.InsertItem("b");
    TreeItem c = tree.InsertItem("c");
    tree.InsertItem("c1", 0, 0, c);

    std::string walked;
    tree.ForEachItem([&](TreeItem item, int depth) {
        walked += std::to_string(depth) + tree.GetItemText(item) + " ";
    });
    EXPECT_EQ(walked, "0a 1a1 2a1x 1a2 0b 0c 1c1 ");

    std::string stepped;
    for (TreeItem item = tree.GetNextItem(kNoTreeItem); item; item = tree.GetNextItem(item))
        stepped += tree.GetItemText(item) + " ";
    EXPECT_EQ(stepped, "a a1 a1x a2 b c c1 ");

    TreeControl empty(2);
    int visits = 0;
    empty.ForEachItem([&](TreeItem, int) { ++visits; });
    EXPECT_EQ(visits, 0);
}

TEST(TreeControl, ItemStates) {
    TreeControl tree(1);
    TreeItem item = tree.InsertItem("张三");
    EXPECT_FALSE(tree.SetCheck(item, true));  // no check boxes
    tree.SetCheckBoxes(true);
    EXPECT_TRUE(tree.SetCheck(item, true));
    EXPECT_TRUE(tree.GetCheck(item));
    EXPECT_TRUE(tree.SetItemBold(item, true));
    EXPECT_TRUE(tree.IsItemBold(item));
    EXPECT_TRUE(tree.SetItemText(item, "李四"));
    EXPECT_GBK_EQ(tree.GetItemText(item), "李四");
    EXPECT_TRUE(tree.SetItemImage(item, 5, 6));
    EXPECT_EQ(tree.GetItemImage(item), (TreeImages{5, 6}));
}

}  // namespace
}  // namespace os
