#include "os/ui/window.h"

#include <algorithm>

#include "os/ui/window_system_impl.h"

namespace os {

namespace {

// Tree, list and NM_* codes are negative; the rich edit's own codes sit at 0x0700..0x07FF.
// Those travel as WM_NOTIFY, everything else as WM_COMMAND, as on Windows.
bool TravelsAsNotify(int code) { return code < 0 || (code >= 0x0700 && code <= 0x07FF); }

}  // namespace

Window::Window(WindowSystem& system) : system_(&system) {}

Window::~Window() {
    // No virtual calls here: the derived part is gone. Children are still whole objects, so
    // they are destroyed properly; this window's handle is retired without WM_DESTROY.
    if (!system_ || !alive_) return;
    CheckThread("Window::~Window");
    WindowSystem::Impl& impl = *system_->impl_;
    destroying_ = true;
    std::vector<Window*> dependents;
    {
        std::lock_guard guard(impl.mutex);
        for (auto it = impl.windows.rbegin(); it != impl.windows.rend(); ++it) {
            WindowEntry& entry = it->second;
            if (entry.parent != hwnd_ && entry.owner != hwnd_) continue;
            if (entry.queue->owner == std::this_thread::get_id()) {
                dependents.push_back(entry.window);
            } else {
                if (entry.parent == hwnd_) entry.parent = HWND();
                if (entry.owner == hwnd_) entry.owner = HWND();
            }
        }
    }
    for (Window* dependent : dependents) {
        if (dependent->alive_ && !dependent->destroying_) impl.Destroy(dependent, true);
    }
    impl.Retire(this);
}

bool Window::Create(const CreateParams& params) {
    if (!system_ || alive_ || hwnd_) return false;
    WindowSystem::Impl& impl = *system_->impl_;
    HWND hwnd = impl.Register(this, params, impl.CurrentQueue(true));
    if (!hwnd) return false;
    hwnd_ = hwnd;
    alive_ = true;
    if (HandleMessage(WM_CREATE, 0, ToLParam(&params)) == -1) {
        if (alive_ && !destroying_) impl.Destroy(this, false);
        return false;
    }
    // Heard of once the window's handler made it whole (its controls are there).
    if (alive_) impl.Report(WindowSystem::ChangeKind::Created, hwnd_);
    return true;
}

bool Window::DestroyWindow() {
    if (!system_ || !alive_ || destroying_) return false;
    return system_->DestroyWindow(hwnd_);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    ++dispatchDepth_;
    LRESULT result = OnMessage(message, wParam, lParam);
    if (--dispatchDepth_ == 0 && pendingNcDestroy_ && system_) {
        pendingNcDestroy_ = false;
        system_->impl_->FinishNcDestroy(this);  // may delete this: touch nothing after
    }
    return result;
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(message, wParam, lParam);
}

LRESULT Window::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow();
            return 0;
        case WM_SETTEXT: {
            const char* text = FromLParam<const char>(lParam);
            if (!system_ || !alive_) return 0;
            bool changed = false;
            {
                std::lock_guard guard(system_->impl_->mutex);
                if (WindowEntry* entry = system_->impl_->FindLocked(hwnd_)) {
                    const std::string_view title = text ? text : "";
                    changed = entry->title != title;
                    entry->title = title;
                }
            }
            if (changed) system_->impl_->Report(WindowSystem::ChangeKind::Retitled, hwnd_);
            return 1;
        }
        case WM_SYSCOMMAND:
            // The low four bits of the command are used by the system; compare without them.
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessage(WM_CLOSE);
                    break;
                case SC_MINIMIZE:
                    ShowWindow(SW_MINIMIZE);
                    break;
                case SC_MAXIMIZE:
                    ShowWindow(SW_SHOWMAXIMIZED);
                    break;
                case SC_RESTORE:
                    ShowWindow(SW_RESTORE);
                    break;
                default:
                    break;
            }
            return 0;
        default:
            return 0;
    }
}

bool Window::IsWindow() const { return system_ && alive_; }

std::string Window::GetClassName() const { return system_ ? system_->GetClassName(hwnd_) : ""; }
std::string Window::GetWindowText() const { return system_ ? system_->GetWindowText(hwnd_) : ""; }
void Window::SetWindowText(std::string_view text) {
    if (system_) system_->SetWindowText(hwnd_, text);
}
Rect Window::GetWindowRect() const { return system_ ? system_->GetWindowRect(hwnd_) : Rect(); }
bool Window::MoveWindow(const Rect& rect) { return system_ && system_->MoveWindow(hwnd_, rect); }
bool Window::SetWindowPos(int x, int y, int width, int height, UINT flags) {
    return system_ && system_->SetWindowPos(hwnd_, x, y, width, height, flags);
}
bool Window::ShowWindow(int command) { return system_ && system_->ShowWindow(hwnd_, command); }
bool Window::IsWindowVisible() const { return system_ && system_->IsWindowVisible(hwnd_); }
bool Window::IsIconic() const { return system_ && system_->IsIconic(hwnd_); }
bool Window::IsZoomed() const { return system_ && system_->IsZoomed(hwnd_); }
bool Window::EnableWindow(bool enable) { return system_ && system_->EnableWindow(hwnd_, enable); }
bool Window::IsWindowEnabled() const { return system_ && system_->IsWindowEnabled(hwnd_); }
HWND Window::GetParent() const { return system_ ? system_->GetParent(hwnd_) : HWND(); }
HWND Window::GetOwner() const { return system_ ? system_->GetOwner(hwnd_) : HWND(); }

LRESULT Window::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return system_ ? system_->SendMessage(hwnd_, message, wParam, lParam) : 0;
}
bool Window::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return system_ && system_->PostMessage(hwnd_, message, wParam, lParam);
}
bool Window::SetTimer(std::uint64_t id, Millis periodMs) {
    return system_ && alive_ && system_->SetTimer(hwnd_, id, periodMs);
}
bool Window::KillTimer(std::uint64_t id) {
    return system_ && alive_ && system_->KillTimer(hwnd_, id);
}

// ---- Controls

void Window::CheckThread(std::string_view call) const {
    if constexpr (kCheckOwnerThreads) {
        if (!system_ || !alive_) return;  // no handle: nobody owns it yet, or any more
        std::lock_guard guard(system_->impl_->mutex);
        if (const WindowEntry* entry = system_->impl_->FindLocked(hwnd_)) {
            system_->impl_->CheckOwnerLocked(*entry, hwnd_, call);
        }
    }
}

Control* Window::AddControl(std::unique_ptr<Control> control) {
    CheckThread("Window::AddControl");
    if (!control) return nullptr;
    if (control->id() != IDC_STATIC && FindControl(control->id())) return nullptr;
    control->SetNotifySink([this](const ControlNotification& note) { RouteNotification(note); });
    control->SetChangeSink([this](int controlId) {
        if (system_ && alive_) {
            system_->impl_->Report(WindowSystem::ChangeKind::ControlChanged, hwnd_, controlId);
        }
    });
    controls_.push_back(std::move(control));
    Control* added = controls_.back().get();
    // A view that already shows the window adds the control.
    if (system_ && alive_) {
        system_->impl_->Report(WindowSystem::ChangeKind::ControlChanged, hwnd_, added->id());
    }
    return added;
}

Control* Window::FindControl(int id) const {
    CheckThread("Window::FindControl");
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [id](const auto& control) { return control->id() == id; });
    return it == controls_.end() ? nullptr : it->get();
}

std::vector<Control*> Window::Controls() const {
    CheckThread("Window::Controls");
    std::vector<Control*> list;
    list.reserve(controls_.size());
    for (const auto& control : controls_) list.push_back(control.get());
    return list;
}

bool Window::SetFocus(int controlId) {
    CheckThread("Window::SetFocus");
    if (controlId == 0) {
        focusId_ = 0;
        return true;
    }
    Control* control = FindControl(controlId);
    if (!control || !control->visible() || !control->enabled()) return false;
    focusId_ = controlId;
    return true;
}

void Window::RouteNotification(const ControlNotification& note) {
    if (!IsWindow()) return;
    if (TravelsAsNotify(note.code)) {
        SendMessage(WM_NOTIFY, static_cast<WPARAM>(static_cast<std::int64_t>(note.controlId)),
                    ToLParam(&note));
    } else {
        SendMessage(WM_COMMAND,
                    MAKEWPARAM(static_cast<std::uint32_t>(note.controlId),
                               static_cast<std::uint32_t>(note.code)),
                    ToLParam(&note));
    }
}

}  // namespace os
