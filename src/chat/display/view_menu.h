#pragma once
// The context menu of a message view or an input box: its entries in order, and which of
// them can be chosen now.

#include <optional>
#include <string>
#include <vector>

namespace chat {

enum class ViewMenuCommand { Undo = 1, Cut, Copy, Paste, SavePictureAs, Clear, SelectAll };

struct ViewMenuEntry {
    std::optional<ViewMenuCommand> command;  // none: a separator
    std::string text;
    bool enabled = false;

    bool operator==(const ViewMenuEntry&) const = default;
};

// What decides the entries.
struct ViewMenuState {
    bool editable = false;       // undo, cut and clear are offered
    bool acceptsPaste = false;   // paste is offered
    bool hasClipScreen = false;  // "图片另存为..." is offered
    bool canUndo = false;
    bool hasSelection = false;
    bool clipboardPasteable = false;  // text or a bitmap waits on the clipboard
    bool pictureSelected = false;     // the selection is one picture
};

// "撤消(&U)", a separator, "剪切(&C)" (editable); "复制(&O)"; "粘贴(&P)" (paste accepted);
// "图片另存为...(&s)" (with screen capture); "清除(&L)" (editable); a separator; "全选(&A)".
std::vector<ViewMenuEntry> BuildViewMenu(const ViewMenuState& state);

// The file chooser's filter of "图片另存为...".
inline constexpr const char* kSavePictureFilter =
    "JPEG文件(*.jpg)|*.jpg|位图文件(*.bmp)|*.bmp|所有文件(*.*)|*.*||";

}  // namespace chat
