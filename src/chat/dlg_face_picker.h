#pragma once
// The chat window's face picker: the 80 faces in their grid, each a button named by its
// tooltip. Clicking a face ends the dialog with IDOK and that face chosen; closing it chooses
// nothing. Run it modally through the context's prompter (os::Prompter::DoModal).

#include <optional>
#include <string>

#include "chat/encoding/face_table.h"
#include "os/ui/window.h"

namespace os {
class Prompter;
}

namespace chat {

class CDlgFacePicker : public os::Window {
  public:
    static constexpr const char* kTitle = "表情";
    // Face n is the button kFirstFaceButton + n.
    static constexpr int kFirstFaceButton = 1300;
    // The face images are this many pixels square.
    static constexpr int kFaceImagePixels = 24;

    CDlgFacePicker(os::WindowSystem& system, os::Prompter& prompter);

    // Creates the hidden dialog owned by `owner`, with the faces' buttons.
    bool Make(os::HWND owner);

    // The 1-based selection (0: nothing chosen) and the face it stands for.
    int selection() const { return selection_; }
    std::optional<int> ChosenFace() const;

    const FacePickerLayout& layout() const { return layout_; }

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    os::Prompter& prompter_;
    FacePickerLayout layout_;
    int selection_ = 0;
};

}  // namespace chat
