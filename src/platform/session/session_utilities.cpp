#include "platform/session/session_utilities.h"

#include "os/services/log.h"
#include "os/sys/file_ops.h"
#include "os/sys/ini_file.h"
#include "os/sys/paths.h"

namespace platform {

SessionUtilities::SessionUtilities(os::Log* log, std::string appPath)
    : log_(log), appPath_(std::move(appPath)) {
    if (!appPath_.empty() && appPath_.back() != '/') appPath_ += '/';
}

std::string SessionUtilities::GetINIString(std::string_view section, std::string_view key,
                                           std::string_view defaultValue,
                                           std::string_view file) const {
    return os::GetProfileString(file, section, key, defaultValue);
}

int SessionUtilities::WriteINIInt(std::string_view section, std::string_view key, int value,
                                  std::string_view file) const {
    return os::WriteProfileInt(file, section, key, value) ? 1 : 0;
}

void SessionUtilities::WriteLog(std::string_view text) const {
    if (log_ != nullptr) log_->WriteLog(text);
}

void SessionUtilities::WriteLog2(int level, std::string_view text) const {
    if (log_ != nullptr) log_->WriteLog2(level, text);
}

bool SessionUtilities::FileExists(std::string_view path) const { return os::FileExists(path); }

std::string SessionUtilities::GetAppPath() const {
    return appPath_.empty() ? os::AppDir() : appPath_;
}

}  // namespace platform
