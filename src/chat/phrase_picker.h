#pragma once
// The chat window's common-phrase picker: a small window owned by the chat window, listing
// the user's phrases. Double-clicking one hands it to the chat window and hides the picker;
// closing it chooses nothing. Runs on the UI thread.

#include <functional>
#include <string>
#include <vector>

#include "os/ui/window.h"

namespace os {
class ListControl;
}

namespace chat {

class PhrasePicker final : public os::Window {
  public:
    static constexpr int kPhraseList = 1301;
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 200;

    using Chosen = std::function<void(const std::string& phrase)>;
    PhrasePicker(os::WindowSystem& system, Chosen chosen);

    // Shows `phrases` beside `owner`, creating the window on first use.
    bool Show(os::HWND owner, const os::Rect& near, std::vector<std::string> phrases);

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    Chosen chosen_;
    std::vector<std::string> phrases_;
    os::ListControl* list_ = nullptr;
};

}  // namespace chat
