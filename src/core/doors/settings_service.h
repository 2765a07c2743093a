#pragma once
// The door to the user's own settings file, the settings dialog and the phone settings.
//
// Settings() is the one place other subsystems read the logged-in user's settings from (the
// transfer folder, the history page size, the hidden tabs...); Phrases() the common phrases.
// Without a user (and without the subsystem) both hold their defaults.

#include <string>

#include "config/phrase_store.h"
#include "config/user_settings.h"
#include "os/ui/hwnd.h"

namespace core {

class SettingsService {
  public:
    virtual ~SettingsService() = default;
    // After a successful login: reads the user's settings and phrases from the user folder.
    virtual void LoadUserSettings() {}
    virtual void SaveUserSettings() {}
    // At log-out, after the last save: forgets the user's settings and phrases.
    virtual void UnloadUserSettings() {}
    // The logged-in user's settings and common phrases.
    virtual const config::UserSettings& Settings() { return settings_; }
    virtual config::PhraseStore& Phrases() { return phrases_; }
    // The message manager's page size changed: kept as "CountOfMsgRecordPerPage" and saved.
    virtual void SetCountOfMsgRecordPerPage(int count) {
        settings_.CountOfMsgRecordPerPage = count;
    }
    // Writes the phrases back after a change; false when they could not be written.
    virtual bool SavePhrases() { return false; }
    // The settings dialog, or a null handle when none is open.
    virtual os::HWND SettingsDialog() { return {}; }
    // Runs the settings dialog modally on `page`.
    virtual void RunSettingsDialog(int /*page*/) {}
    virtual void DestroySettingsDialog() {}
    virtual void ClearCurPhones() {}
    virtual std::string CurBindPhone() { return {}; }
    virtual std::string IsSoftPhone() { return {}; }

  private:
    config::UserSettings settings_;
    config::PhraseStore phrases_;
};

}  // namespace core
