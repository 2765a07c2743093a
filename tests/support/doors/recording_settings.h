#pragma once
// A user-settings door that records loads and the pages the settings dialog was run on.

#include <vector>

#include "core/doors/settings_service.h"

namespace testing_support {

class RecordingSettings : public core::SettingsService {
  public:
    int loads = 0;
    std::vector<int> pages;

    void LoadUserSettings() override { ++loads; }
    void RunSettingsDialog(int page) override { pages.push_back(page); }
};

}  // namespace testing_support
