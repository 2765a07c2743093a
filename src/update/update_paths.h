#pragma once
// Where a file-update record may write. A record names its file relative to a local folder
// (localName) and below the server's update address (remotePath); neither may lead out of
// its folder: no absolute path, no ".." or "." step, no empty step, no control character,
// no drive or scheme (':'), and no link on the way (checked when the file is put in place).

#include <optional>
#include <string>
#include <string_view>

namespace update {

// `localName` with '\' read as '/', when every step of it stays inside its folder.
std::optional<std::string> SafeRelativePath(std::string_view localName);

// The name the download of `remotePath` is kept under in the download folder: the part after
// the last '/' (the whole path when there is none); nothing when the path could leave the
// server's update address or the name is no plain file name.
std::optional<std::string> DownloadName(std::string_view remotePath);

// Whether every folder on the way from `base` (an existing folder, ending in '/') to the
// file `relative` (a SafeRelativePath) is a real folder or missing, and the file itself is
// missing or a regular file: no link anywhere. Missing folders are made when `create`.
bool PathStaysInside(const std::string& base, const std::string& relative, bool create);

}  // namespace update
