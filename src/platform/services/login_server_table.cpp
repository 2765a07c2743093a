#include "platform/services/login_server_table.h"

#include <cstring>

namespace platform {

namespace {

bool LeavesFolder(std::string_view name) {
    if (name.front() == '/' || name.front() == '\\') return true;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = name.size();
        if (name.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

bool LoginServerTable::Add(std::string displayName, std::string configFile) {
    if (configFile.empty() || configFile.size() > kLoginServerFileMax ||
        configFile.find('\0') != std::string::npos || LeavesFolder(configFile))
        return false;
    std::uint32_t index = static_cast<std::uint32_t>(names_.size());
    unsigned char entry[kLoginServerEntrySize] = {};
    for (int i = 0; i < 4; ++i) entry[i] = static_cast<unsigned char>(index >> (8 * i));
    std::memcpy(entry + kLoginServerFileOffset, configFile.data(), configFile.size());
    bytes_.insert(bytes_.end(), entry, entry + kLoginServerEntrySize);
    names_.push_back(displayName.empty() ? configFile : std::move(displayName));
    return true;
}

void LoginServerTable::Clear() {
    bytes_.clear();
    names_.clear();
    selected_ = 1;
}

bool LoginServerTable::SetServerSel(int oneBased) {
    if (oneBased < 1 || oneBased > nLoginServerCount()) return false;
    selected_ = oneBased;
    return true;
}

std::optional<std::string> LoginServerTable::ConfigFileOf(int oneBased) const {
    if (oneBased < 1 || oneBased > nLoginServerCount()) return std::nullopt;
    const unsigned char* field =
        bytes_.data() + (oneBased - 1) * kLoginServerEntrySize + kLoginServerFileOffset;
    // Bounded by the field: the terminating NUL is always inside it.
    size_t length = strnlen(reinterpret_cast<const char*>(field), kLoginServerFileMax);
    return std::string(reinterpret_cast<const char*>(field), length);
}

std::optional<std::string> LoginServerTable::DisplayNameOf(int oneBased) const {
    if (oneBased < 1 || oneBased > nLoginServerCount()) return std::nullopt;
    const unsigned char* entry = bytes_.data() + (oneBased - 1) * kLoginServerEntrySize;
    std::uint32_t index = 0;
    for (int i = 0; i < 4; ++i) index |= static_cast<std::uint32_t>(entry[i]) << (8 * i);
    return index < names_.size() ? std::optional(names_[index]) : std::nullopt;
}

std::string LoginServerTable::SelectedConfigFile() const {
    return ConfigFileOf(selected_).value_or(kDefaultConfigFile);
}

}  // namespace platform
