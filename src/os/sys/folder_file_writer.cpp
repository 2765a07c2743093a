#include "os/sys/folder_file_writer.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "os/sys/paths.h"

namespace os {
namespace {

// The leaf in the file system's form, when it is one single component.
std::optional<std::string> NativeLeaf(std::string_view leaf) {
    const std::optional<std::filesystem::path> native = NativePath(leaf);
    if (!native) return std::nullopt;
    std::string text = native->string();
    if (text.empty() || text == "." || text == ".." || text.find('/') != std::string::npos) {
        return std::nullopt;
    }
    return text;
}

int OpenFolder(std::string_view folder) {
    const std::optional<std::filesystem::path> native = NativePath(folder);
    if (!native || native->empty()) return -1;
    return ::open(native->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

std::string TemporaryName() {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::uint64_t value = random();
    std::string name = ".qorv-";
    for (int i = 0; i < 16; ++i, value >>= 4) name += kHex[value & 0xF];
    return name + ".part";
}

}  // namespace

std::unique_ptr<FolderFileWriter> FolderFileWriter::Begin(std::string_view folder,
                                                          std::string_view leaf) {
    const std::optional<std::string> leafNative = NativeLeaf(leaf);
    if (!leafNative) return nullptr;
    const int folderFd = OpenFolder(folder);
    if (folderFd < 0) return nullptr;
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string tempName = TemporaryName();
        const int fileFd = ::openat(folderFd, tempName.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fileFd >= 0) {
            std::string finalPath(folder);
            if (!finalPath.empty() && finalPath.back() != '/') finalPath += '/';
            finalPath += leaf;
            return std::unique_ptr<FolderFileWriter>(new FolderFileWriter(
                folderFd, fileFd, std::move(tempName), *leafNative, std::move(finalPath)));
        }
        if (errno != EEXIST) break;
    }
    ::close(folderFd);
    return nullptr;
}

FolderFileWriter::FolderFileWriter(int folderFd, int fileFd, std::string tempName,
                                   std::string leafNative, std::string finalPath)
    : folderFd_(folderFd),
      fileFd_(fileFd),
      tempName_(std::move(tempName)),
      leafNative_(std::move(leafNative)),
      finalPath_(std::move(finalPath)) {}

FolderFileWriter::~FolderFileWriter() {
    Abandon();
    ::close(folderFd_);
}

bool FolderFileWriter::Write(std::string_view bytes) {
    if (done_ || failed_) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fileFd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        written_ += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool FolderFileWriter::Commit(ExistingEntry existing) {
    if (done_) return false;
    const bool flushed = !failed_ && ::fsync(fileFd_) == 0;
    ::close(fileFd_);
    fileFd_ = -1;
    int renamed = -1;
    if (flushed) {
        renamed = existing == ExistingEntry::kReplace
                      ? ::renameat(folderFd_, tempName_.c_str(), folderFd_, leafNative_.c_str())
                      : ::renameat2(folderFd_, tempName_.c_str(), folderFd_, leafNative_.c_str(),
                                    RENAME_NOREPLACE);
    }
    if (renamed != 0) {
        ::unlinkat(folderFd_, tempName_.c_str(), 0);
        done_ = true;
        return false;
    }
    ::fsync(folderFd_);
    done_ = true;
    return true;
}

void FolderFileWriter::Abandon() {
    if (done_) return;
    if (fileFd_ >= 0) ::close(fileFd_);
    fileFd_ = -1;
    ::unlinkat(folderFd_, tempName_.c_str(), 0);
    done_ = true;
}

LeafState InspectLeaf(std::string_view folder, std::string_view leaf) {
    const std::optional<std::string> leafNative = NativeLeaf(leaf);
    if (!leafNative) return LeafState::kNotReplaceable;
    const int folderFd = OpenFolder(folder);
    if (folderFd < 0) return LeafState::kNotReplaceable;
    struct stat info {};
    LeafState state = LeafState::kNotReplaceable;
    if (::fstatat(folderFd, leafNative->c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        state = errno == ENOENT ? LeafState::kFree : LeafState::kNotReplaceable;
    } else if (S_ISREG(info.st_mode) && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
               ::faccessat(folderFd, leafNative->c_str(), W_OK, AT_SYMLINK_NOFOLLOW) == 0) {
        state = LeafState::kReplaceableFile;
    }
    ::close(folderFd);
    return state;
}

}  // namespace os
