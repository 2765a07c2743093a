#pragma once
// Paths are GBK text inside the system, like all its strings; the file system takes UTF-8.
// NativePath is the one place where the two meet, and every file function converts through it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace os {

// The file-system form of a GBK path: UTF-8, with '\\' separators (Windows spellings such as
// "sound\\welcome.wav") turned into '/'. The separators are changed after decoding, so the
// trail byte 0x5C of a character such as 誠 is never taken for one. Empty when the text is
// not GBK or holds a NUL byte (which would silently cut the path short).
std::optional<std::filesystem::path> NativePath(std::string_view gbkPath);

// The GBK form of a file-system path; empty when a character has no GBK form (such a file
// cannot be named inside the system).
std::optional<std::string> GbkPathFromNative(const std::filesystem::path& native);

// The shared client directory: $QORVDESK_HOME, else ~/.local/share/qorvdesk/. Absolute, GBK,
// always ending in '/'. A value that has no GBK form is passed over for the next choice. The
// folder is not created here.
std::string SharedClientDir();

// The application directory holding face/, sound/ and template/: $QORVDESK_APPDIR, else the
// installed share folder (QORVDESK_SHARE_DIR when the build defines it, else share/qorvdesk/
// beside the folder of the running program, e.g. /usr/share/qorvdesk/ for /usr/bin/x), else
// the current directory. Absolute, GBK, always ending in '/'.
std::string AppDir();

}  // namespace os
