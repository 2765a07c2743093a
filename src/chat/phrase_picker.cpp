#include "chat/phrase_picker.h"

#include "os/controls/list_control.h"

namespace chat {

PhrasePicker::PhrasePicker(os::WindowSystem& system, Chosen chosen)
    : os::Window(system), chosen_(std::move(chosen)) {}

bool PhrasePicker::Show(os::HWND owner, const os::Rect& near, std::vector<std::string> phrases) {
    if (!IsWindow()) {
        CreateParams params;
        params.title = "常用语";
        params.owner = owner;
        params.rect = os::Rect::FromSize(near.left, near.bottom, kWidth, kHeight);
        if (!Create(params)) return false;
        list_ = AddControl(std::make_unique<os::ListControl>(kPhraseList));
        list_->SetSingleSelection(true);
        list_->InsertColumn(0, "常用语", kWidth);
    }
    phrases_ = std::move(phrases);
    list_->DeleteAllItems();
    for (const std::string& phrase : phrases_) list_->InsertItem(-1, phrase);
    return ShowWindow(os::SW_SHOW);
}

os::LRESULT PhrasePicker::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_NOTIFY) {
        const auto* note = reinterpret_cast<const os::ControlNotification*>(lParam);
        if (note->controlId == kPhraseList && note->code == os::notify::kDoubleClick &&
            note->item >= 0 && note->item < static_cast<std::int64_t>(phrases_.size())) {
            // Copied first: the chosen handler may show the picker again with other phrases.
            const std::string phrase = phrases_[static_cast<std::size_t>(note->item)];
            ShowWindow(os::SW_HIDE);
            chosen_(phrase);
        }
        return 0;
    }
    if (message == os::WM_CLOSE) {
        ShowWindow(os::SW_HIDE);
        return 0;
    }
    return os::Window::OnMessage(message, wParam, lParam);
}

}  // namespace chat
