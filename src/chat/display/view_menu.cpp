#include "chat/display/view_menu.h"

namespace chat {

std::vector<ViewMenuEntry> BuildViewMenu(const ViewMenuState& state) {
    std::vector<ViewMenuEntry> menu;
    const auto add = [&](ViewMenuCommand command, const char* text, bool enabled) {
        menu.push_back({command, text, enabled});
    };
    const auto separator = [&] { menu.push_back({std::nullopt, "", false}); };
    if (state.editable) {
        add(ViewMenuCommand::Undo, "撤消(&U)", state.canUndo);
        separator();
        add(ViewMenuCommand::Cut, "剪切(&C)", state.hasSelection);
    }
    add(ViewMenuCommand::Copy, "复制(&O)", state.hasSelection);
    if (state.acceptsPaste) add(ViewMenuCommand::Paste, "粘贴(&P)", state.clipboardPasteable);
    if (state.hasClipScreen) {
        add(ViewMenuCommand::SavePictureAs, "图片另存为...(&s)", state.pictureSelected);
    }
    if (state.editable) add(ViewMenuCommand::Clear, "清除(&L)", state.hasSelection);
    separator();
    add(ViewMenuCommand::SelectAll, "全选(&A)", true);
    return menu;
}

}  // namespace chat
