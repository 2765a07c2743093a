#include "host_api/host_window.h"

HostWindow::HostWindow(os::WindowSystem& system, const HostWindows& owner)
    : os::Window(system), owner_(owner) {}

os::LRESULT HostWindow::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    os::LRESULT result = 0;
    if (owner_.Handle(hwnd(), message, wParam, lParam, result)) return result;
    return os::Window::OnMessage(message, wParam, lParam);
}

void HostWindows::SetHandler(QorvHostHandler handler, void* user) {
    user_ = user;
    handler_ = handler;
}

bool HostWindows::Handle(os::HWND window, os::UINT message, os::WPARAM wParam, os::LPARAM lParam,
                         os::LRESULT& result) const {
    const QorvHostHandler handler = handler_.load();
    if (handler == nullptr) return false;
    result = handler(user_.load(), window.value(), message, wParam, lParam);
    return true;
}

os::HWND HostWindows::CreateFrame(const char* title, const os::Rect& rect) {
    system_.RegisterClass(kHostFrameClass);  // false once registered: that is fine
    auto frame = std::make_unique<HostWindow>(system_, *this);
    os::Window::CreateParams params;
    params.className = kHostFrameClass;
    params.title = title != nullptr ? title : "";
    params.rect = rect;
    params.visible = true;
    if (!frame->Create(params)) return {};
    return system_.Adopt(std::move(frame))->hwnd();
}

os::HWND HostWindows::CreateClient(os::HWND frame) {
    if (!system_.IsWindow(frame)) return {};
    system_.RegisterClass(kHostClientClass);
    const os::Rect outer = system_.GetWindowRect(frame);
    auto client = std::make_unique<HostWindow>(system_, *this);
    os::Window::CreateParams params;
    params.className = kHostClientClass;
    params.parent = frame;
    params.rect = os::Rect::FromSize(0, 0, outer.Width(), outer.Height());
    params.visible = true;
    if (!client->Create(params)) return {};
    return system_.Adopt(std::move(client))->hwnd();
}
