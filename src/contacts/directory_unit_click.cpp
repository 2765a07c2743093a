#include "contacts/directory_unit_click.h"

#include "contacts/directory_loader.h"
#include "contacts/im_tree.h"

namespace contacts {

bool OpenDirectoryUnitOnDoubleClick(core::ClientContext& context, CIMTree& tree,
                                    os::TreeItem item) {
    if (tree.topKind == kRosterTop || tree.topKind == kPhoneBookTop) return false;
    if (!tree.IsValid(item) || tree.GroupOf(item) == nullptr) return false;
    const bool wasExpanded = tree.IsExpanded(item);
    ExpandDirectoryNode(context, tree, item, kDirectoryRequestMode, /*flag=*/0);
    // The load leaves at least a "(无数据)" child, so the unit has a button to open.
    if (tree.IsValid(item) && tree.ItemHasChildren(item)) {
        tree.Expand(item, wasExpanded ? os::ExpandAction::Collapse : os::ExpandAction::Expand);
    }
    return true;
}

}  // namespace contacts
