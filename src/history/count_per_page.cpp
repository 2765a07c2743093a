#include "history/count_per_page.h"

#include "config/user_settings.h"
#include "os/services/log.h"
#include "os/sys/ini_file.h"
#include "os/text/cstring_ops.h"

namespace history {

int LoadCountPerPage(const std::string& userFolder, os::Log& log) {
    const std::string path = userFolder + config::kUserSettingsFile;
    os::IniFile ini = os::IniFile::Load(path);
    const int count =
        ini.GetInt(config::kUserSettingsSection, kCountPerPageKey, kDefaultCountPerPage);
    if (count >= kMinCountPerPage && count <= kMaxCountPerPage) return count;
    log.WriteLog(os::Format("User.ini CountPerPage=%d 值异常，自动改为缺省值20", count));
    ini.Set(config::kUserSettingsSection, kCountPerPageKey, "20");
    if (!ini.Save()) log.WriteLog("保存用户设置文件失败:" + path);
    return kDefaultCountPerPage;
}

}  // namespace history
