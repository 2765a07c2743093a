#include "os/automation/tree_snapshot.h"

namespace qorvdesk::automation {

std::vector<TreeNode> SnapshotTree(const os::TreeControl& tree) {
    std::vector<TreeNode> top;
    // levels[d] is the list that items of depth d go into: the top list, then the children
    // of the item last added at each depth above. Only the deepest list grows, so the
    // pointers to the lists above stay valid.
    std::vector<std::vector<TreeNode>*> levels{&top};
    const os::TreeItem selected = tree.GetSelectedItem();
    tree.ForEachItem([&](os::TreeItem item, int depth) {
        levels.resize(static_cast<std::size_t>(depth) + 1);
        TreeNode node;
        node.item = item;
        node.text = tree.GetItemText(item);
        node.data = tree.GetItemData(item);
        node.expanded = tree.IsExpanded(item);
        node.selected = item == selected;
        node.checked = tree.GetCheck(item);
        node.bold = tree.IsItemBold(item);
        node.image = tree.GetItemImage(item).image;
        std::vector<TreeNode>& list = *levels[static_cast<std::size_t>(depth)];
        list.push_back(std::move(node));
        levels.push_back(&list.back().children);
    });
    return top;
}

os::TreeItem FindItemByText(const os::TreeControl& tree, std::string_view text) {
    for (os::TreeItem item = tree.GetNextItem(os::kNoTreeItem); item != os::kNoTreeItem;
         item = tree.GetNextItem(item)) {
        if (tree.GetItemText(item) == text) return item;
    }
    return os::kNoTreeItem;
}

os::TreeItem FindItemByPath(const os::TreeControl& tree, const std::vector<std::string>& path) {
    os::TreeItem parent = os::kTreeRoot;
    os::TreeItem found = os::kNoTreeItem;
    for (const std::string& text : path) {
        found = os::kNoTreeItem;
        for (os::TreeItem child = tree.GetChild(parent); child != os::kNoTreeItem;
             child = tree.GetNextSibling(child)) {
            if (tree.GetItemText(child) == text) {
                found = child;
                break;
            }
        }
        if (found == os::kNoTreeItem) return os::kNoTreeItem;
        parent = found;
    }
    return found;
}

bool IsItemShown(const os::TreeControl& tree, os::TreeItem item) {
    if (!tree.IsValid(item)) return false;
    for (os::TreeItem parent = tree.GetParent(item); parent != os::kNoTreeItem;
         parent = tree.GetParent(parent)) {
        if (!tree.IsExpanded(parent)) return false;
    }
    return true;
}

}  // namespace qorvdesk::automation
