// CDlgLogin: the single sign-on organisation selection (button 9200) and the group name it
// sets for a group login.
#include <memory>

#include "config/client_config.h"
#include "login/dlg_login.h"
#include "login/dlg_org_units.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "web/generic_http_client.h"
#include "web/org_units.h"

namespace {

constexpr const char* kNoOrgService = "没有配置统一认证组织服务！";

}  // namespace

void CDlgLogin::OnChooseOrganisation() {
    const config::ClientConfig& config = context_.config;
    if (config.GetSSOGroupUrl.empty()) {
        context_.prompter.MessageBox(kNoOrgService, os::kDefaultCaption,
                                     os::MB_OK | os::MB_ICONERROR, hwnd());
        return;
    }
    const std::unique_ptr<os::Log> pickerLog =
        os::Log::ToFile(context_.clock, context_.folders.commonDir + web::kOrgUnitsLogFile);
    web::GenericHttpClient client({.clock = &context_.clock, .prompter = &context_.prompter});
    CDlgOrgUnits dialog(context_, client, *pickerLog);
    if (!dialog.Create(hwnd())) return;
    if (context_.prompter.DoModal(dialog) != os::IDOK || !dialog.choice()) return;

    const CDlgOrgUnits::Choice& choice = *dialog.choice();
    groupName_ = choice.unit.ssoCode;
    SetText(kOrganisationLabelId, choice.unit.name);

    login::AttemptRequest sent;
    sent.userName = Text(kAccountId);
    sent.groupName = groupName_;
    sent.groupLogin = config.HasGroupLogin != 0;
    const std::string userName = Text(kAccountId);
    const std::string account = os::MakeLower(os::Trim(userName));
    const std::string loginName = login::LoginNameOf(sent);
    context_.log.WriteLog(os::Format(
        "登录参数:username=%s, LoginName=%s, GroupSSOId=%s, Imuser=%s, OrgNumber=%s,\t\t    "
        "                GroupName=%s,OrgCoding=%s, orgparentId=%s,ParentGroupName=%s, "
        "Reserve =%s",
        userName.c_str(), loginName.c_str(), choice.unit.ssoCode.c_str(), account.c_str(),
        choice.unit.id.c_str(), choice.unit.name.c_str(), choice.unit.orgCode.c_str(),
        choice.parentId.c_str(), choice.parentName.c_str(), ""));
}
