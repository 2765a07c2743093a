#pragma once
// The accounts remembered on this computer: "user.dat" (and "usermobile.dat" for logins with a
// mobile number) in the shared client directory, rewritten whole at every change.
//
// user.dat, one line per account, most recent first:
//     name;password;userKind;extraText;groupName;alias1;alias2;alias3;\r\n
// usermobile.dat:
//     name;password;alias1;\r\n
// The password field is scrambled (password_scrambler.h), never clear; it is empty when the
// user did not ask for the password to be remembered. In text fields the bytes '%', ';', CR
// LF and NUL are written as %25, %3B, %0D, %0A and %00, so any name reads back as written. A line
// that does not parse is skipped; a password that does not unscramble reads as empty.

#include <string>
#include <string_view>
#include <vector>

#include "os/sys/log_sink.h"

namespace login {

inline constexpr const char* kLoginHistoryFile = "user.dat";
inline constexpr const char* kMobileLoginHistoryFile = "usermobile.dat";
inline constexpr std::size_t kMaxAliases = 3;
// A larger file (or one that is not a regular file) is unreadable and never overwritten.
inline constexpr std::size_t kHistoryReadLimit = 4u << 20;

struct SavedAccount {
    std::string name;
    std::string password;  // clear in memory; empty when not remembered
    int userKind = 1;      // 1 government user, 2 public user
    std::string extraText;
    std::string groupName;
    std::vector<std::string> aliases;  // other names of the account, at most kMaxAliases

    // The name or one of the aliases equals `text` exactly.
    bool IsNamed(std::string_view text) const;
    friend bool operator==(const SavedAccount&, const SavedAccount&) = default;
};

enum class HistoryLayout { Full, Mobile };

class LoginHistory {
  public:
    // `path`: the file (GBK path).
    LoginHistory(std::string path, HistoryLayout layout);

    // Reads the file; a missing file is an empty history. False when it exists but cannot be
    // read (the list is then empty and Save refuses to overwrite the file); `log`, when given,
    // is told which file was refused and why.
    bool Load(os::LogSink* log = nullptr);
    // Rewrites the file atomically from the list.
    bool Save() const;

    const std::vector<SavedAccount>& accounts() const { return accounts_; }
    // Puts `account` first, replacing the entry of the same name (ASCII case ignored) and
    // keeping that entry's aliases beside the new ones.
    void Remember(SavedAccount account);
    // The entry whose name equals `name` (ASCII case ignored), or null.
    const SavedAccount* Find(std::string_view name) const;

    // One line of the file for `account` (without "\r\n"), and the reverse; false for a line
    // that does not parse. Exposed for tests.
    std::string FormatLine(const SavedAccount& account) const;
    bool ParseLine(std::string_view line, SavedAccount& account) const;

  private:
    std::string path_;
    HistoryLayout layout_;
    bool readable_ = true;
    std::vector<SavedAccount> accounts_;
};

}  // namespace login
