#pragma once
// The logged-in user's own settings: "user.ini" in the user folder. Loaded after each login,
// kept until log-out, written back (all keys, one atomic replace of the file) when the user
// changes one of them. Fields carry the key names; a default-constructed UserSettings holds
// the defaults of a missing file except the two folders, which depend on the user folder.

#include <string>
#include <string_view>
#include <vector>

namespace os {
class IniFile;
class Log;
}  // namespace os

namespace config {

inline constexpr const char* kUserSettingsFile = "user.ini";
inline constexpr const char* kUserSettingsSection = "Common";
inline constexpr const char* kHiddenTabsSection = "Hide Tabs";
// The folder keys' defaults: these names inside the user folder.
inline constexpr const char* kFileTransferSubfolder = "File";
inline constexpr const char* kVcardPictureSubfolder = "VCard";
// What every chat font header starts with; any other MessageFont is discarded.
inline constexpr std::string_view kFontHeaderStart = "FONT(";

struct UserSettings {
    std::string usersign;
    std::string MailName;
    std::string MailPass;
    // The chat font of every chat window, a font header; empty: the input box's own format.
    std::string MessageFont;
    std::string FileTransferFolder;
    std::string VcardPictureFolder;
    // The softphone integration's values, stored as read.
    std::string CurBindPhone;
    std::string IsSoftPhone;
    std::string CurPhone1;
    std::string CurPhone2;
    std::string CurPhone3;
    std::string MSMsign;
    std::string MsnUserName;
    std::string MsnPassword;
    int RememberMsnPass = 0;
    int AutoLogonMsn = 0;
    int RecentlyTabIndex = 0;
    std::string RecentlyTabTitle;
    int NomarchMailInfoInterval = 10;
    int CountOfMsgRecordPerPage = 30;
    // Section "Hide Tabs": the titles of the main-window tabs the user has hidden.
    std::vector<std::string> hiddenTabs;
};

// The settings a user without a "user.ini" has, for the user folder `userFolder` (ending in
// '/').
UserSettings DefaultUserSettings(std::string_view userFolder);

// Whether `header` may be kept as MessageFont: empty, or starting with "FONT(".
bool IsUsableMessageFont(std::string_view header);

// Reads "user.ini" of `userFolder`; a missing file or key gives the default. A MessageFont
// that is not a font header is emptied (and logged).
UserSettings LoadUserSettings(std::string_view userFolder, os::Log& log);
// The same from a file already read.
UserSettings ReadUserSettings(const os::IniFile& ini, std::string_view userFolder, os::Log& log);

// Writes every key back into "user.ini" of `userFolder` (other lines of the file stay), in
// one atomic replace. False, with a log line, when a value cannot be stored (a line break in
// it: it is left out, the others are written) or the file cannot be written (nothing is).
bool SaveUserSettings(std::string_view userFolder, const UserSettings& settings, os::Log& log);

}  // namespace config
