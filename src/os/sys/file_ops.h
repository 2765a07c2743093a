#pragma once
// Files and folders by GBK path (converted through NativePath). Every function reports
// failure in its result; none throws.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/sys/log_sink.h"

namespace os {

// What a copy or move does when the target already exists.
enum class ExistingTarget { kFail, kReplace };

// Creates the folder and any missing parents; true when the folder exists afterwards.
bool CreateDirectories(std::string_view path);

// True for an existing file (anything but a folder); links are followed.
bool FileExists(std::string_view path);
bool DirectoryExists(std::string_view path);

// Size in bytes of an existing regular file.
std::optional<std::uint64_t> FileSize(std::string_view path);

// Copies a file's bytes and permissions. The copy is written beside the target and renamed
// into place, so the target is either its old self or the whole copy, never half of it.
bool CopyFile(std::string_view from, std::string_view to, ExistingTarget ifExists);

// Renames a file or folder; across file systems a file is copied and the source deleted. With
// kFail an existing target is left alone and the move fails.
bool MoveFile(std::string_view from, std::string_view to,
              ExistingTarget ifExists = ExistingTarget::kFail);

// Deletes a file (a link itself, not its target); false for a folder or a missing file.
bool DeleteFile(std::string_view path);

// Why a read gave no content.
enum class ReadResult { kRead, kCannotOpen, kNotARegularFile, kTooLarge, kReadError };
// A short English description for log lines ("not a regular file").
const char* Describe(ReadResult result);

// The most ReadFile takes unless told otherwise.
inline constexpr std::size_t kDefaultReadLimit = 64u << 20;

// Reads the whole file into `bytes`; on failure `bytes` is left empty. Only regular files are
// read (a FIFO, a device or a folder is refused without blocking), and a file larger than
// `maxBytes` is refused rather than read in part. A file that is there but not read (not a
// regular file, too large, not ours to open, a read error) is named in a line to `log` when
// one is given, with why ("File '/x/user.dat' not read: not a regular file (a FIFO)"); a
// missing file is not.
bool ReadFile(std::string_view path, std::string& bytes, std::size_t maxBytes = kDefaultReadLimit,
              LogSink* log = nullptr);
ReadResult ReadFileChecked(std::string_view path, std::string& bytes,
                           std::size_t maxBytes = kDefaultReadLimit, LogSink* log = nullptr);

// Replaces the file's content so that a crash or a failed write never leaves half a file: the
// bytes go to a temporary file in the same folder, are flushed to the disk and renamed over
// the target. An existing target keeps its permissions; a link is followed to its target.
// The folder must exist.
bool WriteFileAtomically(std::string_view path, std::string_view bytes);

// Bytes available to this user on the volume that holds `folder`.
std::optional<std::uint64_t> FreeSpace(std::string_view folder);

struct DirectoryEntry {
    std::string name;  // GBK, without the folder
    bool isDirectory = false;

    friend bool operator==(const DirectoryEntry&, const DirectoryEntry&) = default;
};

// The entries of a folder sorted by name, without "." and "..". Entries whose names have no
// GBK form are left out, since the system could not name them.
std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view folder);

}  // namespace os
