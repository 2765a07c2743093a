#include "update/update_paths.h"

#include <sys/stat.h>

#include "os/sys/paths.h"
#include "os/sys/safe_leaf_name.h"

namespace update {
namespace {

bool IsSafeStep(std::string_view step) {
    if (step.empty() || step == "." || step == "..") return false;
    for (const char c : step) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == ':') return false;
    }
    return true;
}

// `path` split at '/', each step safe; false for an absolute path.
bool AllStepsSafe(std::string_view path) {
    if (path.empty() || path.front() == '/') return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('/', start);
        if (!IsSafeStep(path.substr(start, end - start))) return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

// '\' as '/', except where it is the second byte of a GBK character.
std::string WithSlashes(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto byte = static_cast<unsigned char>(out[i]);
        if (byte >= 0x81 && byte <= 0xFE && i + 1 < out.size()) {
            ++i;
            continue;
        }
        if (out[i] == '\\') out[i] = '/';
    }
    return out;
}

enum class Entry { kMissing, kFolder, kFile, kOther };

Entry Inspect(const std::string& gbkPath) {
    const auto native = os::NativePath(gbkPath);
    if (!native) return Entry::kOther;
    struct stat info {};
    if (::lstat(native->c_str(), &info) != 0)
        return errno == ENOENT ? Entry::kMissing : Entry::kOther;
    if (S_ISDIR(info.st_mode)) return Entry::kFolder;
    if (S_ISREG(info.st_mode)) return Entry::kFile;
    return Entry::kOther;
}

}  // namespace

std::optional<std::string> SafeRelativePath(std::string_view localName) {
    std::string path = WithSlashes(localName);
    if (!AllStepsSafe(path)) return std::nullopt;
    return path;
}

std::optional<std::string> DownloadName(std::string_view remotePath) {
    const std::string path = WithSlashes(remotePath);
    if (!AllStepsSafe(path)) return std::nullopt;
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto leaf = os::SafeLeafName(name);
    if (!leaf || *leaf != name) return std::nullopt;
    return name;
}

bool PathStaysInside(const std::string& base, const std::string& relative, bool create) {
    std::string path = base;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = relative.find('/', start);
        path += relative.substr(start, end - start);
        const Entry entry = Inspect(path);
        if (end == std::string::npos) return entry == Entry::kMissing || entry == Entry::kFile;
        if (entry == Entry::kMissing) {
            if (!create) return true;
            const auto native = os::NativePath(path);
            if (!native || ::mkdir(native->c_str(), 0755) != 0) return false;
        } else if (entry != Entry::kFolder) {
            return false;
        }
        path += '/';
        start = end + 1;
    }
}

}  // namespace update
