#include "config/auto_run.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "config/desktop_entry.h"
#include "os/services/log.h"
#include "os/sys/file_ops.h"
#include "os/sys/ini_file.h"
#include "os/sys/paths.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_codec.h"
#include "platform/services/shared_util.h"

namespace config {
namespace {

constexpr const char* kProductConfigFile = "config.ini";
constexpr const char* kProductSection = "Window Setting";
constexpr const char* kProductIdKey = "ProductId";
constexpr const char* kDefaultProductId = "DEMO";

// The running program as a file-system path. When the program file was replaced while it
// ran (an upgrade), the kernel appends " (deleted)"; the new file at the old path is meant.
std::optional<std::string> RunningExecutable() {
    std::error_code error;
    std::filesystem::path link = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || link.empty()) return std::nullopt;
    std::string path = link.string();
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.ends_with(kDeleted)) path.resize(path.size() - kDeleted.size());
    return path;
}

// A ProductId becomes part of a file name: it must name one file inside the folder.
bool IsFileNamePart(const std::string& productId) {
    std::string utf8;
    if (!os::GbkToUtf8(productId, utf8)) return false;
    return utf8.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

}  // namespace

std::optional<std::string> AutostartFolder() {
    std::filesystem::path base;
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    // Relative values are to be ignored, as the base-directory rules say.
    if (configHome && *configHome && std::filesystem::path(configHome).is_absolute()) {
        base = configHome;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home || !std::filesystem::path(home).is_absolute()) return std::nullopt;
        base = std::filesystem::path(home) / ".config";
    }
    std::optional<std::string> folder = os::GbkPathFromNative(base / "autostart");
    if (!folder) return std::nullopt;
    if (folder->empty() || folder->back() != '/') *folder += '/';
    return folder;
}

std::string AutostartEntryName(const ConfigContext& context) {
    std::string productId =
        os::GetProfileString(context.sharedUtil.GetCommanDir() + kProductConfigFile,
                             kProductSection, kProductIdKey, kDefaultProductId);
    return "qorv_" + productId + ".desktop";
}

bool SetAutoRun(AutoStart enable, const ConfigContext& context) {
    os::Log& log = context.log;
    std::optional<std::string> folder = AutostartFolder();
    if (!folder) {
        log.WriteLog("设置开机自动运行失败: 找不到自动启动目录(XDG_CONFIG_HOME/HOME)");
        return false;
    }
    const std::string name = AutostartEntryName(context);
    if (!IsFileNamePart(name)) {
        log.WriteLog(os::Format("设置开机自动运行失败: ProductId 不能用作文件名:%s", name.c_str()));
        return false;
    }
    const std::string entryPath = *folder + name;

    // The old entry goes first: on a file system that ignores case it may be the same file
    // as the new one, which must not be removed right after it was written.
    const std::string oldPath = *folder + kOldAutostartEntry;
    if (os::FileExists(oldPath) && !os::DeleteFile(oldPath)) {
        log.WriteLog(os::Format("删除旧的开机自动运行项失败:%s", oldPath.c_str()));
    }

    if (enable == AutoStart::Disabled) {
        if (os::FileExists(entryPath) && !os::DeleteFile(entryPath)) {
            log.WriteLog(os::Format("取消开机自动运行失败:%s", entryPath.c_str()));
            return false;
        }
        return true;
    }

    std::optional<std::string> executable = RunningExecutable();
    if (!executable) {
        log.WriteLog("设置开机自动运行失败: 无法确定程序路径");
        return false;
    }
    if (!os::CreateDirectories(*folder) ||
        !os::WriteFileAtomically(entryPath, AutostartEntry(*executable))) {
        log.WriteLog(os::Format("设置开机自动运行失败: 无法写入 %s", entryPath.c_str()));
        return false;
    }
    return true;
}

}  // namespace config
