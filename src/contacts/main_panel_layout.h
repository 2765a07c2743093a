#pragma once
// Where the main panel's contact trees sit: one band each, top to bottom in the order they
// were made, filling the panel.

namespace os {
class Window;
}

namespace contacts {

// Lays out the trees of `panel` (controls 6001-6003 and the rooms branch 6005, those that are
// there) for its present size.
void LayOutMainPanelTrees(os::Window& panel);

}  // namespace contacts
