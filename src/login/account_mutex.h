#pragma once
// The per-account login mutex: while a process of this computer is logged in with an account
// it holds "<account>_USER_LOGINED<version>", so a second process is refused the same account.

#include <memory>
#include <string>
#include <string_view>

#include "os/sys/clock.h"

namespace os {
class NamedMutex;
class NamedObjectSpace;
}  // namespace os

namespace login {

inline constexpr const char* kDefaultProgramVersion = "0.000";

// `Version` of section "Common Setting" in "config.ini" of the shared client directory.
std::string ProgramVersion(std::string_view commonDir);
std::string AccountMutexName(std::string_view account, std::string_view version);

enum class AccountClaim { Taken, HeldElsewhere, Failed };

struct AccountMutexResult {
    AccountClaim claim = AccountClaim::Failed;
    std::unique_ptr<os::NamedMutex> mutex;  // set when Taken
};

// Creates the account's mutex. When any other holder (another process, or another handle of
// this one) has it already, the new handle is closed again and HeldElsewhere answered.
AccountMutexResult ClaimAccountMutex(const os::NamedObjectSpace& space, os::Clock& clock,
                                     std::string_view account, std::string_view version);

}  // namespace login
