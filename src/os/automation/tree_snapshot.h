#pragma once
// Tree controls as the automation interface reports them: the whole tree as nested nodes,
// items found by text or path, and whether a person can see an item.

#include <string>
#include <string_view>
#include <vector>

#include "os/controls/tree_control.h"
#include "qorvdesk/automation.h"

namespace qorvdesk::automation {

// The top-level items with their subtrees, in order.
std::vector<TreeNode> SnapshotTree(const os::TreeControl& tree);

// The first item, depth first, whose text is `text`; 0 when none is.
os::TreeItem FindItemByText(const os::TreeControl& tree, std::string_view text);
// The item reached from the top level by following children with these texts; 0 when the
// path is empty or leads nowhere. At each level the first child with the text is taken.
os::TreeItem FindItemByPath(const os::TreeControl& tree, const std::vector<std::string>& path);

// Whether every parent above the item is expanded, so that the item is on screen.
bool IsItemShown(const os::TreeControl& tree, os::TreeItem item);

}  // namespace qorvdesk::automation
