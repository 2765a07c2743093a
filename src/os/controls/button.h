#pragma once
// A push button. Click() is the user pressing it: a disabled button ignores it.

#include "os/controls/control.h"

namespace os {

class Button : public Control {
  public:
    explicit Button(int id, std::string caption = {}) : Control(id, ControlKind::Button) {
        text_ = std::move(caption);
    }

    // Raises kClicked when enabled; returns whether it did.
    bool Click() {
        if (!enabled()) return false;
        Notify(notify::kClicked);
        return true;
    }
};

}  // namespace os
