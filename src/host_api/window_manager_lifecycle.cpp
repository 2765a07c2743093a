// CWindowManager: start-up (InitWindows), tear-down (FreeWindows) and the host plumbing
// that sizes and reskins the client.
#include <cstring>

#include "config/auto_run.h"
#include "config/client_config.h"
#include "config/config_loader.h"
#include "core/doors.h"
#include "core/doors/feature_libraries.h"
#include "core/doors/history_service.h"
#include "core/doors/main_window_shell.h"
#include "core/doors/notification_pump.h"
#include "core/doors/room_service.h"
#include "core/doors/settings_service.h"
#include "core/doors/start_parameters.h"
#include "core/doors/update_service.h"
#include "core/window_messages.h"
#include "host_api/ipmsg_plugin.h"
#include "host_api/window_manager.h"
#include "login/dlg_login.h"
#include "notify/wnd_child.h"
#include "os/services/log.h"
#include "os/sys/file_ops.h"
#include "os/sys/named_objects.h"
#include "platform/services/notice_pop.h"
#include "platform/services/shared_util.h"

void CWindowManager::InitWindows(os::HWND hostMainWnd, os::HWND hostClientWnd) {
    core::Doors& doors = context_.doors();
    LogUnpluggedDoors();

    // COM has no counterpart here; the step stays so the order reads as it always has.
    Step("InitCom");

    Step("ApplyPendingFileUpdates");
    doors.updates->ApplyPendingFileUpdates();
    Step("CheckProgramUpdate");
    doors.updates->CheckProgramUpdate();

    Step("TakeServerIndex");
    currentServerIndex_ = initialServerIndex_ = context_.sharedUtil.nServerSel();

    Step("LoadConfig");
    config::ConfigLoader(context_.configContext()).LoadConfig(context_.config);
    if (context_.config.AutoRun != 0) {
        Step("SetAutoRun");
        config::SetAutoRun(config::AutoStart::Enabled, context_.configContext());
    }

    Step("RegisterWindowClasses");
    RegisterWindowClasses();
    Step("InstallMessageHook");
    InstallMessageHook();
    Step("OpenSharedBlock");
    OpenSharedBlock();

    Step("ParseStartParameters");
    doors.startParameters->Parse(context_.startCommandLine);

    Step("InitTipManager");
    context_.noticePop.InitTipManager(hostMainWnd);
    hostMainWnd_ = hostMainWnd;
    hostClientWnd_ = hostClientWnd;

    Step("CreatePanels");
    CreatePanels();

    Step("InitNotificationPump");
    doors.pump->Init();
    Step("InitToolTip");
    doors.shell->InitToolTip();

    Step("RegisterPickHotKey");
    RegisterPickHotKey();

    Step("InitFeatureCallbacks");
    doors.libraries->GifOleInit(MainPanel(), core::WM_GIFOLE_NOTIFY);
    doors.libraries->MailPanelSetCallBack(MainPanel(), core::WM_MAIL_NOTIFY);

    Step("InitConferenceCentre");
    doors.rooms->Init();

    Step("CreateCacheFolder");
    CreateCacheFolder();

    Step("LoadPlugin");
    LoadPlugin();

    Step("BeginLoginPanel");
    if (loginPanel_) loginPanel_->Begin();

    Step("CreateSessionObject");
    doors.shell->RecreateSessionObject();
}

void CWindowManager::RegisterWindowClasses() {
    // Copies of the dialog class under names any code can find the windows by.
    context_.windows.RegisterClass(core::kChatWindowClass);
    context_.windows.RegisterClass(core::kRoomWindowClass);
}

void CWindowManager::InstallMessageHook() {
    if (messageHook_ != 0) return;
    messageHook_ =
        context_.windows.SetGetMessageHook([this](os::Msg& message) { OnHookedMessage(message); });
}

void CWindowManager::OpenSharedBlock() {
    // Other processes read this block; without it the client goes on all the same.
    sharedBlock_ = os::SharedMemory::Create(context_.namedObjects, core::kSharedBlockName,
                                            core::kSharedBlockSize, nullptr);
}

void CWindowManager::CreatePanels() {
    const os::Rect client = context_.windows.GetWindowRect(HostClientWnd());
    const os::Rect area = os::Rect::FromSize(0, 0, client.Width(), client.Height());

    mainPanel_ = std::make_unique<CWndChild>(context_);
    if (mainPanel_->Create(HostClientWnd(), area, /*visible=*/false)) {
        mainPanelWnd_ = mainPanel_->hwnd();
    } else {
        Log("创建主面板失败");
    }
    loginPanel_ = std::make_unique<CDlgLogin>(context_);
    if (loginPanel_->Create(HostClientWnd(), area, /*visible=*/true)) {
        loginPanelWnd_ = loginPanel_->hwnd();
    } else {
        Log("创建登录面板失败");
    }
}

void CWindowManager::RegisterPickHotKey() {
    os::WindowSystem& windows = context_.windows;
    hotKeyAtom_ = windows.GlobalAddAtom(core::kPickMessageKeyName);
    hotKeyRegistered_ = hotKeyAtom_ != 0 && windows.RegisterHotKey(MainPanel(), hotKeyAtom_,
                                                                   core::kPickMessageKeyModifiers,
                                                                   core::kPickMessageKeyCode);
    if (!hotKeyRegistered_) {
        Log("注册消息提取快捷键失败");
        return;
    }
    mainPanel_->SetPickHotKeyId(hotKeyAtom_);
}

void CWindowManager::CreateCacheFolder() {
    const std::string cache = context_.sharedUtil.GetCommanDir() + "cache";
    if (!os::DirectoryExists(cache)) os::CreateDirectories(cache);
}

void CWindowManager::LoadPlugin() {
    if (context_.config.IPMSG == 0) return;
    plugin_ = IpMsgPlugin::Load(context_.folders.appDir + kIpMsgPluginFile, nullptr);
}

void CWindowManager::FreeWindows() {
    core::Doors& doors = context_.doors();

    Step("LogEnterFree");
    Log("Enter CWindowManager::Free()");

    CloseAllWindows(/*final=*/true);

    Step("ReleaseLoginPanel");
    if (loginPanel_) loginPanel_->ReleaseResources();

    Step("CloseSharedBlock");
    if (sharedBlock_) {
        WriteSharedFlag("N");
        sharedBlock_.reset();
    }

    Step("FreeNotificationPump");
    doors.pump->Free();

    Step("FreeTipManager");
    context_.noticePop.FreeTipManager();

    Step("SaveConfig");
    config::ConfigLoader(context_.configContext()).SaveConfig(context_.config);
    doors.settings->SaveUserSettings();

    Step("UnregisterAudio");
    doors.libraries->AudioUnregister();

    Step("UnregisterPickHotKey");
    if (hotKeyRegistered_) {
        context_.windows.UnregisterHotKey(MainPanel(), hotKeyAtom_);
        hotKeyRegistered_ = false;
    }
    if (hotKeyAtom_ != 0) {
        context_.windows.GlobalDeleteAtom(hotKeyAtom_);
        hotKeyAtom_ = 0;
    }

    Step("FreeFeatureLibraries");
    doors.libraries->GifOleUninit();
    doors.libraries->CustomerServiceFree();

    Step("StopPlugin");
    // The plug-in stays loaded; it is only told to stop, and only when it is enabled.
    if (context_.config.IPMSG != 0 && plugin_) plugin_->Stop();
}

void CWindowManager::RecalcClientSize(int cx, int cy) {
    constexpr os::UINT kResizeOnly = os::SWP_NOMOVE | os::SWP_NOZORDER;
    for (os::HWND panel : {MainPanel(), LoginPanel()}) {
        if (context_.windows.IsWindow(panel)) {
            context_.windows.SetWindowPos(panel, 0, 0, cx, cy, kResizeOnly);
        }
    }
}

void CWindowManager::SkinReload() {
    os::WindowSystem& windows = context_.windows;
    for (core::ChatWindow* window : ChatWindows()) {
        windows.SendMessage(HostMainWnd(), core::WM_HOST_SKIN, window->hwnd().ToParam(), 1);
    }
    const os::HWND history = context_.doors().history->Window();
    if (windows.IsWindow(history)) {
        windows.SendMessage(HostMainWnd(), core::WM_HOST_SKIN, history.ToParam(), 0);
    }
}
