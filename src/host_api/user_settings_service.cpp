#include "host_api/user_settings_service.h"

#include "core/client_context.h"
#include "os/services/log.h"

UserSettingsService::UserSettingsService(core::ClientContext& context) : context_(context) {}

void UserSettingsService::LoadUserSettings() {
    userFolder_ = context_.CurrentUserFolder();
    if (!userFolder_) {
        context_.log.WriteLog("没有用户目录, 用户设置使用默认值");
        settings_ = config::DefaultUserSettings("");
        phrases_.ResetToDefaults();
        return;
    }
    settings_ = config::LoadUserSettings(*userFolder_, context_.log);
    // The user's own file, written by this client: what it skipped goes to the log, not to a
    // message box in the middle of the login.
    const config::PhraseLoadReport report =
        phrases_.Load(*userFolder_ + config::kPhraseFile, false);
    for (const std::string& message : config::PhraseLoadMessages(report)) {
        context_.log.WriteLog(message);
    }
}

void UserSettingsService::SaveUserSettings() {
    if (!userFolder_) return;
    config::SaveUserSettings(*userFolder_, settings_, context_.log);
}

void UserSettingsService::SetCountOfMsgRecordPerPage(int count) {
    if (settings_.CountOfMsgRecordPerPage == count) return;
    settings_.CountOfMsgRecordPerPage = count;
    SaveUserSettings();
}

void UserSettingsService::UnloadUserSettings() {
    userFolder_.reset();
    settings_ = config::DefaultUserSettings("");
    phrases_.ResetToDefaults();
}

bool UserSettingsService::SavePhrases() {
    if (!userFolder_) return false;
    const std::string path = *userFolder_ + config::kPhraseFile;
    if (phrases_.Save(path)) return true;
    context_.log.WriteLog("保存常用语失败:" + path);
    return false;
}

void UserSettingsService::ClearCurPhones() {
    settings_.CurPhone1.clear();
    settings_.CurPhone2.clear();
    settings_.CurPhone3.clear();
    SaveUserSettings();
}

void UserSettingsService::ChatSettings::SetMessageFont(const std::string& header) {
    if (!config::IsUsableMessageFont(header)) return;
    owner_.settings_.MessageFont = header;
    owner_.SaveUserSettings();
}
