#pragma once
// The door to the user's own settings file, the settings dialog and the phone settings.

#include <string>

#include "os/ui/hwnd.h"

namespace core {

class SettingsService {
  public:
    virtual ~SettingsService() = default;
    // After a successful login: reads the user's settings from the user folder.
    virtual void LoadUserSettings() {}
    virtual void SaveUserSettings() {}
    // The settings dialog, or a null handle when none is open.
    virtual os::HWND SettingsDialog() { return {}; }
    // Runs the settings dialog modally on `page`.
    virtual void RunSettingsDialog(int /*page*/) {}
    virtual void DestroySettingsDialog() {}
    virtual void ClearCurPhones() {}
    virtual std::string CurBindPhone() { return {}; }
    virtual std::string IsSoftPhone() { return {}; }
};

}  // namespace core
