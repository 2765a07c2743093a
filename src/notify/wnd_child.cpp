#include "notify/wnd_child.h"

#include "core/window_manager.h"

CWndChild::CWndChild(core::ClientContext& context)
    : os::Window(context.windows), context_(context) {}

bool CWndChild::Create(os::HWND parent, const os::Rect& rect, bool visible) {
    CreateParams params;
    params.parent = parent;
    params.rect = rect;
    params.visible = visible;
    return os::Window::Create(params);
}

os::LRESULT CWndChild::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    if (message == os::WM_HOTKEY && pickHotKeyId_ != 0 &&
        wParam == static_cast<os::WPARAM>(pickHotKeyId_)) {
        if (context_.hasWindowManager()) {
            context_.windowManager().PickNextPendingMessage(core::PickTrigger::HotKey);
        }
        return 0;
    }
    if (notifyHandler) {
        if (auto answer = notifyHandler(message, wParam, lParam)) return *answer;
    }
    return os::Window::OnMessage(message, wParam, lParam);
}
