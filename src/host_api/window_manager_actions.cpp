// CWindowManager: what the host's menus and commands reach — session queries, dialogs,
// contacts, telephone and gateway actions.
#include "config/client_config.h"
#include "core/doors.h"
#include "core/doors/batch_service.h"
#include "core/doors/contact_service.h"
#include "core/doors/feature_libraries.h"
#include "core/doors/history_service.h"
#include "core/doors/main_window_shell.h"
#include "core/doors/notification_pump.h"
#include "core/doors/settings_service.h"
#include "core/doors/start_parameters.h"
#include "core/doors/web_service.h"
#include "core/text_utilities.h"
#include "core/window_messages.h"
#include "host_api/window_manager.h"
#include "login/dlg_login.h"
#include "notify/incoming_msg_handler.h"
#include "os/controls/label.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/services/shell.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"

// ---- Host plumbing

int CWindowManager::OnIMParam(int kind, std::string_view text) {
    constexpr int kIsCurrentUser = 1;
    constexpr int kAnyoneLoggedIn = 4;
    if (kind == kAnyoneLoggedIn) return IsLoggedIn() ? 1 : 0;
    if (kind == kIsCurrentUser) {
        return IsLoggedIn() && text == context_.session.GetCurrentUserLimitName() ? 1 : 0;
    }
    context_.doors().startParameters->Act(std::string(text));
    return 0;
}

int CWindowManager::GetVcardVersion() { return context_.doors().contacts->VcardVersion(); }

// ---- Session

void CWindowManager::UserLogin() {
    context_.windows.SendMessage(LoginPanel(), os::WM_COMMAND, os::MAKEWPARAM(core::IDC_LOGIN, 0),
                                 0);
}

int CWindowManager::GetLoginStat() const { return flags_.loginStat.load(); }

std::uint32_t CWindowManager::GetLoginWaitTimeOut() const { return flags_.loginWaitTimeOut.load(); }

void CWindowManager::SetLoginWaitTimeOut(std::uint32_t milliseconds) {
    flags_.loginWaitTimeOut = milliseconds;
}

void CWindowManager::ShowLoginingText1(std::string_view text) {
    if (!loginPanel_ || !loginPanel_->IsWindow()) return;
    os::Label& label = loginPanel_->progressLabel();
    label.SetText(std::string(text));
    label.SetVisible(true);
}

void CWindowManager::ChanngeStatus(std::string_view presenceWord) {
    context_.doors().shell->ShowPresenceOnToolBar(std::string(presenceWord));
    context_.session.ChangePresence(presenceWord);
}

bool CWindowManager::IsGoverUser() {
    platform::SessionCore& session = context_.session;
    return session.GetUserType(session.GetCurrentUserJID()) == platform::kUserTypeGovernment;
}

std::string CWindowManager::GetUserNameA() { return context_.session.GetCurrentUserNickName(); }

std::string CWindowManager::GetECPUserAccount() { return context_.session.GetCurrentUserAccount(); }

// ---- Windows and dialogs

void CWindowManager::ShowBatchChatWindow() { context_.doors().batch->ShowBatchChatWindow(); }

void CWindowManager::ShowSendSmsWindow(int mode) {
    context_.doors().batch->ShowSendSmsWindow(mode);
}

void CWindowManager::ShowBatchMailWindow() {
    const auto selection = context_.doors().contacts->Selection();
    if (!selection || selection->kind != core::ContactSelection::Kind::Group) return;
    platform::SessionCore& session = context_.session;
    std::string loginName = session.GetCurrentUserAccount();
    const int at = os::Find(loginName, '@');
    if (at >= 0) loginName.resize(static_cast<std::size_t>(at));
    const std::string body = os::Format(
        "Username=%s&Password=%s&RedirectTo=/lib/public.nsf/sendmail%%3Fopenform%%26sendto%%3D%s",
        loginName.c_str(), core::UrlEncode(session.GetCurrentUserPassword()).c_str(),
        selection->groupMailList.c_str());
    const config::ClientConfig& config = context_.config;
    const std::string& url = config.SendMailUrl.empty() ? config.MailUrl : config.SendMailUrl;
    context_.doors().web->OpenFormInBrowser(url, body);
}

void CWindowManager::ShowMsgManagerWindow() { context_.doors().history->Open(""); }

void CWindowManager::ShowSetWindow(int page) {
    if (flags_.loggingIn.load()) return;
    core::SettingsService& settings = *context_.doors().settings;
    const os::HWND open = settings.SettingsDialog();
    if (context_.windows.IsWindow(open)) {
        context_.windows.ShowWindow(open, os::SW_SHOW);
        return;
    }
    settings.RunSettingsDialog(page);
}

void CWindowManager::ShowChangePersonInfoWindow() {
    context_.prompter.MessageBox("请到教师培训管理平台修改个人信息.", os::kDefaultCaption,
                                 os::MB_OK | os::MB_ICONINFORMATION, HostMainWnd());
}

void CWindowManager::ShowWebAdminManagerWindow() {
    context_.doors().web->ShowWebAdminManagerWindow();
}

int CWindowManager::ShowSearchDialog() { return context_.doors().contacts->ShowSearchDialog(); }

void CWindowManager::ShowNoticeIEWindow() { context_.doors().web->ShowNoticeIEWindow(); }

void CWindowManager::ShowMailMonitor() { context_.doors().libraries->MailPanelShowMainWindow(); }

// ---- Contacts

std::optional<core::ContactSelection> CWindowManager::SelectedUser() {
    auto selection = context_.doors().contacts->Selection();
    if (!selection || selection->kind != core::ContactSelection::Kind::User) return std::nullopt;
    return selection;
}

void CWindowManager::ShowAddMobileContact(std::string_view mobileNumber) {
    const int answer =
        context_.prompter.MessageBox(" 是否添加该号码到电话簿？", os::kDefaultCaption,
                                     os::MB_YESNO | os::MB_ICONQUESTION, HostMainWnd());
    if (answer == os::IDYES) {
        context_.doors().contacts->AddMobileToPhoneBook(std::string(mobileNumber));
    }
}

void CWindowManager::CallUserChat() {
    if (auto user = SelectedUser()) OpenChatWindow(user->jid);
}

void CWindowManager::CallUserMsgHistory() {
    if (auto user = SelectedUser()) context_.doors().history->Open(user->jid);
}

CWindowManager::OwnNumbers CWindowManager::GetUserInfo() {
    platform::SessionCore& session = context_.session;
    OwnNumbers numbers;
    numbers.jid = session.GetCurrentUserJID();
    session.QueryPersonInfo_refresh(numbers.jid);
    numbers.tel = session.GetCurrentUserTel();
    numbers.workPhone = session.GetCurrentUserWorkPhone();
    numbers.homePhone = session.GetCurrentUserHomePhone();
    numbers.businessPhone = session.GetCurrentUserBusinessPhone();
    numbers.mobilePhone2 = session.GetCurrentUserMobilePhone2();
    return numbers;
}

// ---- Telephone and SMS

void CWindowManager::CallContactTel() {
    auto user = SelectedUser();
    if (!user) return;
    if (user->mobile.empty()) {
        context_.prompter.MessageBox(os::Format("%s 的手机信息为空!", user->name.c_str()),
                                     os::kDefaultCaption, os::MB_OK, HostMainWnd());
        return;
    }
    context_.doors().libraries->Dial(user->mobile);
}

void CWindowManager::CallPhone(int kind) {
    auto user = SelectedUser();
    if (!user) return;
    const bool mobile = kind == 1;
    const std::string& number = mobile ? user->mobile : user->workPhone;
    if (number.empty()) {
        const char* format =
            mobile ? "%s 的手机信息为空,不能拨打手机." : "%s 的工作电话信息为空,不能拨打电话.";
        context_.prompter.MessageBox(os::Format(format, user->name.c_str()), os::kDefaultCaption,
                                     os::MB_OK, HostMainWnd());
        return;
    }
    context_.doors().libraries->Dial(number);
}

void CWindowManager::CallContactMail() {
    if (auto user = SelectedUser()) {
        context_.shell.ShellExecute("open", os::Format("mailto:%s", user->email.c_str()));
    }
}

CWindowManager::SelectedNumbers CWindowManager::GetCurSelUserTel() {
    SelectedNumbers numbers;
    if (auto user = SelectedUser()) {
        numbers = {user->tel, user->workPhone, user->homePhone, user->businessPhone, user->mobile};
    }
    return numbers;
}

void CWindowManager::SetAcceptRegual(int flag) {
    if (flag != 0) context_.doors().shell->StartPhoneAcceptance();
}

void CWindowManager::ReceiveSMSMsg(std::string_view senderNumber, std::string_view content,
                                   std::string_view time, std::string_view senderName) {
    context_.doors().pump->HandleIncomingMessage(
        notify::ReceivedSmsMessage(context_.session, senderNumber, content, time, senderName));
}

// ---- Gateway presence

void CWindowManager::SendMsnStatus(MsnStatus status) {
    struct Presence {
        const char* text;
        int priority;
        const char* show;
    };
    static constexpr Presence kOnline{"Available", 1, ""};
    static constexpr Presence kDnd{"Do Not Disturb", -1, "dnd"};
    static constexpr Presence kAway{"Away", -1, "away"};
    static constexpr Presence kExtendedAway{"Extended Away", -1, "xa"};
    Presence presence = kOnline;
    switch (status) {
        case MsnStatus::Online:
            presence = kOnline;
            break;
        case MsnStatus::Busy:
            presence = kDnd;
            break;
        case MsnStatus::Away:
            presence = kAway;
            break;
        case MsnStatus::Leave:
            presence = kAway;
            break;
        case MsnStatus::Call:
            presence = kDnd;
            break;
        case MsnStatus::Repast:
            presence = kExtendedAway;
            break;
    }
    platform::SessionCore& session = context_.session;
    session.SendMsnStatusMessage("msn." + session.GetHostName(), presence.text, presence.priority,
                                 presence.show);
}

bool CWindowManager::CanSendMsnMsg() {
    const auto selection = context_.doors().contacts->Selection();
    if (!selection) return false;
    const bool offlineGatewayUser = selection->kind == core::ContactSelection::Kind::User &&
                                    platform::Jid(selection->jid).IsMsn() &&
                                    os::EqualsNoCase(selection->presence, "offline");
    return !offlineGatewayUser;
}
