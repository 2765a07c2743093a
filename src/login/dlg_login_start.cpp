// CDlgLogin: the saved accounts and the automatic start.
#include "config/client_config.h"
#include "core/doors.h"
#include "core/doors/start_parameters.h"
#include "login/dlg_login.h"
#include "os/controls/combo_box.h"
#include "os/services/log.h"

void CDlgLogin::Begin() {
    LoadHistories();
    FillAccounts();
    SetChecked(kRememberPasswordId, context_.config.RememberPass != 0);
    SetChecked(kAutoLoginId, context_.config.AutoLogin != 0);

    if (context_.doors().startParameters->StartCommandLineLogin()) return;
    if (context_.config.AutoLogin != 0) {
        SetChecked(kRememberPasswordId, true);
        SetChecked(kAutoLoginId, true);
        SendMessage(os::WM_COMMAND, os::MAKEWPARAM(kLoginButtonId, 0), 0);
    }
}

void CDlgLogin::StartCommandLineLogin(const login::CommandLineRequest& request) {
    const login::CommandLineAccount parts = login::SplitCommandLineUser(request.username);
    std::string password = request.password;
    if (password.empty()) {
        const login::SavedAccount* saved = history_.Find(parts.account);
        if (saved == nullptr || saved->password.empty()) {
            context_.log.WriteLog("命令行登录: 没有保存的帐号 " + parts.account);
            return;
        }
        password = saved->password;
    }
    // The saved account chosen in the list would put its own password back.
    GetControl<os::ComboBox>(kAccountId)->SetCurSel(-1);
    SetText(kAccountId, parts.account);
    SetText(kPasswordId, password);
    if (!parts.userKind.empty())
        GetControl<os::ComboBox>(kUserKindId)->SetCurSel(parts.userKind == "pub" ? 1 : 0);
    if (!parts.organisation.empty()) groupName_ = parts.organisation;
    SendMessage(os::WM_COMMAND, os::MAKEWPARAM(kLoginButtonId, 0), 0);
}

void CDlgLogin::LoadHistories() {
    if (!history_.Load(&context_.log))
        context_.log.WriteLog("读取登录历史失败:" + std::string(login::kLoginHistoryFile));
    if (!mobileHistory_.Load(&context_.log)) {
        context_.log.WriteLog("读取登录历史失败:" + std::string(login::kMobileLoginHistoryFile));
    }
}

void CDlgLogin::FillAccounts() {
    auto* accounts = GetControl<os::ComboBox>(kAccountId);
    accounts->ResetContent();
    for (const login::SavedAccount& account : history_.accounts())
        accounts->AddString(account.name);
    if (history_.accounts().empty()) return;
    accounts->SetCurSel(0);
    ShowSavedAccount(history_.accounts().front());
}

void CDlgLogin::ShowSavedAccount(const login::SavedAccount& account) {
    SetText(kAccountId, account.name);
    SetText(kPasswordId, account.password);
    GetControl<os::ComboBox>(kUserKindId)->SetCurSel(account.userKind == 2 ? 1 : 0);
    SetText(kExtraTextId, account.extraText);
}

void CDlgLogin::OnAccountChosen() {
    const auto* accounts = GetControl<os::ComboBox>(kAccountId);
    const int chosen = accounts->GetCurSel();
    if (chosen < 0) return;
    if (const login::SavedAccount* saved = history_.Find(accounts->GetLBText(chosen))) {
        ShowSavedAccount(*saved);
    }
}
