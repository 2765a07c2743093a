#pragma once
// The login-server table: the servers a user may log in to, each naming its own deployment
// configuration file in the shared client directory. The configuration loader reads the
// selected entry's file name; the login and settings dialogs list the servers and change the
// selection.
//
// The table keeps the client's 20-byte entry layout (`pLoginServer`, `nLoginServerCount`):
//   bytes 0-3   the entry's display-name index, little-endian (the position of its name in
//               this table; it stands where a 32-bit build kept a pointer to the name)
//   bytes 4-19  the configuration file name relative to the shared client directory,
//               NUL-terminated, so at most 15 bytes
// `nServerSel` is the selected entry, 1-based.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr std::size_t kLoginServerEntrySize = 20;
inline constexpr std::size_t kLoginServerFileOffset = 4;
inline constexpr std::size_t kLoginServerFileMax =
    kLoginServerEntrySize - kLoginServerFileOffset - 1;

// The configuration file of a deployment with a single server.
inline constexpr const char* kDefaultConfigFile = "config.ini";

class LoginServerTable {
  public:
    // Appends a server. False, and nothing added, when the file name does not fit the entry
    // (empty, more than 15 bytes, a NUL byte) or would leave the shared client directory
    // (absolute, or a ".." part). An empty display name shows the file name.
    bool Add(std::string displayName, std::string configFile);
    void Clear();

    int nLoginServerCount() const { return static_cast<int>(names_.size()); }
    // The entries, kLoginServerEntrySize bytes each; null when the table is empty.
    const unsigned char* pLoginServer() const { return bytes_.empty() ? nullptr : bytes_.data(); }

    int nServerSel() const { return selected_; }
    // False, and the selection kept, for an index outside 1..count.
    bool SetServerSel(int oneBased);

    // The file name held by entry `oneBased` (bytes 4-19), or nothing outside 1..count.
    std::optional<std::string> ConfigFileOf(int oneBased) const;
    std::optional<std::string> DisplayNameOf(int oneBased) const;
    // The selected entry's file name; kDefaultConfigFile while the table is empty.
    std::string SelectedConfigFile() const;

  private:
    std::vector<unsigned char> bytes_;
    std::vector<std::string> names_;
    int selected_ = 1;
};

}  // namespace platform
