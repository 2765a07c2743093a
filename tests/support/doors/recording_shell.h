#pragma once
// A main-window-shell door that records session starts and the mail counts shown.

#include <vector>

#include "core/doors/main_window_shell.h"

namespace testing_support {

class RecordingShell : public core::MainWindowShell {
  public:
    int sessionStarts = 0;
    std::vector<int> mailCounts;
    void StartSession() override { ++sessionStarts; }
    void ShowMailCountOnToolBar(int count) override { mailCounts.push_back(count); }
};

}  // namespace testing_support
