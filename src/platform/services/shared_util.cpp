#include "platform/services/shared_util.h"

#include "os/sys/file_ops.h"
#include "os/sys/ini_file.h"
#include "os/sys/paths.h"
#include "os/text/gbk_codec.h"

namespace platform {

namespace {

constexpr const char* kSection = "LoginServer";

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    return dir;
}

}  // namespace

SharedUtil::SharedUtil(std::string commonDir) : commonDir_(WithSlash(std::move(commonDir))) {
    LoadPreConfig();
}

std::unique_ptr<SharedUtil> SharedUtil::FromEnvironment() {
    return std::make_unique<SharedUtil>(os::SharedClientDir());
}

std::string SharedUtil::SelectedConfigPath() const {
    return commonDir_ + servers_.SelectedConfigFile();
}

void SharedUtil::LoadPreConfig() {
    os::IniFile ini = os::IniFile::Load(commonDir_ + kPreConfigFile);
    servers_.Clear();
    int count = ini.GetInt(kSection, "Count", 0);
    for (int i = 1; i <= count; ++i) {
        std::string n = std::to_string(i);
        // An entry that does not fit is left out; the rest keep their order.
        servers_.Add(ini.GetString(kSection, "Name" + n, ""),
                     ini.GetString(kSection, "File" + n, ""));
    }
    if (servers_.nLoginServerCount() == 0) servers_.Add("", kDefaultConfigFile);
    // A selection outside the table falls back to the first server.
    if (!servers_.SetServerSel(ini.GetInt(kSection, "Selected", 1))) servers_.SetServerSel(1);
}

bool SharedUtil::WritePreConfig() const {
    std::string path = commonDir_ + kPreConfigFile;
    if (!os::CreateDirectories(commonDir_)) return false;
    os::IniFile ini = os::IniFile::Load(path);
    if (!ini.readable()) return false;
    // Entries beyond the new count would be read back by nobody, but a stale list confuses
    // whoever reads the file by hand: rewrite the section whole.
    ini.DeleteSection(kSection);
    int count = servers_.nLoginServerCount();
    bool ok = ini.SetInt(kSection, "Count", count) &&
              ini.SetInt(kSection, "Selected", servers_.nServerSel());
    for (int i = 1; ok && i <= count; ++i) {
        std::string n = std::to_string(i);
        ok = ini.Set(kSection, "Name" + n, servers_.DisplayNameOf(i).value_or("")) &&
             ini.Set(kSection, "File" + n, servers_.ConfigFileOf(i).value_or(""));
    }
    return ok && ini.Save();
}

bool SharedUtil::ConvertGBKToUtf8(std::string_view gbk, std::string& out) {
    return os::GbkToUtf8(gbk, out);
}

bool SharedUtil::ConvertUtf8ToGBK(std::string_view utf8, std::string& out) {
    return os::Utf8ToGbk(utf8, out);
}

std::string SharedUtil::GetINIString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, std::string_view file) {
    return os::GetProfileString(file, section, key, defaultValue);
}

}  // namespace platform
