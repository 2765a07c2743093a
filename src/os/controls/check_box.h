#pragma once
// A check box (an auto check box: a click toggles it). SetCheck from code raises nothing, as
// BM_SETCHECK does not.

#include "os/controls/control.h"

namespace os {

class CheckBox : public Control {
  public:
    explicit CheckBox(int id, std::string caption = {}) : Control(id, ControlKind::CheckBox) {
        text_ = std::move(caption);
    }

    bool checked() const { return checked_; }
    void SetCheck(bool checked) {
        if (checked_ == checked) return;
        checked_ = checked;
        Changed();
    }

    // The user clicking: toggles the state, then raises kClicked. A disabled box ignores it.
    bool Click() {
        if (!enabled()) return false;
        checked_ = !checked_;
        Changed();
        Notify(notify::kClicked);
        return true;
    }

  private:
    bool checked_ = false;
};

}  // namespace os
