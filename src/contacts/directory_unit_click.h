#pragma once
// A double click on a unit of an organisation tree, as the main panel answers it: the unit's
// children are fetched the first time it opens (ExpandDirectoryNode), later ones ask only for
// its online information, and the unit opens or shuts. Units come without children until
// their first open, so the tree's own double click (which toggles only an item with children)
// cannot open them. UI thread.

#include "os/controls/tree_control.h"

namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;

// True when `item` is a unit of an organisation tree and the click was answered here (the
// tree's own toggle must not run after it); false for the personal trees and for users.
bool OpenDirectoryUnitOnDoubleClick(core::ClientContext& context, CIMTree& tree, os::TreeItem item);

}  // namespace contacts
