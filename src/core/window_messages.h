#pragma once
// Window messages, command ids and window class names that the parts of the client send to
// each other and to the host. The host's numbers come from the public host header, so the
// library and a host can never disagree on them.

#include <string_view>

#include "os/ui/messages.h"
#include "qorvdesk/host.h"

namespace core {

// ---- Window classes: copies of the dialog class under names any code can find them by.
inline constexpr std::string_view kChatWindowClass = "KESTRAL_IM_CHATWND";
inline constexpr std::string_view kRoomWindowClass = "KESTRAL_IM_ROOMWND";
// Declared for the windows that own them; not registered at start.
inline constexpr std::string_view kBatchChatWindowClass = "KESTRAL_IM_BATCHCHATWND";
inline constexpr std::string_view kMsnLogonWindowClass = "LOGON_MSN_WND";
inline constexpr std::string_view kServiceChatWindowClass = "KESTRAL_CS_CHATWND";

// ---- Messages between the client's own windows.
// To a chat window: close. lParam kCloseFinal at program end and user log-out,
// kCloseNotFinal when the session ended by itself.
inline constexpr os::UINT WM_CHAT_SHUTDOWN = 0x042F;
inline constexpr os::LPARAM kCloseFinal = 1;
inline constexpr os::LPARAM kCloseNotFinal = 2;
// To the main panel: a notification handed over from the notification thread (wParam: UI
// subcode, lParam: the data), a posted heap copy of an update notice, and the callbacks of
// the animated-picture and mail libraries.
inline constexpr os::UINT WM_IM_NOTIFY = 0x05F4;
inline constexpr os::UINT WM_GIFOLE_NOTIFY = 0x05F6;
inline constexpr os::UINT WM_MAIL_NOTIFY = 0x05F7;
inline constexpr os::UINT WM_IM_NOTIFY_COPY = 0x05FA;

// ---- Messages to the host's main window (the host decides what they do).
inline constexpr os::UINT WM_HOST_SKIN = QORV_WM_HOST_SKIN;
inline constexpr os::UINT WM_HOST_SESSION = QORV_WM_HOST_SESSION;
inline constexpr os::UINT WM_HOST_MENU = QORV_WM_HOST_MENU;
inline constexpr os::UINT WM_HOST_TRAY = QORV_WM_HOST_TRAY;
inline constexpr os::UINT WM_HOST_TABS = QORV_WM_HOST_TABS;
inline constexpr os::UINT WM_HOST_TITLE = QORV_WM_HOST_TITLE;
// WM_HOST_SESSION lParam values.
inline constexpr os::LPARAM kSessionStarted = 0;
inline constexpr os::LPARAM kSessionEnded = 2;
// WM_COMMAND id posted to the host main window when the connection is gone.
inline constexpr int ID_HOST_CONNECTION_LOST = QORV_ID_HOST_CONNECTION_LOST;

// ---- Control and template ids.
// The login panel's login button; WM_COMMAND with this id logs in as if it were pressed.
inline constexpr int IDC_LOGIN = 9004;
// The dialog template of a one-to-one chat window.
inline constexpr int IDD_CHAT = 9001;

// ---- The message-pick hot key: Ctrl+Alt+X, registered under this atom on the main panel.
inline constexpr std::string_view kPickMessageKeyName = "Pick Message Key";
inline constexpr os::UINT kPickMessageKeyModifiers = os::MOD_CONTROL | os::MOD_ALT;
inline constexpr os::UINT kPickMessageKeyCode = 0x58;  // 'X'

static_assert(os::WM_COMMAND == QORV_WM_COMMAND && os::WM_SYSCOMMAND == QORV_WM_SYSCOMMAND);

}  // namespace core
