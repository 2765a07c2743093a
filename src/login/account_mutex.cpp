#include "login/account_mutex.h"

#include "os/sys/ini_file.h"
#include "os/sys/named_objects.h"

namespace login {

std::string ProgramVersion(std::string_view commonDir) {
    const os::IniFile ini = os::IniFile::Load(std::string(commonDir) + "config.ini");
    return ini.GetString("Common Setting", "Version", kDefaultProgramVersion);
}

std::string AccountMutexName(std::string_view account, std::string_view version) {
    std::string name(account);
    name += "_USER_LOGINED";
    name += version;
    return name;
}

AccountMutexResult ClaimAccountMutex(const os::NamedObjectSpace& space, os::Clock& clock,
                                     std::string_view account, std::string_view version) {
    AccountMutexResult result;
    bool existed = false;
    result.mutex =
        os::NamedMutex::Create(space, AccountMutexName(account, version), clock, &existed);
    if (!result.mutex) {
        result.claim = AccountClaim::Failed;
    } else if (existed) {
        result.mutex.reset();
        result.claim = AccountClaim::HeldElsewhere;
    } else {
        result.claim = AccountClaim::Taken;
    }
    return result;
}

}  // namespace login
