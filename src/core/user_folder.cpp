#include "core/user_folder.h"

namespace core {

bool IsUsableFolderName(std::string_view accountName) {
    return !accountName.empty() && accountName != "." && accountName != ".." &&
           accountName.find_first_of("/\\") == std::string_view::npos &&
           accountName.find('\0') == std::string_view::npos;
}

std::optional<std::string> UserFolder(std::string_view commonDir, std::string_view accountName) {
    if (!IsUsableFolderName(accountName)) return std::nullopt;
    std::string folder(commonDir);
    folder += accountName;
    folder += '/';
    return folder;
}

}  // namespace core
