#pragma once
// The user folder: the per-account folder inside the shared client directory that holds the
// user's message store, settings and phrases. Every part of the client builds it here, so the
// account name is checked everywhere the same way: a name that could leave the shared
// directory, or name no folder at all, gets no folder.

#include <optional>
#include <string>
#include <string_view>

namespace core {

// Whether `accountName` can name a folder inside the shared client directory: not empty, not
// "." or "..", and without '/', '\' or NUL bytes.
bool IsUsableFolderName(std::string_view accountName);

// `commonDir` (ending in '/') + `accountName` + "/"; nothing when the name is not usable.
std::optional<std::string> UserFolder(std::string_view commonDir, std::string_view accountName);

}  // namespace core
