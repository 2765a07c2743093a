#pragma once
// A main-window-shell door that records session starts, auxiliary windows opened and the
// mail counts shown.

#include <vector>

#include "core/doors/main_window_shell.h"

namespace testing_support {

class RecordingShell : public core::MainWindowShell {
  public:
    int sessionStarts = 0;
    int auxiliaryWindowsOpened = 0;
    // The mail counts shown, in order.
    std::vector<int> mailCounts;
    void StartSession() override { ++sessionStarts; }
    void OpenAuxiliaryWindow() override { ++auxiliaryWindowsOpened; }
    void ShowMailCountOnToolBar(int count) override { mailCounts.push_back(count); }
};

}  // namespace testing_support
