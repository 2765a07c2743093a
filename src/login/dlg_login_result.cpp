// CDlgLogin: the engine's login result, the failure display of a timed-out attempt and the
// nickname question.
#include "config/client_config.h"
#include "core/doors.h"
#include "core/doors/batch_service.h"
#include "core/doors/feature_libraries.h"
#include "core/doors/main_window_shell.h"
#include "core/doors/settings_service.h"
#include "core/user_folder.h"
#include "core/window_manager.h"
#include "core/window_messages.h"
#include "login/dlg_login.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/services/sound_player.h"
#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"
#include "platform/session/notify_record.h"
#include "platform/session/session_core.h"

namespace {

constexpr const char* kNetworkError = "网络错误或服务器忙，请稍候重新登录.";
constexpr const char* kNicknameInUse = "该昵称已经被使用";
constexpr const char* kDefaultWrongCredentials = "用户名或密码错误";
constexpr const char* kConnectionFailure =
    "无法连接到服务器，可能的原因有：\n"
    "1 网络连接已断开；\n"
    "2 服务器地址设置不正确；\n"
    "3 服务器未启动或正忙；\n"
    "4 防火墙阻止了到服务器端口%d的连接。";
constexpr const char* kProxyHint = "\n5 您当前使用了代理,请检查代理服务器设置。";

}  // namespace

void CDlgLogin::OnLoginResult(const platform::LoginResultData& result) {
    if (result.result == 1) {
        OnLoginSucceeded();
    } else {
        OnLoginFailed();
    }
}

void CDlgLogin::OnLoginSucceeded() {
    core::IWindowManager& manager = context_.windowManager();
    core::SessionFlags& flags = manager.Flags();
    // The result is the answer, whenever "LoginEvent" comes: a time-out after it must not
    // report a failure of the login that succeeded.
    if (attempt_) attempt_->EndWatch();

    flags.sessionEnding = false;
    context_.RememberSessionAccount();
    const std::string accountName = context_.session.GetCurrentUserLimitName();
    if (const std::optional<std::string> userFolder =
            core::UserFolder(context_.folders.commonDir, accountName)) {
        if (!os::CreateDirectories(*userFolder)) {
            context_.log.WriteLog("创建用户目录失败:" + *userFolder);
        }
    } else {
        context_.log.WriteLog("用户名不能作为目录名:" + accountName);
    }
    context_.doors().settings->LoadUserSettings();
    loginTick_ = context_.clock.TickCount();
    if (!context_.config.WelcomeSound.empty()) {
        context_.sound.PlaySoundFile(context_.folders.appDir + context_.config.WelcomeSound);
    }

    context_.windows.SendMessage(manager.HostMainWnd(), core::WM_HOST_SESSION, 0,
                                 core::kSessionStarted);
    context_.doors().shell->StartSession();
    quietMode_ = false;
    SetReconnectCount(0);
    // Logged in by hand while the network watch waited: it has nothing left to do.
    KillTimer(kNetworkWatchTimerId);

    flags.userLogoutRequested = false;
    flags.loggedInElsewhere = false;
    flags.loggedIn = true;
    RememberAccount();
    lastAccount_ = details_.account;

    manager.WriteSharedFlag("Y");
    context_.doors().libraries->StartSession();

    if (context_.config.HasSmsLimit != 0) {
        context_.doors().batch->ResetQuota();
        context_.session.QuerySmsLimitInfo(0);
        SetTimer(kSmsQuotaTimerId, kSmsQuotaPauseMs);
    }
    context_.session.QueryDefaultMailMonitors();
    context_.doors().shell->OpenAuxiliaryWindow();
}

void CDlgLogin::OnLoginFailed() {
    core::IWindowManager& manager = context_.windowManager();
    manager.Flags().userLogoutRequested = true;
    // The result is the answer: the time-out watch has nothing left to report.
    if (attempt_) attempt_->EndWatch();
    HideProgress();
    ReleaseAccountMutex();
    if (!quietMode_) {
        std::string text = context_.config.UserNameOrPasswordIsWrong;
        if (text.empty()) text = kDefaultWrongCredentials;
        if (anonymous_) text = kNicknameInUse;
        ShowInputs(true);
        context_.prompter.MessageBox(text, os::kDefaultCaption, os::MB_OK, hwnd());
        if (anonymous_) PostMessage(kNicknameTaken, 0, 0);
    } else {
        ShowInputs(true);
    }
    SetLoggingIn(false);
}

void CDlgLogin::RememberAccount() {
    if (details_.kind == LoginKind::Nickname || details_.account.empty()) return;
    login::SavedAccount account;
    account.name = details_.account;
    if (Checked(kRememberPasswordId)) account.password = details_.password;
    account.userKind = details_.userKind;
    account.extraText = details_.extraText;
    login::LoginHistory& history = details_.kind == LoginKind::Mobile ? mobileHistory_ : history_;
    history.Remember(std::move(account));
    if (!history.Save()) context_.log.WriteLog("保存登录历史失败");
}

void CDlgLogin::OnShowLoginFailure(os::WPARAM wParam) {
    SetLoggingIn(false);
    if (quietMode_) return;
    const std::string text = wParam == 1 ? std::string(kNetworkError) : ConnectionFailureText();
    context_.prompter.MessageBox(text, os::kDefaultCaption, os::MB_OK, hwnd());
}

std::string CDlgLogin::ConnectionFailureText() const {
    std::string text = os::Format(kConnectionFailure, context_.session.GetServerPort());
    const config::ProxySetting& proxy = context_.config.Proxy;
    if (proxy.Type != 0 && !proxy.Server.empty()) text += kProxyHint;
    return text;
}

void CDlgLogin::OnNicknameTaken() {
    os::InputRequest request;
    request.owner = hwnd();
    request.caption = os::kDefaultCaption;
    request.prompt = "该昵称已经被使用，请输入其它昵称：";
    request.initialValue = nickname_;
    const std::optional<std::string> answer = context_.prompter.InputText(request);
    if (!answer) return;
    const std::string nickname = os::Trim(*answer);
    if (!nickname.empty()) StartNicknameLogin(nickname);
}
