#pragma once
// A static text. Its text is the window text of Control.

#include "os/controls/control.h"

namespace os {

class Label : public Control {
  public:
    explicit Label(int id, std::string text = {}) : Control(id, ControlKind::Label) {
        text_ = std::move(text);
    }
};

}  // namespace os
