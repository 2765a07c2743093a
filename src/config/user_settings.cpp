#include "config/user_settings.h"

#include "config/config_catalogue.h"
#include "os/services/log.h"
#include "os/sys/ini_file.h"
#include "os/text/cstring_ops.h"

namespace config {
namespace {

struct StringKey {
    const char* key;
    std::string UserSettings::*field;
};
struct IntKey {
    const char* key;
    int UserSettings::*field;
};

// Every key of section Common, in the file's order.
constexpr StringKey kStringKeys[] = {
    {"usersign", &UserSettings::usersign},
    {"MailName", &UserSettings::MailName},
    {"MailPass", &UserSettings::MailPass},
    {"MessageFont", &UserSettings::MessageFont},
    {"FileTransferFolder", &UserSettings::FileTransferFolder},
    {"VcardPictureFolder", &UserSettings::VcardPictureFolder},
    {"CurBindPhone", &UserSettings::CurBindPhone},
    {"IsSoftPhone", &UserSettings::IsSoftPhone},
    {"CurPhone1", &UserSettings::CurPhone1},
    {"CurPhone2", &UserSettings::CurPhone2},
    {"CurPhone3", &UserSettings::CurPhone3},
    {"MSMsign", &UserSettings::MSMsign},
    {"MsnUserName", &UserSettings::MsnUserName},
    {"MsnPassword", &UserSettings::MsnPassword},
    {"RecentlyTabTitle", &UserSettings::RecentlyTabTitle},
};
constexpr IntKey kIntKeys[] = {
    {"RememberMsnPass", &UserSettings::RememberMsnPass},
    {"AutoLogonMsn", &UserSettings::AutoLogonMsn},
    {"RecentlyTabIndex", &UserSettings::RecentlyTabIndex},
    {"NomarchMailInfoInterval", &UserSettings::NomarchMailInfoInterval},
    {"CountOfMsgRecordPerPage", &UserSettings::CountOfMsgRecordPerPage},
};

constexpr const char* kHiddenTabCountKey = "Count";
constexpr const char* kHiddenTabKeyFormat = "Tab%d";

std::string FilePath(std::string_view userFolder) {
    return std::string(userFolder) + kUserSettingsFile;
}

}  // namespace

UserSettings DefaultUserSettings(std::string_view userFolder) {
    UserSettings settings;
    settings.FileTransferFolder = std::string(userFolder) + kFileTransferSubfolder;
    settings.VcardPictureFolder = std::string(userFolder) + kVcardPictureSubfolder;
    return settings;
}

bool IsUsableMessageFont(std::string_view header) {
    return header.empty() || header.starts_with(kFontHeaderStart);
}

UserSettings LoadUserSettings(std::string_view userFolder, os::Log& log) {
    return ReadUserSettings(os::IniFile::Load(FilePath(userFolder)), userFolder, log);
}

UserSettings ReadUserSettings(const os::IniFile& ini, std::string_view userFolder, os::Log& log) {
    const UserSettings defaults = DefaultUserSettings(userFolder);
    UserSettings settings;
    for (const StringKey& entry : kStringKeys) {
        settings.*entry.field =
            ini.GetString(kUserSettingsSection, entry.key, defaults.*entry.field);
    }
    for (const IntKey& entry : kIntKeys) {
        settings.*entry.field = ini.GetInt(kUserSettingsSection, entry.key, defaults.*entry.field);
    }
    if (!IsUsableMessageFont(settings.MessageFont)) {
        log.WriteLog("MessageFont 不是字体格式, 已忽略:" + settings.MessageFont);
        settings.MessageFont.clear();
    }
    const int hidden = ini.GetInt(kHiddenTabsSection, kHiddenTabCountKey, 0);
    // A count beyond any real tab bar is a typing error: read no list rather than look up
    // keys without end.
    if (hidden > kMaxCountedEntries) {
        log.WriteLog(os::Format("[%s] %s=%d 超过上限 %d, 不读取其列表", kHiddenTabsSection,
                                kHiddenTabCountKey, hidden, kMaxCountedEntries));
    } else {
        for (int i = 1; i <= hidden; ++i) {
            settings.hiddenTabs.push_back(
                ini.GetString(kHiddenTabsSection, os::Format(kHiddenTabKeyFormat, i), ""));
        }
    }
    return settings;
}

bool SaveUserSettings(std::string_view userFolder, const UserSettings& settings, os::Log& log) {
    const std::string path = FilePath(userFolder);
    os::IniFile ini = os::IniFile::Load(path);
    bool allSet = true;
    const auto refused = [&](const char* section, const std::string& key) {
        log.WriteLog(
            os::Format("保存用户设置失败:[%s] %s, 文件:%s", section, key.c_str(), path.c_str()));
        allSet = false;
    };
    for (const StringKey& entry : kStringKeys) {
        if (!ini.Set(kUserSettingsSection, entry.key, settings.*entry.field)) {
            refused(kUserSettingsSection, entry.key);
        }
    }
    for (const IntKey& entry : kIntKeys) {
        if (!ini.SetInt(kUserSettingsSection, entry.key, settings.*entry.field)) {
            refused(kUserSettingsSection, entry.key);
        }
    }
    // The section is written whole, so a list that got shorter leaves no old entries behind.
    ini.DeleteSection(kHiddenTabsSection);
    ini.SetInt(kHiddenTabsSection, kHiddenTabCountKey,
               static_cast<int>(settings.hiddenTabs.size()));
    for (std::size_t i = 0; i < settings.hiddenTabs.size(); ++i) {
        const std::string key = os::Format(kHiddenTabKeyFormat, static_cast<int>(i) + 1);
        if (!ini.Set(kHiddenTabsSection, key, settings.hiddenTabs[i])) {
            refused(kHiddenTabsSection, key);
        }
    }
    if (!ini.Save()) {
        log.WriteLog("保存用户设置文件失败:" + path);
        return false;
    }
    return allSet;
}

}  // namespace config
