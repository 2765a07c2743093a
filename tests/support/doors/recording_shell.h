#pragma once
// A main-window-shell door that records session starts and auxiliary windows opened.

#include "core/doors/main_window_shell.h"

namespace testing_support {

class RecordingShell : public core::MainWindowShell {
  public:
    int sessionStarts = 0;
    int auxiliaryWindowsOpened = 0;
    void StartSession() override { ++sessionStarts; }
    void OpenAuxiliaryWindow() override { ++auxiliaryWindowsOpened; }
};

}  // namespace testing_support
