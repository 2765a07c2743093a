#include "chat/dlg_face_picker.h"

#include <memory>

#include "os/controls/button.h"
#include "os/prompt/prompter.h"

namespace chat {

CDlgFacePicker::CDlgFacePicker(os::WindowSystem& system, os::Prompter& prompter)
    : Window(system),
      prompter_(prompter),
      layout_(kFaceCount, kFaceImagePixels, kFaceImagePixels) {}

bool CDlgFacePicker::Make(os::HWND owner) {
    CreateParams params;
    params.title = kTitle;
    params.owner = owner;
    params.rect = os::Rect::FromSize(0, 0, layout_.width(), layout_.height());
    if (!Create(params)) return false;
    for (int face = 0; face < kFaceCount; ++face)
        AddControl(
            std::make_unique<os::Button>(kFirstFaceButton + face, std::string(FaceName(face))));
    return true;
}

std::optional<int> CDlgFacePicker::ChosenFace() const {
    const int face = FaceFromSelection(selection_);
    if (face < 0) return std::nullopt;
    return face;
}

os::LRESULT CDlgFacePicker::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_COMMAND && os::HIWORD(wParam) == os::notify::kClicked) {
        const int face = static_cast<int>(os::LOWORD(wParam)) - kFirstFaceButton;
        if (IsFaceNumber(face)) {
            selection_ = face + 1;
            prompter_.EndDialog(hwnd(), os::IDOK);
            return 0;
        }
    }
    return DefWindowProc(message, wParam, lParam);
}

}  // namespace chat
