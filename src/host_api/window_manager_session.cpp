// CWindowManager: the interface switch, log-out, the session end, closing windows and the
// exit confirmation.
#include <array>
#include <string_view>

#include "config/client_config.h"
#include "contacts/contact_cache_files.h"
#include "core/doors.h"
#include "core/doors/contact_service.h"
#include "core/doors/feature_libraries.h"
#include "core/doors/history_service.h"
#include "core/doors/main_window_shell.h"
#include "core/doors/notification_pump.h"
#include "core/doors/room_service.h"
#include "core/doors/settings_service.h"
#include "core/window_messages.h"
#include "host_api/delayed_switch.h"
#include "host_api/window_manager.h"
#include "login/dlg_login.h"
#include "notify/wnd_child.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/sys/named_objects.h"
#include "platform/services/notice_pop.h"
#include "platform/services/shared_util.h"
#include "platform/session/session_core.h"

namespace {

// The titles of the client's own dialogs, closed at every session end.
constexpr std::array<std::string_view, 23> kNamedDialogTitles = {"系统设置",
                                                                 "发送消息",
                                                                 "发送短信",
                                                                 "添加联系人",
                                                                 "修改联系人",
                                                                 "请求添加好友",
                                                                 "添加参与者",
                                                                 "选择发送消息的接收者",
                                                                 "选择发送短信的接收者",
                                                                 "创建群",
                                                                 "修改组群名称",
                                                                 "新建组群",
                                                                 "群发帮助",
                                                                 "好友列表导入",
                                                                 "导出",
                                                                 "导出好友列表为",
                                                                 "Qorvdesk版本",
                                                                 "群属性",
                                                                 "修改联系人",
                                                                 "导入常用语",
                                                                 "导出常用语文件",
                                                                 "群设置",
                                                                 "设置头像"};

constexpr const char* kLoggedInElsewhereTip = "您已经在其他计算机登录了此帐户";

}  // namespace

// ---- The interface switch

void CWindowManager::SwitchInterface(core::ClientInterface face) {
    const std::uint32_t wait = flags_.loginWaitTimeOut.load();
    if (face == core::ClientInterface::PostLogin && wait != 0) {
        Step("ShowLoadingProgress");
        if (loginPanel_) loginPanel_->ShowProgress("登陆成功，正在加载信息....");
        StartDelayedSwitch(wait);
        return;
    }
    flags_.loggingIn = false;
    Log2(2, face == core::ClientInterface::PostLogin ? "切换登录后界面！" : "切换登录前界面！");
    if (loginPanel_) loginPanel_->HideProgress();
    ShowInterface(face);
}

void CWindowManager::ShowInterface(core::ClientInterface face) {
    const bool loggedIn = face == core::ClientInterface::PostLogin;
    os::WindowSystem& windows = context_.windows;
    windows.ShowWindow(LoginPanel(), loggedIn ? os::SW_HIDE : os::SW_SHOWNORMAL);
    windows.ShowWindow(MainPanel(), loggedIn ? os::SW_SHOW : os::SW_HIDE);
    if (!loggedIn) {
        context_.doors().shell->StopAfterLogin();
        // The login hid the inputs behind its progress; whoever comes back must be able to
        // log in again.
        if (loginPanel_) loginPanel_->ShowInputs(true);
        return;
    }
    flags_.loggedIn = true;
    flags_.saveContactCaches = true;
    context_.doors().shell->StartAfterLogin();
    // Back after a lost connection: the rooms of that session are entered again. This holds
    // for the immediate switch as much as for the delayed one, or the flag would outlive the
    // reconnect and every later log-out would be taken for a lost connection.
    if (flags_.connectionLost.exchange(false)) {
        Step("ReenterLostRooms");
        context_.doors().rooms->ReenterLostRooms();
    }
}

void CWindowManager::StartDelayedSwitch(std::uint32_t waitMs) {
    delayedSwitch_.reset();  // a switch still waiting gives way to this one
    delayedSwitch_ = std::make_unique<DelayedSwitch>(context_.windows, MainPanel(), waitMs,
                                                     [this] { FinishDelayedSwitch(); });
}

void CWindowManager::FinishDelayedSwitch() {
    if (flags_.loginCancelled.load()) return;
    Step("DelayedSwitch");
    flags_.loginWaitTimeOut = 0;
    SwitchInterface(core::ClientInterface::PostLogin);
}

void CWindowManager::WaitForDelayedSwitch() {
    if (delayedSwitch_) delayedSwitch_->WaitEnded();
}

// ---- Log-out and session end

void CWindowManager::UserLogout() {
    Step("LogEnterUserLogout");
    Log("Enter CWindowManager::UserLogout()");
    if (accountMutex_) {
        Step("ReleaseAccountMutex");
        accountMutex_.reset();
    }
    // Before the engine forgets the account: the caches go to its user folder.
    if (flags_.saveContactCaches.exchange(false)) {
        Step("SaveContactCaches");
        SaveContactCaches();
    }
    Step("Logout");
    flags_.userLogoutRequested = true;
    context_.doors().libraries->CustomerServiceClear();
    context_.session.Logout();
    // The server ended the session meanwhile: it is a forced end, not the user's.
    if (flags_.loggedInElsewhere.load()) flags_.userLogoutRequested = false;
    EndSession();
    Step("LogOutUserLogout");
    Log("Out CWindowManager::UserLogout()");
}

void CWindowManager::SaveContactCaches() {
    if (contactTrees_ == nullptr) return;
    contacts::SaveContactCaches(contacts::FindCachedTrees(*contactTrees_, context_.config),
                                context_);
}

void CWindowManager::EndSession() {
    core::Doors& doors = context_.doors();
    os::WindowSystem& windows = context_.windows;

    Step("EndTransfers");
    for (core::ChatWindow* window : ChatWindows()) window->EndTransfers();

    Step("CloseNamedDialogs");
    doors.shell->MarkSidePaneClosing();
    flags_.sessionEnding = true;
    CloseNamedDialogs();

    Step("CloseAuxiliaryWindow");
    doors.shell->CloseAuxiliaryWindow();

    if (!flags_.connectionLost.load()) {
        Step("LeaveAllRooms");
        doors.rooms->LeaveAllRooms();
    }

    Step("SaveUserSettings");
    doors.settings->SaveUserSettings();
    doors.settings->UnloadUserSettings();
    doors.shell->DropSessionData();
    windows.SendMessage(HostMainWnd(), core::WM_HOST_SESSION, 0, core::kSessionEnded);

    if (flags_.connectionLost.load()) {
        if (flags_.loggedInElsewhere.load()) {
            Step("ShowElsewhereTip");
            context_.noticePop.ShowTip(kLoggedInElsewhereTip);
        }
        CloseAllWindows(/*final=*/false);
    } else if (flags_.userLogoutRequested.load()) {
        CloseAllWindows(/*final=*/true);
    } else if (flags_.loggedInElsewhere.load()) {
        CloseAllWindows(/*final=*/true);
        Step("ShowElsewhereTip");
        context_.noticePop.ShowTip(kLoggedInElsewhereTip);
    } else {
        CloseAllWindows(/*final=*/false);
        Step("StartAutoRelogin");
        if (loginPanel_) loginPanel_->StartAutoRelogin();
    }

    Step("EmptyContactTrees");
    doors.contacts->EmptyContactTrees(context_.config.HasRecentContact != 0);

    Step("SwitchToPreLogin");
    SwitchInterface(core::ClientInterface::PreLogin);

    Step("WriteSharedFlag");
    WriteSharedFlag("N");

    Step("StopSessionServices");
    doors.libraries->AudioUnregister();
    doors.libraries->MailPanelClose();
    doors.shell->StopSessionMembers();
    doors.libraries->WatchStopMonitor();
    flags_.loggedIn = false;
    flags_.loginStat = 0;

    Step("CloseNotificationHandles");
    doors.pump->CloseSessionHandles();

    Step("ClearHostTitle");
    static constexpr char kEmptyTitle[] = "";
    windows.SendMessage(HostMainWnd(), core::WM_HOST_TITLE, 0, os::ToLParam(kEmptyTitle));

    Step("KillSessionTimers");
    doors.shell->KillContactPaneTimer();
    if (mainPanel_ && mainPanel_->IsWindow()) mainPanel_->KillTimer(CWndChild::kSessionTimerId);
    if (loginPanel_ && loginPanel_->EndTimeoutWatch()) Log("关闭登录超时检测线程");

    Step("RecreateSessionObject");
    doors.shell->RecreateSessionObject();
}

// ---- Closing windows

void CWindowManager::CloseAllWindows(bool final) {
    core::Doors& doors = context_.doors();
    os::WindowSystem& windows = context_.windows;

    Step(final ? "CloseAllWindows(final)" : "CloseAllWindows(not final)");
    // Newest first; a window that closes leaves the registry by itself, so walk a copy.
    const std::vector<core::ChatWindow*> open = ChatWindows();
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        windows.SendMessage((*it)->hwnd(), core::WM_CHAT_SHUTDOWN, 0,
                            final ? core::kCloseFinal : core::kCloseNotFinal);
    }
    if (final) chatWindows_.Clear();

    doors.shell->ClosePanePopups();
    doors.shell->DropSessionImages();
    if (windows.IsWindow(doors.settings->SettingsDialog())) {
        doors.settings->DestroySettingsDialog();
    }

    doors.libraries->CustomerServiceClear();

    const os::HWND history = doors.history->Window();
    if (windows.IsWindow(history)) {
        windows.SendMessage(history, os::WM_CLOSE);
        doors.history->Forget();
    }
    const os::HWND navigator = doors.history->NavigatorWindow();
    if (windows.IsWindow(navigator)) windows.SendMessage(navigator, os::WM_CLOSE);

    if (final) {
        pending_.Clear();
        windows.SendMessage(HostMainWnd(), core::WM_HOST_TRAY, 0, 0);
    }

    doors.shell->StopOwnedMembers();
    if (!windows.IsWindow(LoginPanel()) && doors.shell->PhoneFlag()) {
        doors.shell->ResetPhonePanes();
    }

    context_.sharedUtil.WritePreConfig();
}

void CWindowManager::CloseNamedDialogs() {
    os::WindowSystem& windows = context_.windows;
    const std::string& browserTitle = context_.config.StartupIE.Title;
    std::vector<os::HWND> doomed;
    windows.EnumWindows([&](os::HWND hwnd) {
        const std::string title = windows.GetWindowText(hwnd);
        // An empty configured title names no window (it would match untitled ones).
        bool named = !browserTitle.empty() && title == browserTitle;
        for (std::string_view dialog : kNamedDialogTitles) named = named || title == dialog;
        if (named) doomed.push_back(hwnd);
        return true;
    });
    for (os::HWND hwnd : doomed) windows.SendMessage(hwnd, os::WM_CLOSE);
}

// ---- The exit confirmation

bool CWindowManager::CanLogout() {
    if (flags_.connectionLost.load()) return true;

    constexpr os::UINT kQuestion = os::MB_YESNO | os::MB_ICONQUESTION;
    core::Doors& doors = context_.doors();
    if (doors.libraries->CustomerServiceChatingCount() != 0) {
        const std::string text =
            context_.config.CSRoomTitle + " 还有会话没有结束。\r\n\r\n确定退出？";
        if (context_.prompter.MessageBox(text, os::kDefaultCaption, kQuestion) != os::IDYES) {
            return false;
        }
    }
    if (flags_.busyWithServer.load()) {
        const char* text = "正在和服务端交互数据，现在退出可能会导致数据错误！\r\n\r\n确定退出？";
        if (context_.prompter.MessageBox(text, os::kDefaultCaption, kQuestion) != os::IDYES) {
            return false;
        }
        doors.contacts->StopServerWork();
        flags_.busyWithServer = false;
    }
    return true;
}
