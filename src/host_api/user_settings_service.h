#pragma once
// The logged-in user's settings ("user.ini") and common phrases ("CUWords.dat"), behind the
// user-settings door and the chat windows' chat-settings door. Loaded after each login from
// that user's folder, saved back there when the user changes something, forgotten at log-out
// (a later save without a user writes nothing). All calls run on the UI thread.

#include <optional>
#include <string>

#include "chat/chat_doors.h"
#include "config/phrase_store.h"
#include "config/user_settings.h"
#include "core/doors/settings_service.h"

namespace core {
class ClientContext;
}

class UserSettingsService final : public core::SettingsService {
  public:
    explicit UserSettingsService(core::ClientContext& context);

    void LoadUserSettings() override;
    void SaveUserSettings() override;
    void UnloadUserSettings() override;
    const config::UserSettings& Settings() override { return settings_; }
    config::PhraseStore& Phrases() override { return phrases_; }
    void SetCountOfMsgRecordPerPage(int count) override;
    bool SavePhrases() override;
    void ClearCurPhones() override;
    std::string CurBindPhone() override { return settings_.CurBindPhone; }
    std::string IsSoftPhone() override { return settings_.IsSoftPhone; }

    // What the chat windows' chat-settings door leads to.
    chat::UserChatSettings& chatSettings() { return chatSettings_; }
    // The folder the settings were loaded from; nothing while nobody is logged in.
    const std::optional<std::string>& userFolder() const { return userFolder_; }

  private:
    // The chat font and phrases of the logged-in user, for the chat windows.
    class ChatSettings final : public chat::UserChatSettings {
      public:
        explicit ChatSettings(UserSettingsService& owner) : owner_(owner) {}
        std::string MessageFont() override { return owner_.settings_.MessageFont; }
        void SetMessageFont(const std::string& header) override;
        std::vector<std::string> CommonPhrases() override { return owner_.phrases_.Phrases(); }

      private:
        UserSettingsService& owner_;
    };

    core::ClientContext& context_;
    std::optional<std::string> userFolder_;
    config::UserSettings settings_;
    config::PhraseStore phrases_;
    ChatSettings chatSettings_{*this};
};
