#include "config/config_loader.h"

#include "config/config_catalogue.h"
#include "os/services/log.h"
#include "os/sys/ini_file.h"
#include "os/text/cstring_ops.h"
#include "platform/services/shared_util.h"

namespace config {
namespace {

// A count beyond any real list is a typing error in the file: leave its list out rather than
// allocate and look up keys without end.
bool PlausibleCount(int count, const char* section, const char* key, os::Log& log) {
    if (count <= kMaxCountedEntries) return true;
    log.WriteLog(os::Format("配置项 [%s] %s=%d 超过上限 %d, 不读取其列表", section, key, count,
                            kMaxCountedEntries));
    return false;
}

void LoadToolBarPositions(const os::IniFile& ini, ToolBarSetting& toolBar, os::Log& log) {
    toolBar.positions.clear();
    if (toolBar.Count < 1 || !PlausibleCount(toolBar.Count, kToolBarSection, "Count", log)) {
        return;
    }
    // Entry 0 is not used: buttons are numbered from 1.
    toolBar.positions.resize(static_cast<std::size_t>(toolBar.Count) + 1);
    for (int i = 1; i <= toolBar.Count; ++i) {
        toolBar.positions[i].x =
            ini.GetInt(kToolBarSection, os::Format(kToolBarXKeyFormat, i), kToolBarPositionDefault);
        toolBar.positions[i].y =
            ini.GetInt(kToolBarSection, os::Format(kToolBarYKeyFormat, i), kToolBarPositionDefault);
    }
}

void LoadLocalNetIPs(const os::IniFile& ini, LocalNetIPSetting& localNet, os::Log& log) {
    localNet.IP.clear();
    if (localNet.count < 1 || !PlausibleCount(localNet.count, kLocalNetIPSection, "count", log)) {
        return;
    }
    localNet.IP.reserve(static_cast<std::size_t>(localNet.count));
    for (int i = 1; i <= localNet.count; ++i) {
        localNet.IP.push_back(
            ini.GetString(kLocalNetIPSection, os::Format(kLocalNetIPKeyFormat, i), ""));
    }
}

}  // namespace

ConfigLoader::ConfigLoader(ConfigContext context) : context_(context) {}

std::string ConfigLoader::ConfigFile() const {
    return context_.sharedUtil.GetCommanDir() +
           context_.sharedUtil.LoginServers().SelectedConfigFile();
}

int ConfigLoader::LoadConfig(ClientConfig& config) const {
    const std::string path = ConfigFile();
    // One read of the file; every key is then looked up as GetPrivateProfileInt/String would.
    const os::IniFile ini = os::IniFile::Load(path, &context_.log);
    if (!ini.readable()) {
        context_.log.WriteLog(os::Format("配置文件无法读取, 使用默认配置:%s", path.c_str()));
    }
    for (const CatalogueKey& entry : Catalogue()) {
        if (entry.type == KeyType::Int) {
            entry.intField.get(config) = ini.GetInt(entry.section, entry.key, entry.intDefault);
        } else {
            entry.stringField.get(config) =
                ini.GetString(entry.section, entry.key, entry.stringDefault);
        }
    }
    LoadToolBarPositions(ini, config.ToolBar, context_.log);
    LoadLocalNetIPs(ini, config.LocalNetIP, context_.log);
    config.WelcomeSound = kWelcomeSoundFile;
    config.MessageSound = kMessageSoundFile;
    return 1;
}

bool ConfigLoader::SaveConfig(const ClientConfig& config) const {
    const std::string path = ConfigFile();
    // All keys go into the file in one atomic replace: a crash never leaves half the settings
    // saved, and the file is flushed to the disk once rather than once per key.
    os::IniFile ini = os::IniFile::Load(path);
    bool allSet = true;
    for (const CatalogueKey* entry : SavedKeys()) {
        bool set = entry->type == KeyType::Int
                       ? ini.SetInt(entry->section, entry->key, entry->intField.read(config))
                       : ini.Set(entry->section, entry->key, entry->stringField.read(config));
        if (!set) {
            context_.log.WriteLog(os::Format("保存配置项失败:[%s] %s, 文件:%s", entry->section,
                                             entry->key, path.c_str()));
            allSet = false;
        }
    }
    if (!ini.Save()) {
        context_.log.WriteLog(os::Format("保存配置文件失败:%s", path.c_str()));
        return false;
    }
    return allSet;
}

}  // namespace config
