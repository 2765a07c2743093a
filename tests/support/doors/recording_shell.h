#pragma once
// A main-window-shell door that records session starts.

#include "core/doors/main_window_shell.h"

namespace testing_support {

class RecordingShell : public core::MainWindowShell {
  public:
    int sessionStarts = 0;
    void StartSession() override { ++sessionStarts; }
};

}  // namespace testing_support
