#pragma once
// A main-window-shell door that records session starts.

#include <vector>

#include "core/doors/main_window_shell.h"

namespace testing_support {

class RecordingShell : public core::MainWindowShell {
  public:
    int sessionStarts = 0;
    std::vector<int> mailCounts;
    void StartSession() override { ++sessionStarts; }
    // The mail counts shown, in order.
    void ShowMailCountOnToolBar(int count) override { mailCounts.push_back(count); }
};

}  // namespace testing_support
