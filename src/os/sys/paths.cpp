#include "os/sys/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

#include "os/text/gbk_codec.h"

namespace os {
namespace {

namespace fs = std::filesystem;

// `native` made absolute, as GBK with one trailing '/'; empty when it has no GBK form.
std::optional<std::string> AsFolder(const fs::path& native) {
    std::error_code ec;
    fs::path absolute = fs::absolute(native, ec);
    if (ec) return std::nullopt;
    std::optional<std::string> gbk = GbkPathFromNative(absolute);
    if (!gbk) return std::nullopt;
    if (gbk->empty() || gbk->back() != '/') gbk->push_back('/');
    return gbk;
}

std::optional<std::string> FolderFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return AsFolder(value);
}

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

std::string CurrentDirectory() {
    std::error_code ec;
    std::optional<std::string> current = AsFolder(fs::current_path(ec));
    return current && !ec ? *current : "./";
}

}  // namespace

std::optional<fs::path> NativePath(std::string_view gbkPath) {
    if (gbkPath.find('\0') != std::string_view::npos) return std::nullopt;
    std::string utf8;
    if (!GbkToUtf8(gbkPath, utf8)) return std::nullopt;
    for (char& c : utf8) {
        if (c == '\\') c = '/';
    }
    return fs::path(std::move(utf8));
}

std::optional<std::string> GbkPathFromNative(const fs::path& native) {
    std::string gbk;
    if (!Utf8ToGbk(native.native(), gbk)) return std::nullopt;
    return gbk;
}

std::string SharedClientDir() {
    if (auto fromEnvironment = FolderFromEnvironment("QORVDESK_HOME")) return *fromEnvironment;
    std::string home = HomeDirectory();
    if (!home.empty()) {
        if (auto folder = AsFolder(fs::path(home) / ".local/share/qorvdesk")) return *folder;
    }
    return CurrentDirectory();
}

std::string AppDir() {
    if (auto fromEnvironment = FolderFromEnvironment("QORVDESK_APPDIR")) return *fromEnvironment;
#ifdef QORVDESK_SHARE_DIR
    if (auto installed = AsFolder(QORVDESK_SHARE_DIR)) return *installed;
#endif
    std::error_code ec;
    fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        fs::path share = program.parent_path().parent_path() / "share" / "qorvdesk";
        if (fs::is_directory(share, ec)) {
            if (auto folder = AsFolder(share)) return *folder;
        }
    }
    return CurrentDirectory();
}

}  // namespace os
