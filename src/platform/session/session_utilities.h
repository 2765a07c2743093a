#pragma once
// The utility calls every engine offers the client — INI access, the log, file tests and the
// application folder — carried out by the os layer. Engines hold one and forward to it.

#include <string>
#include <string_view>

namespace os {
class Log;
}

namespace platform {

class SessionUtilities {
  public:
    // `log` may be null (lines are dropped); an empty `appPath` means os::AppDir().
    explicit SessionUtilities(os::Log* log = nullptr, std::string appPath = {});

    std::string GetINIString(std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::string_view file) const;
    // 1 when written, 0 when the file could not be written.
    int WriteINIInt(std::string_view section, std::string_view key, int value,
                    std::string_view file) const;
    void WriteLog(std::string_view text) const;
    void WriteLog2(int level, std::string_view text) const;
    bool FileExists(std::string_view path) const;
    // Ends in '/'.
    std::string GetAppPath() const;

  private:
    os::Log* log_;
    std::string appPath_;
};

}  // namespace platform
