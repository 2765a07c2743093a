// CWindowManager: the message hook, keyboard routing and menu pre-translation.
#include "core/doors.h"
#include "core/doors/feature_libraries.h"
#include "core/doors/history_service.h"
#include "core/doors/main_window_shell.h"
#include "core/doors/room_service.h"
#include "core/window_messages.h"
#include "host_api/window_manager.h"
#include "login/dlg_login.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"

namespace {

// A class name is read into a buffer of this size, as the client always has.
constexpr std::size_t kClassNameMax = 260;

}  // namespace

void CWindowManager::OnHookedMessage(os::Msg& message) {
    if (message.message == os::WM_KEYDOWN || message.message == os::WM_SYSKEYDOWN) {
        if (OnKeyDown(static_cast<int>(message.wParam), static_cast<int>(message.lParam)) != 0) {
            message.wParam = 0;  // consumed: the key has no further effect
        }
        return;
    }
    if (message.message == os::WM_LBUTTONDOWN && context_.windows.IsWindow(message.hwnd)) {
        const os::Point point{os::GET_X_LPARAM(message.lParam), os::GET_Y_LPARAM(message.lParam)};
        if (context_.windows.GetWindowRect(HostMainWnd()).Contains(point) && IsLoggedIn()) {
            context_.doors().shell->CloseToolBarPopupUnlessOn(message.hwnd);
        }
    }
}

int CWindowManager::OnKeyDown(int key, int flags) {
    core::Doors& doors = context_.doors();
    os::WindowSystem& windows = context_.windows;
    const os::HWND foreground = windows.GetForegroundWindow();

    if (foreground && foreground == HostMainWnd()) {
        if (loginPanel_ && loginPanel_->IsWindow()) {
            if (key == static_cast<int>(os::VK_TAB)) {
                loginPanel_->FocusNextField();
            } else if (key == static_cast<int>(os::VK_RETURN)) {
                loginPanel_->SendMessage(os::WM_COMMAND, os::MAKEWPARAM(core::IDC_LOGIN, 0), 0);
            }
        }
        if (doors.libraries->CustomerServiceWindowExists() &&
            doors.libraries->CustomerServiceKeyDown(key, flags)) {
            return 1;
        }
        doors.shell->ToolBarKeyDown(key, flags);
        doors.shell->ChannelWindowKeyDown(key, flags);
        return 0;
    }

    const os::HWND history = doors.history->Window();
    if (history && windows.IsWindow(history) && foreground == history) {
        return doors.history->OnKeyDown(key, flags);
    }

    const std::string className = windows.GetClassName(foreground).substr(0, kClassNameMax - 1);
    if (os::EqualsNoCase(className, core::kChatWindowClass)) {
        // The window object may be read only on its own thread, the UI thread.
        if (windows.IsOwnedByCallingThread(foreground)) {
            auto* chat = dynamic_cast<core::ChatWindow*>(windows.FromHandle(foreground));
            if (chat != nullptr && chat->OnChatKeyDown(key, flags)) return 1;
        }
    } else if (os::EqualsNoCase(className, core::kRoomWindowClass)) {
        if (doors.rooms->OnRoomKeyDown(foreground, key, flags)) return 1;
    }

    if (IsGoverUser()) return 0;
    if (doors.libraries->CustomerServiceIsChatWindow(foreground)) {
        return doors.libraries->CustomerServiceChatKeyDown(key, flags);
    }
    return 0;
}

bool CWindowManager::PreTranslateMessageForMenu(os::Msg& message, int kind) {
    switch (kind) {
        case 0:
            return loginPanel_ && loginPanel_->IsWindow() &&
                   loginPanel_->PreTranslateMessage(message);
        case 1:
            return context_.doors().shell->ToolBarPreTranslateMessage(message);
        case 2:
        case 3:
            // The active window: the top-level windows of the client take their keys through
            // OnKeyDown and pre-translate nothing, so the message goes on (MFC's default).
            return false;
        default:
            return true;
    }
}
