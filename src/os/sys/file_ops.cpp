#include "os/sys/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "os/sys/paths.h"

namespace os {
namespace {

namespace fs = std::filesystem;

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the kernel accepted the close (a late write error shows
    // up here on some file systems).
    bool Close() {
        if (fd_ < 0) return true;
        int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool CopyContent(int from, int to) {
    char buffer[64 * 1024];
    while (true) {
        ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        if (!WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(n)))) return false;
    }
}

// A new, empty file beside `target` with a name no one else uses; mode 0666 less the umask.
FileDescriptor CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 random{std::random_device{}()};
    fs::path folder = target.parent_path();
    // A short prefix of the name keeps the temporary name within the file system's limit.
    std::string stem = target.filename().native().substr(0, 100);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, ".tmp-%d-%u-%08x", static_cast<int>(::getpid()),
                      counter.fetch_add(1), static_cast<unsigned>(random()));
        temporary = folder / ("." + stem + suffix);
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return FileDescriptor(fd);
        if (errno != EEXIST) break;
    }
    return FileDescriptor();
}

void SyncFolder(const fs::path& file) {
    fs::path folder = file.parent_path();
    FileDescriptor fd(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) ::fsync(fd.get());
}

// Renames `from` over `to`; with kFail only when `to` does not exist (checked atomically
// where the file system can).
bool RenameInto(const fs::path& from, const fs::path& to, ExistingTarget ifExists) {
    if (ifExists == ExistingTarget::kReplace) return ::rename(from.c_str(), to.c_str()) == 0;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// Writes what `fill` puts into a temporary file beside `target`, flushes it and renames it
// into place. The temporary file is removed on any failure.
template <typename Fill>
bool ReplaceVia(const fs::path& target, ExistingTarget ifExists, mode_t mode, bool keepMode,
                Fill fill) {
    fs::path temporary;
    FileDescriptor fd = CreateTemporaryBeside(target, temporary);
    if (!fd.valid()) return false;
    bool ok = (!keepMode || ::fchmod(fd.get(), mode & 07777) == 0) && fill(fd.get()) &&
              ::fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    ok = ok && RenameInto(temporary, target, ifExists);
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(target);
    return true;
}

bool IsDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

}  // namespace

bool CreateDirectories(std::string_view path) {
    auto native = NativePath(path);
    if (!native || native->empty()) return false;
    std::error_code ec;
    fs::create_directories(*native, ec);
    return IsDirectory(*native);
}

bool FileExists(std::string_view path) {
    auto native = NativePath(path);
    std::error_code ec;
    return native && fs::exists(*native, ec) && !fs::is_directory(*native, ec);
}

bool DirectoryExists(std::string_view path) {
    auto native = NativePath(path);
    return native && IsDirectory(*native);
}

std::optional<std::uint64_t> FileSize(std::string_view path) {
    auto native = NativePath(path);
    if (!native) return std::nullopt;
    std::error_code ec;
    if (!fs::is_regular_file(*native, ec)) return std::nullopt;
    std::uintmax_t size = fs::file_size(*native, ec);
    if (ec) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

bool CopyFile(std::string_view from, std::string_view to, ExistingTarget ifExists) {
    auto source = NativePath(from);
    auto target = NativePath(to);
    if (!source || !target) return false;
    FileDescriptor in(::open(source->c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!in.valid() || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (ifExists == ExistingTarget::kFail && fs::exists(fs::symlink_status(*target))) return false;
    return ReplaceVia(*target, ifExists, st.st_mode, true,
                      [&](int out) { return CopyContent(in.get(), out); });
}

bool MoveFile(std::string_view from, std::string_view to, ExistingTarget ifExists) {
    auto source = NativePath(from);
    auto target = NativePath(to);
    if (!source || !target) return false;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(*source, ec))) return false;
    if (RenameInto(*source, *target, ifExists)) return true;
    if (errno != EXDEV || IsDirectory(*source)) return false;
    // Another file system: copy, then delete the source. If the delete fails the copy is
    // taken back, so the file stays in one place only.
    if (!CopyFile(from, to, ifExists)) return false;
    if (::unlink(source->c_str()) == 0) return true;
    ::unlink(target->c_str());
    return false;
}

bool DeleteFile(std::string_view path) {
    auto native = NativePath(path);
    if (!native) return false;
    struct stat st {};
    if (::lstat(native->c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(native->c_str()) == 0;
}

const char* Describe(ReadResult result) {
    switch (result) {
        case ReadResult::kRead:
            return "read";
        case ReadResult::kCannotOpen:
            return "cannot be opened";
        case ReadResult::kNotARegularFile:
            return "not a regular file";
        case ReadResult::kTooLarge:
            return "too large";
        case ReadResult::kReadError:
            return "read error";
    }
    return "read error";
}

namespace {

const char* KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a file";
}

// Reads without telling anyone; `detail` says more about a refusal for the log line.
ReadResult ReadQuietly(std::string_view path, std::string& bytes, std::size_t maxBytes,
                       std::string& detail) {
    bytes.clear();
    auto native = NativePath(path);
    if (!native) return ReadResult::kCannotOpen;
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the fstat below refuses it.
    FileDescriptor fd(::open(native->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0) {
        if (errno != ENOENT) detail = std::strerror(errno);  // there, but not for us
        return ReadResult::kCannotOpen;
    }
    if (!S_ISREG(st.st_mode)) {
        detail = KindOf(st.st_mode);
        return ReadResult::kNotARegularFile;
    }
    const std::string limit = "the limit is " + std::to_string(maxBytes) + " bytes";
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        detail = std::to_string(st.st_size) + " bytes, " + limit;
        return ReadResult::kTooLarge;
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[64 * 1024];
    while (true) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            detail = std::strerror(errno);
            return ReadResult::kReadError;
        }
        if (n == 0) break;
        // The file may grow while it is read.
        if (content.size() + static_cast<std::size_t>(n) > maxBytes) {
            detail = "it grew while read, " + limit;
            return ReadResult::kTooLarge;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    bytes = std::move(content);
    return ReadResult::kRead;
}

}  // namespace

ReadResult ReadFileChecked(std::string_view path, std::string& bytes, std::size_t maxBytes,
                           LogSink* log) {
    std::string detail;
    const ReadResult result = ReadQuietly(path, bytes, maxBytes, detail);
    // A missing file is no news: callers treat it as empty.
    if (log != nullptr && result != ReadResult::kRead && !detail.empty()) {
        log->WriteLog2(1, "File '" + std::string(path) + "' not read: " + Describe(result) + " (" +
                              detail + ")");
    }
    return result;
}

bool ReadFile(std::string_view path, std::string& bytes, std::size_t maxBytes, LogSink* log) {
    return ReadFileChecked(path, bytes, maxBytes, log) == ReadResult::kRead;
}

bool WriteFileAtomically(std::string_view path, std::string_view bytes) {
    auto native = NativePath(path);
    if (!native || native->filename().empty()) return false;
    fs::path target = *native;
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (ec) return false;
        target = resolved;
    }
    struct stat st {};
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return false;
    return ReplaceVia(target, ExistingTarget::kReplace, st.st_mode, exists,
                      [&](int out) { return WriteAll(out, bytes); });
}

std::optional<std::uint64_t> FreeSpace(std::string_view folder) {
    auto native = NativePath(folder);
    if (!native) return std::nullopt;
    std::error_code ec;
    fs::space_info info = fs::space(*native, ec);
    if (ec) return std::nullopt;
    return static_cast<std::uint64_t>(info.available);
}

std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view folder) {
    auto native = NativePath(folder);
    if (!native) return std::nullopt;
    std::error_code ec;
    fs::directory_iterator it(*native, ec);
    if (ec) return std::nullopt;
    std::vector<DirectoryEntry> entries;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        std::optional<std::string> name = GbkPathFromNative(it->path().filename());
        if (!name) continue;
        std::error_code typeError;
        entries.push_back({std::move(*name), it->is_directory(typeError)});
    }
    if (ec) return std::nullopt;
    std::sort(entries.begin(), entries.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return entries;
}

}  // namespace os
