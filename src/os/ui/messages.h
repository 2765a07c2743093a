#pragma once
// Window message numbers, parameter types and the small helpers that go with them, numbered
// as Windows numbers them so that handler code compares against the familiar values.
// Pointers travel in WPARAM/LPARAM as integers, as they do on Windows.

#include <cstdint>

#include "os/sys/clock.h"
#include "os/ui/hwnd.h"

namespace os {

using UINT = std::uint32_t;
using WPARAM = std::uint64_t;
using LPARAM = std::int64_t;
using LRESULT = std::int64_t;
using ATOM = std::uint16_t;

// One message as a queue holds it and a get-message hook sees it.
struct Msg {
    HWND hwnd;  // null for a thread message
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    Millis time = 0;  // the system clock's Now() when the message was queued
};

// ---- Messages
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;  // lParam: const Window::CreateParams*
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;  // lParam: MAKELPARAM(width, height) of the new size
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;  // lParam: const char* (NUL-terminated GBK)
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;  // wParam: 1 shown, 0 hidden
inline constexpr UINT WM_COPYDATA = 0x004A;
inline constexpr UINT WM_NOTIFY = 0x004E;  // wParam: control id; lParam: ControlNotification*
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_KEYDOWN = 0x0100;  // wParam: virtual key
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;     // wParam: MAKEWPARAM(id, code)
inline constexpr UINT WM_SYSCOMMAND = 0x0112;  // wParam: SC_*
inline constexpr UINT WM_TIMER = 0x0113;       // wParam: timer id
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;  // lParam: MAKELPARAM(x, y)
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
// Files dropped on the window, as from a file manager. lParam: const std::vector<std::string>*
// holding the paths (GBK), valid only during the SendMessage that carries it; wParam 0.
// A window that takes no drops answers 0 (the chat window takes them with file transfer).
inline constexpr UINT WM_DROPFILES = 0x0233;
inline constexpr UINT WM_HOTKEY = 0x0312;  // wParam: hot key id; lParam: MAKELPARAM(mods, vk)
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

// ---- WM_SYSCOMMAND codes
inline constexpr WPARAM SC_MINIMIZE = 0xF020;
inline constexpr WPARAM SC_MAXIMIZE = 0xF030;
inline constexpr WPARAM SC_CLOSE = 0xF060;
inline constexpr WPARAM SC_RESTORE = 0xF120;

// ---- Dialog and message-box results
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
// The id that static labels share; several controls of one window may carry it.
inline constexpr int IDC_STATIC = -1;

// ---- ShowWindow commands
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;
inline constexpr int SW_SHOWDEFAULT = 10;
inline constexpr int SW_FORCEMINIMIZE = 11;

// ---- SetWindowPos flags
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;

// ---- Virtual keys
inline constexpr UINT VK_BACK = 0x08;
inline constexpr UINT VK_TAB = 0x09;
inline constexpr UINT VK_RETURN = 0x0D;
inline constexpr UINT VK_SHIFT = 0x10;
inline constexpr UINT VK_CONTROL = 0x11;
inline constexpr UINT VK_MENU = 0x12;  // Alt
inline constexpr UINT VK_ESCAPE = 0x1B;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_PRIOR = 0x21;
inline constexpr UINT VK_NEXT = 0x22;
inline constexpr UINT VK_END = 0x23;
inline constexpr UINT VK_HOME = 0x24;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;
inline constexpr UINT VK_INSERT = 0x2D;
inline constexpr UINT VK_DELETE = 0x2E;
inline constexpr UINT VK_F1 = 0x70;
inline constexpr UINT VK_F2 = 0x71;
inline constexpr UINT VK_F3 = 0x72;
inline constexpr UINT VK_F4 = 0x73;
inline constexpr UINT VK_F5 = 0x74;
inline constexpr UINT VK_F6 = 0x75;
inline constexpr UINT VK_F7 = 0x76;
inline constexpr UINT VK_F8 = 0x77;
inline constexpr UINT VK_F9 = 0x78;
inline constexpr UINT VK_F10 = 0x79;
inline constexpr UINT VK_F11 = 0x7A;
inline constexpr UINT VK_F12 = 0x7B;
inline constexpr UINT VK_LSHIFT = 0xA0;
inline constexpr UINT VK_RSHIFT = 0xA1;
inline constexpr UINT VK_LCONTROL = 0xA2;
inline constexpr UINT VK_RCONTROL = 0xA3;
inline constexpr UINT VK_LMENU = 0xA4;
inline constexpr UINT VK_RMENU = 0xA5;
// Letters and digits are their ASCII codes: 'A' (0x41) .. 'Z', '0' .. '9'.

// ---- Hot key modifiers
inline constexpr UINT MOD_ALT = 0x0001;
inline constexpr UINT MOD_CONTROL = 0x0002;
inline constexpr UINT MOD_SHIFT = 0x0004;
inline constexpr UINT MOD_WIN = 0x0008;
inline constexpr UINT MOD_NOREPEAT = 0x4000;  // accepted and ignored: keys here never repeat

// ---- Key messages
// The bit of a key message's lParam that says Alt was held (the context code).
inline constexpr LPARAM KEY_ALT_CONTEXT = LPARAM{1} << 29;
constexpr bool IsKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR ||
           message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

// ---- Packing two 16-bit halves into a parameter
constexpr WPARAM MAKEWPARAM(std::uint32_t low, std::uint32_t high) {
    return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr LPARAM MAKELPARAM(std::uint32_t low, std::uint32_t high) {
    return static_cast<LPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr LRESULT MAKELRESULT(std::uint32_t low, std::uint32_t high) {
    return static_cast<LRESULT>(MAKELPARAM(low, high));
}
constexpr std::uint16_t LOWORD(std::uint64_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFFu);
}
constexpr std::uint16_t HIWORD(std::uint64_t value) {
    return static_cast<std::uint16_t>((value >> 16) & 0xFFFFu);
}
// Signed halves, for coordinates packed into lParam.
constexpr std::int16_t GET_X_LPARAM(LPARAM value) {
    return static_cast<std::int16_t>(LOWORD(value));
}
constexpr std::int16_t GET_Y_LPARAM(LPARAM value) {
    return static_cast<std::int16_t>(HIWORD(value));
}

// Pointers in parameters.
template <typename T>
LPARAM ToLParam(T* pointer) {
    return static_cast<LPARAM>(reinterpret_cast<std::intptr_t>(pointer));
}
template <typename T>
T* FromLParam(LPARAM value) {
    return reinterpret_cast<T*>(static_cast<std::intptr_t>(value));
}

}  // namespace os
