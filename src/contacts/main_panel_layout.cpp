#include "contacts/main_panel_layout.h"

#include <vector>

#include "contacts/main_panel_trees.h"
#include "os/ui/window.h"
#include "os/ui/window_system.h"

namespace contacts {

void LayOutMainPanelTrees(os::Window& panel) {
    std::vector<os::Control*> trees;
    for (int id : {kRosterTreeId, kPhoneBookTreeId, kDirectoryTreeId, kRoomTreeId}) {
        if (os::Control* tree = panel.FindControl(id)) trees.push_back(tree);
    }
    if (trees.empty()) return;
    const os::Rect area = panel.system().GetWindowRect(panel.hwnd());
    const int width = area.Width();
    const int height = area.Height();
    const int count = static_cast<int>(trees.size());
    for (int i = 0; i < count; ++i) {
        // Integer bands that meet exactly and end at the panel's bottom.
        const int top = height * i / count;
        const int bottom = height * (i + 1) / count;
        trees[static_cast<std::size_t>(i)]->SetRect(os::Rect{0, top, width, bottom});
    }
}

}  // namespace contacts
