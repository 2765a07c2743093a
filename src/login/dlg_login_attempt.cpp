// CDlgLogin: starting a login attempt (the login button, the mobile login, the nickname
// login) and what its threads report back.
#include <algorithm>

#include "config/client_config.h"
#include "core/doors.h"
#include "core/doors/notification_pump.h"
#include "core/doors/reconnect_flow.h"
#include "core/doors/room_service.h"
#include "core/window_manager.h"
#include "login/account_mutex.h"
#include "login/dlg_login.h"
#include "login/input_check.h"
#include "login/login_state_word.h"
#include "os/controls/combo_box.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/sys/event.h"
#include "os/sys/named_objects.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_codec.h"
#include "platform/session/session_core.h"

namespace {

constexpr os::Millis kDefaultLoginTimeoutMs = 20000;
constexpr os::Millis kShortestLoginTimeoutMs = 10000;

constexpr const char* kInputCaption = "登录";
constexpr const char* kAlreadyLoggedIn = "您已经登录%s,不能重复登录！";
constexpr const char* kAlreadyLoggedInMobile = "您已经登陆%s,不能重复登陆！";
constexpr const char* kSwitchQuestion =
    "当前用户还有消息未处理或窗口未关闭，现在登录\r\n其它用户将清除这些信息！\r\n\r\n是否继续登录"
    "？";

}  // namespace

os::Millis CDlgLogin::LoginTimeoutMs(int configuredSeconds) {
    if (configuredSeconds <= 0) return kDefaultLoginTimeoutMs;
    return std::max<os::Millis>(os::Millis{configuredSeconds} * 1000, kShortestLoginTimeoutMs);
}

void CDlgLogin::OnLoginPressed(LoginKind kind) {
    core::IWindowManager& manager = context_.windowManager();
    if (IsLoggingIn() || manager.IsLoggedIn()) {
        context_.log.WriteLog("正在登录或已登录...");
        return;
    }
    SetLoggingIn(true);

    // A saved account chosen in the list logs in with its saved password.
    const auto* accounts = GetControl<os::ComboBox>(kAccountId);
    const login::LoginHistory& history = kind == LoginKind::Mobile ? mobileHistory_ : history_;
    if (accounts->GetCurSel() >= 0) {
        const login::SavedAccount* saved = history.Find(accounts->GetLBText(accounts->GetCurSel()));
        if (saved && saved->name == Text(kAccountId) && !saved->password.empty()) {
            SetText(kPasswordId, saved->password);
        }
    }
    const std::string userName = Text(kAccountId);
    const std::string password = Text(kPasswordId);
    anonymous_ = false;
    nickname_.clear();

    if (reconnectCount() == 0 && !PassesInputCheck(userName, password)) return;

    const std::string account = os::MakeLower(os::Trim(userName));
    const MutexStep mutex = TakeAccountMutex(account, kind);
    if (mutex == MutexStep::Refused) return;
    if (!ConfirmAccountSwitch(account)) {
        if (mutex == MutexStep::TakenNow) ReleaseAccountMutex();
        SetLoggingIn(false);
        return;
    }

    details_ = AttemptDetails{kind, account, password,
                              GetControl<os::ComboBox>(kUserKindId)->GetCurSel() == 0 ? 1 : 2,
                              Text(kExtraTextId)};
    login::AttemptRequest request;
    request.userName = userName;
    request.password = password;
    request.userKind = details_.userKind;
    request.extraText = details_.extraText;
    request.groupName = groupName_;
    request.groupLogin = context_.config.HasGroupLogin != 0;
    request.loginType = kind == LoginKind::Mobile ? "MOBILE" : "";
    StartAttempt(std::move(request));
}

bool CDlgLogin::PassesInputCheck(const std::string& userName, const std::string& password) {
    const login::InputProblem problem = login::CheckLoginInput(userName, password);
    if (problem == login::InputProblem::None) return true;
    if (!quietMode_) {
        const std::string caption = problem == login::InputProblem::IllegalCharacter
                                        ? std::string(os::kDefaultCaption)
                                        : std::string(kInputCaption);
        context_.prompter.MessageBox(login::InputProblemText(problem), caption,
                                     os::MB_OK | os::MB_ICONINFORMATION, hwnd());
    }
    if (problem == login::InputProblem::EmptyUserName) SetFocus(kAccountId);
    SetLoggingIn(false);
    return false;
}

CDlgLogin::MutexStep CDlgLogin::TakeAccountMutex(const std::string& account, LoginKind kind) {
    core::IWindowManager& manager = context_.windowManager();
    if (manager.HoldsAccountMutex()) return MutexStep::Ready;
    login::AccountMutexResult claim =
        login::ClaimAccountMutex(context_.namedObjects, context_.clock, account,
                                 login::ProgramVersion(context_.folders.commonDir));
    switch (claim.claim) {
        case login::AccountClaim::Taken:
            manager.KeepAccountMutex(std::move(claim.mutex));
            return MutexStep::TakenNow;
        case login::AccountClaim::HeldElsewhere: {
            const char* format =
                kind == LoginKind::Mobile ? kAlreadyLoggedInMobile : kAlreadyLoggedIn;
            context_.prompter.MessageBox(os::Format(format, account.c_str()), os::kDefaultCaption,
                                         os::MB_OK, hwnd());
            ReturnToInputs();
            SetLoggingIn(false);
            return MutexStep::Refused;
        }
        case login::AccountClaim::Failed:
            // Without the mutex only the guard against a second process is lost; the user
            // may still log in.
            context_.log.WriteLog("CDlgLogin: 无法创建帐号互斥量 " + account);
            return MutexStep::Ready;
    }
    return MutexStep::Ready;
}

bool CDlgLogin::ConfirmAccountSwitch(const std::string& account) {
    core::IWindowManager& manager = context_.windowManager();
    if (account == lastAccount_ || !manager.AnyConversationOpen()) return true;
    const int answer = context_.prompter.MessageBox(kSwitchQuestion, "警告",
                                                    os::MB_YESNO | os::MB_ICONWARNING, hwnd());
    if (answer != os::IDYES) return false;
    ClearOldSession();
    return true;
}

void CDlgLogin::ClearOldSession() {
    core::IWindowManager& manager = context_.windowManager();
    for (core::ChatWindow* window : manager.ChatWindows()) {
        const std::string jid = window->ContactJid();
        manager.CloseChatWindow(jid);
    }
    manager.PendingMessages().Clear();
    context_.doors().rooms->LeaveAllRooms();
}

void CDlgLogin::StartAttempt(login::AttemptRequest request) {
    core::SessionFlags& flags = context_.windowManager().Flags();
    flags.userLogoutRequested = false;
    flags.loginCancelled = false;
    loginStartTick_ = context_.clock.TickCount();

    if (!context_.doors().pump->ThreadRunning()) {
        context_.log.WriteLog("调用theWindowManager->theBaseProxy.Init()\n");
        context_.doors().pump->Init();
    }

    RetireAttempt();
    request.timeoutMs = LoginTimeoutMs(context_.config.LoginTimeOut);
    if (reconnectMode_ == 0) request.reconnect = context_.doors().reconnect->Cycle();
    stateWord_->Write(login::kLoginRunning);
    loginEvent_->Reset();  // a signal left from an earlier login is not this one's

    os::WindowSystem& windows = context_.windows;
    const os::HWND panel = hwnd();
    login::AttemptServices services{
        context_.session, context_.log, context_.clock, flags, stateWord_, loginEvent_,
        // The panel lives as long as its window; a post to a window that is gone is dropped.
        [&windows, panel, this](login::AttemptReport report) {
            windows.PostTask(panel, [this, report] { OnAttemptReport(report); });
        }};
    attempt_ = std::make_unique<login::LoginAttempt>(std::move(services), std::move(request));

    ShowProgress("正在登录中....");
    ShowInputs(false);
}

void CDlgLogin::OnAttemptReport(login::AttemptReport report) {
    switch (report) {
        case login::AttemptReport::RefusedByEngine:
            ReturnToInputs();
            ReleaseAccountMutex();
            break;
        case login::AttemptReport::TimedOutAfterAnswer:
            ReturnToInputs();
            ReleaseAccountMutex();
            PostMessage(kShowLoginFailure, 0, 0);
            break;
        case login::AttemptReport::TimedOutWithoutAnswer:
            ReturnToInputs();
            ReleaseAccountMutex();
            PostMessage(kShowLoginFailure, 1, 0);
            break;
        case login::AttemptReport::LogOutUser:
            context_.windowManager().UserLogout();
            break;
    }
}

void CDlgLogin::ReturnToInputs() {
    HideProgress();
    ShowInputs(true);
}

void CDlgLogin::ReleaseAccountMutex() {
    core::IWindowManager& manager = context_.windowManager();
    // Nobody is logged in after a failed attempt: the account is free for another process.
    if (!manager.IsLoggedIn() && manager.HoldsAccountMutex()) manager.KeepAccountMutex(nullptr);
}

void CDlgLogin::StartNicknameLogin(const std::string& nickname) {
    if (IsLoggingIn() || context_.windowManager().IsLoggedIn()) {
        context_.log.WriteLog("正在登录或已登录...");
        return;
    }
    SetLoggingIn(true);
    anonymous_ = true;
    nickname_ = nickname;
    SetText(kAccountId, os::Format("匿名-%s", nickname.c_str()));
    const std::string account = nickname + "$gov" + kNicknameAccountNumber;
    details_ = AttemptDetails{LoginKind::Nickname, account, "", 1, ""};

    login::AttemptRequest request;
    request.userName = os::GbkToUtf8Lossy(account);
    request.userKind = 1;
    StartAttempt(std::move(request));
}

void CDlgLogin::StartAutoRelogin() {
    quietMode_ = true;
    PostMessage(os::WM_COMMAND, os::MAKEWPARAM(kLoginButtonId, 0), 0);
}
