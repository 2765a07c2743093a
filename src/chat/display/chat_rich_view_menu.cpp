// CChatRichView's context menu, clipboard and pictures put in by the user.

#include <algorithm>
#include <vector>

#include "chat/chat_rich_view.h"
#include "chat/display/picture_store.h"
#include "chat/encoding/input_encoder.h"
#include "os/prompt/prompter.h"
#include "os/services/clipboard.h"
#include "os/sys/clock.h"
#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"
#include "platform/services/picture_codec.h"

namespace chat {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = text[text.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::vector<ViewMenuEntry> CChatRichView::ContextMenu(const os::Clipboard& clipboard,
                                                      bool hasClipScreen) const {
    ViewMenuState state;
    state.editable = kind_ == ViewKind::Editable;
    state.acceptsPaste = kind_ == ViewKind::Editable;
    state.hasClipScreen = hasClipScreen;
    state.canUndo = CanUndo();
    state.hasSelection = !GetSel().empty();
    state.clipboardPasteable = clipboard.HasText() || clipboard.HasBitmap();
    state.pictureSelected = SelectedPictureNumber().has_value();
    return BuildViewMenu(state);
}

bool CChatRichView::RunMenuCommand(ViewMenuCommand command, os::Clipboard& clipboard,
                                   os::Prompter& prompter, os::HWND owner, bool hasClipScreen) {
    const std::vector<ViewMenuEntry> menu = ContextMenu(clipboard, hasClipScreen);
    const auto entry = std::find_if(menu.begin(), menu.end(),
                                    [&](const ViewMenuEntry& e) { return e.command == command; });
    if (entry == menu.end() || !entry->enabled) return false;
    switch (command) {
        case ViewMenuCommand::Undo:
            Undo();
            return true;
        case ViewMenuCommand::Cut:
            clipboard.SetText(GetSelText());
            KeepForUndo();
            ReplaceSel("");
            return true;
        case ViewMenuCommand::Copy:
            clipboard.SetText(GetSelText());
            return true;
        case ViewMenuCommand::Paste:
            return Paste(clipboard);
        case ViewMenuCommand::SavePictureAs:
            return SavePictureAs(prompter, owner);
        case ViewMenuCommand::Clear:
            KeepForUndo();
            ReplaceSel("");
            return true;
        case ViewMenuCommand::SelectAll:
            SetSel(0, -1);
            return true;
    }
    return false;
}

bool CChatRichView::Paste(const os::Clipboard& clipboard) {
    if (kind_ == ViewKind::ReadOnly || readOnly()) return false;
    if (const std::optional<os::ClipboardBitmap> bitmap = clipboard.GetBitmap()) {
        return InsertBitmap(bitmap->bytes);
    }
    const std::optional<std::string> text = clipboard.GetText();
    if (!text) return false;
    KeepForUndo();
    return TypeText(*text);
}

bool CChatRichView::InsertBitmap(std::span<const std::uint8_t> bitmap) {
    if (kind_ == ViewKind::ReadOnly) return false;
    const std::optional<std::string> name = SaveBitmapAsJpeg(bitmap, tempDir_);
    if (!name) return false;
    // The tick count names the picture; kept above the face numbers and unique in the view.
    std::uint32_t number = static_cast<std::uint32_t>(clock_.Now());
    number = std::max({number, kFirstPictureNumber, lastPictureNumber_ + 1});
    lastPictureNumber_ = number;
    KeepForUndo();
    os::RichObject object;
    object.kind = os::RichObjectKind::Picture;
    object.userValue = number;
    object.name = *name;
    if (!InsertObject(object)) {
        undo_.reset();
        os::DeleteFile(tempDir_ + *name);
        return false;
    }
    if (pictureHandler_) pictureHandler_(*name, number);
    return true;
}

void CChatRichView::KeepForUndo() { undo_ = UndoState{Segments(), GetSel()}; }

void CChatRichView::Undo() {
    if (!undo_) return;
    const UndoState state = std::move(*undo_);
    undo_.reset();
    SetText("");
    for (const os::RichSegment& segment : state.segments) {
        SetSel(-1, -1);
        os::CharFormat format = segment.format;
        format.mask = os::char_mask::kAll;
        SetSelectionCharFormat(format);
        if (segment.type == os::RichSegment::Type::Object) {
            InsertObject(segment.object);
        } else {
            ReplaceSel(segment.text);
        }
    }
    SetSel(state.selection.start, state.selection.end);
}

std::optional<std::uint32_t> CChatRichView::SelectedPictureNumber() const {
    const os::Selection selection = GetSel();
    if (selection.end != selection.start + 1) return std::nullopt;
    const std::optional<os::RichObject> object = ObjectAt(selection.start);
    if (!object || object->kind != os::RichObjectKind::Picture) return std::nullopt;
    return object->userValue;
}

bool CChatRichView::SavePictureAs(os::Prompter& prompter, os::HWND owner) {
    const std::optional<os::RichObject> object = ObjectAt(GetSel().start);
    if (!object) return false;
    std::string bytes;
    if (!os::ReadFile(tempDir_ + object->name, bytes)) return false;
    os::FileDialogRequest request;
    request.owner = owner;
    request.filter = kSavePictureFilter;
    request.defaultName = object->name;
    request.defaultExtension = "jpg";
    const std::optional<std::string> chosen = prompter.SaveFile(request);
    if (!chosen) return false;
    if (EndsWithNoCase(*chosen, ".bmp")) {
        const std::optional<platform::RgbPicture> picture = platform::DecodePicture(Bytes(bytes));
        if (!picture) return false;
        const std::vector<std::uint8_t> bmp = platform::EncodeBmp(*picture);
        bytes.assign(bmp.begin(), bmp.end());
    }
    return os::WriteFileAtomically(*chosen, bytes);
}

}  // namespace chat
