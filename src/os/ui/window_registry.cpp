// The registry of live windows: creating and retiring handles, reading and changing window
// state, finding windows.

#include <algorithm>
#include <string>

#include "os/ui/window_system_impl.h"

namespace os {

// ---- Registry

const WindowEntry* WindowSystem::Impl::FindLocked(HWND hwnd) const {
    auto it = windows.find(hwnd.value());
    return it == windows.end() ? nullptr : &it->second;
}

WindowEntry* WindowSystem::Impl::FindLocked(HWND hwnd) {
    auto it = windows.find(hwnd.value());
    return it == windows.end() ? nullptr : &it->second;
}

Window* WindowSystem::Impl::OwnedWindow(HWND hwnd) const {
    std::lock_guard guard(mutex);
    const WindowEntry* entry = FindLocked(hwnd);
    if (!entry || entry->queue->owner != std::this_thread::get_id()) return nullptr;
    return entry->window;
}

void WindowSystem::Impl::CheckOwnerLocked(const WindowEntry& entry, HWND hwnd,
                                          std::string_view call) const {
    // A window whose thread has ended belongs to nobody any more: whoever holds the object
    // may destroy it, as Windows destroys the windows of an ended thread.
    if (entry.queue->IsClosed()) return;
    CheckOwnerThread(
        entry.queue->owner, call,
        [&] {
            return "window " + std::to_string(hwnd.value()) + " \"" + entry.title + "\" (class " +
                   entry.className + ")";
        },
        [&] { return entry.queue->ownerName; });
}

HWND WindowSystem::Impl::Register(Window* window, const Window::CreateParams& params,
                                  std::shared_ptr<ThreadQueue> queue) {
    std::lock_guard guard(mutex);
    if (!IsClassRegisteredLocked(params.className)) return HWND();
    if (params.parent && !FindLocked(params.parent)) return HWND();
    if (params.owner && !FindLocked(params.owner)) return HWND();
    if (nextHandle == 0) return HWND();  // every 32-bit handle has been issued
    HWND hwnd(nextHandle++);
    WindowEntry entry;
    entry.window = window;
    entry.queue = std::move(queue);
    entry.className = params.className;
    entry.title = params.title;
    entry.parent = params.parent;
    entry.owner = params.owner;
    entry.rect = params.rect;
    entry.visible = params.visible;
    entry.enabled = params.enabled;
    entry.processId = params.processId != 0 ? params.processId : system.processId();
    windows.emplace(hwnd.value(), std::move(entry));
    return hwnd;
}

void WindowSystem::Impl::Destroy(Window* window, bool notify) {
    window->destroying_ = true;
    const HWND hwnd = window->hwnd_;
    // Children and owned windows go first, newest first. Those of another thread cannot be
    // destroyed from here; they are cut loose instead.
    std::vector<Window*> dependents;
    {
        std::lock_guard guard(mutex);
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
            WindowEntry& entry = it->second;
            if (entry.parent != hwnd && entry.owner != hwnd) continue;
            if (entry.queue->owner == std::this_thread::get_id()) {
                if (!entry.window->destroying_) dependents.push_back(entry.window);
            } else {
                if (entry.parent == hwnd) entry.parent = HWND();
                if (entry.owner == hwnd) entry.owner = HWND();
            }
        }
    }
    for (Window* dependent : dependents) {
        // A dependent's own WM_DESTROY may have destroyed a later one meanwhile.
        if (dependent->alive_ && !dependent->destroying_) Destroy(dependent, true);
    }
    if (notify) window->HandleMessage(WM_DESTROY, 0, 0);
    Retire(window);
    if (!notify) return;
    if (window->dispatchDepth_ > 0) {
        window->pendingNcDestroy_ = true;  // runs when its handler returns
    } else {
        FinishNcDestroy(window);
    }
}

void WindowSystem::Impl::Retire(Window* window) {
    const HWND hwnd = window->hwnd_;
    std::shared_ptr<ThreadQueue> queue;
    {
        std::lock_guard guard(mutex);
        auto it = windows.find(hwnd.value());
        if (it == windows.end()) return;
        queue = it->second.queue;
        windows.erase(it);
        if (foreground == hwnd) foreground = HWND();
        std::erase_if(hotKeys, [hwnd](const HotKey& key) { return key.hwnd == hwnd; });
    }
    window->alive_ = false;
    Report(ChangeKind::Destroyed, hwnd);
    // Timers belong to the owner thread, which is the calling one.
    std::erase_if(queue->timers, [hwnd](const ThreadQueue::Timer& t) { return t.hwnd == hwnd; });
    queue->RecomputeNextTimerDeadline();
    queue->RemoveItemsFor(hwnd);
}

void WindowSystem::Impl::FinishNcDestroy(Window* window) {
    std::unique_ptr<Window> owned;
    {
        std::lock_guard guard(mutex);
        auto it = adopted.find(window);
        if (it != adopted.end()) {
            owned = std::move(it->second);
            adopted.erase(it);
        }
    }
    window->PostNcDestroy();  // may delete the window unless the system owns it
    owned.reset();
}

bool WindowSystem::Impl::OnOwnerThread(HWND hwnd, const std::function<void()>& change) {
    std::shared_ptr<ThreadQueue> queue;
    {
        std::lock_guard guard(mutex);
        const WindowEntry* entry = FindLocked(hwnd);
        if (!entry) return false;
        queue = entry->queue;
    }
    if (queue->owner == std::this_thread::get_id()) {
        change();
        return true;
    }
    return system.SendTask(hwnd, change);
}

// ---- Reading window state

bool WindowSystem::IsWindow(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    return impl_->FindLocked(hwnd) != nullptr;
}

Window* WindowSystem::FromHandle(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    if (!entry) return nullptr;
    impl_->CheckOwnerLocked(*entry, hwnd, "WindowSystem::FromHandle");
    return entry->window;
}

std::string WindowSystem::GetClassName(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    return entry ? entry->className : std::string();
}

std::string WindowSystem::GetWindowText(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    return entry ? entry->title : std::string();
}

Rect WindowSystem::GetWindowRect(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    return entry ? entry->rect : Rect();
}

HWND WindowSystem::GetParent(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    return entry ? entry->parent : HWND();
}

HWND WindowSystem::GetOwner(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    return entry ? entry->owner : HWND();
}

bool WindowSystem::IsWindowVisible(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    if (!entry) return false;
    for (; entry; entry = entry->parent ? impl_->FindLocked(entry->parent) : nullptr) {
        if (!entry->visible) return false;
    }
    return true;
}

bool WindowSystem::IsWindowEnabled(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    return entry && entry->enabled;
}

bool WindowSystem::IsIconic(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    return entry && entry->show == ShowState::Minimized;
}

bool WindowSystem::IsZoomed(HWND hwnd) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    return entry && entry->show == ShowState::Maximized;
}

std::uint32_t WindowSystem::GetWindowThreadProcessId(HWND hwnd, ThreadQueueId* threadQueue) const {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    if (threadQueue) *threadQueue = entry ? entry->queue->id : 0;
    return entry ? entry->processId : 0;
}

bool WindowSystem::IsOwnedByCallingThread(HWND hwnd) const {
    return impl_->OwnedWindow(hwnd) != nullptr;
}

// ---- Changing window state

bool WindowSystem::ShowWindow(HWND hwnd, int command) {
    bool wasVisible = false;
    impl_->OnOwnerThread(hwnd, [&] {
        bool nowVisible = false;
        {
            std::lock_guard guard(impl_->mutex);
            WindowEntry* entry = impl_->FindLocked(hwnd);
            if (!entry) return;
            wasVisible = entry->visible;
            switch (command) {
                case SW_HIDE:
                    entry->visible = false;
                    break;
                case SW_SHOWNORMAL:
                case SW_SHOWNOACTIVATE:
                case SW_SHOWDEFAULT:
                    entry->visible = true;
                    entry->show = ShowState::Normal;
                    break;
                case SW_SHOWMINIMIZED:
                case SW_MINIMIZE:
                case SW_SHOWMINNOACTIVE:
                case SW_FORCEMINIMIZE:
                    if (entry->show != ShowState::Minimized) {
                        entry->restoreToMaximized = entry->show == ShowState::Maximized;
                    }
                    entry->visible = true;
                    entry->show = ShowState::Minimized;
                    break;
                case SW_SHOWMAXIMIZED:
                    entry->visible = true;
                    entry->show = ShowState::Maximized;
                    break;
                case SW_SHOW:
                case SW_SHOWNA:
                    entry->visible = true;
                    break;
                case SW_RESTORE:
                    entry->visible = true;
                    if (entry->show == ShowState::Minimized && entry->restoreToMaximized) {
                        entry->show = ShowState::Maximized;
                    } else {
                        entry->show = ShowState::Normal;
                    }
                    break;
                default:
                    break;  // unknown command: nothing changes
            }
            nowVisible = entry->visible;
        }
        if (nowVisible != wasVisible) {
            SendMessage(hwnd, WM_SHOWWINDOW, nowVisible ? 1 : 0, 0);
            impl_->Report(nowVisible ? ChangeKind::Shown : ChangeKind::Hidden, hwnd);
        }
    });
    return wasVisible;
}

bool WindowSystem::EnableWindow(HWND hwnd, bool enable) {
    return impl_->OnOwnerThread(hwnd, [&] {
        bool changed = false;
        {
            std::lock_guard guard(impl_->mutex);
            if (WindowEntry* entry = impl_->FindLocked(hwnd)) {
                changed = entry->enabled != enable;
                entry->enabled = enable;
            }
        }
        if (changed) impl_->Report(ChangeKind::Enabled, hwnd);
    });
}

bool WindowSystem::SetWindowText(HWND hwnd, std::string_view text) {
    if (!IsWindow(hwnd)) return false;
    std::string copy(text);  // WM_SETTEXT carries a NUL-terminated text
    SendMessage(hwnd, WM_SETTEXT, 0, ToLParam(copy.c_str()));
    return true;
}

bool WindowSystem::MoveWindow(HWND hwnd, const Rect& rect) {
    return SetWindowPos(hwnd, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER);
}

bool WindowSystem::SetWindowPos(HWND hwnd, int x, int y, int width, int height, UINT flags) {
    bool done = impl_->OnOwnerThread(hwnd, [&] {
        bool moved = false;
        bool resized = false;
        Rect now;
        {
            std::lock_guard guard(impl_->mutex);
            WindowEntry* entry = impl_->FindLocked(hwnd);
            if (!entry) return;
            Rect& r = entry->rect;
            const Rect before = r;
            if (!(flags & SWP_NOMOVE)) {
                r = Rect::FromSize(x, y, r.Width(), r.Height());
            }
            if (!(flags & SWP_NOSIZE)) {
                r = Rect::FromSize(r.left, r.top, width, height);
            }
            moved = r != before;
            resized = r.Width() != before.Width() || r.Height() != before.Height();
            now = r;
        }
        // A new size is the window's cue to lay its controls out again.
        if (resized) {
            SendMessage(hwnd, WM_SIZE, 0,
                        MAKELPARAM(static_cast<std::uint32_t>(std::max(now.Width(), 0)),
                                   static_cast<std::uint32_t>(std::max(now.Height(), 0))));
        }
        if (moved) impl_->Report(ChangeKind::Moved, hwnd);
    });
    if (done && (flags & SWP_SHOWWINDOW)) ShowWindow(hwnd, SW_SHOWNA);
    if (done && (flags & SWP_HIDEWINDOW)) ShowWindow(hwnd, SW_HIDE);
    return done;
}

bool WindowSystem::DestroyWindow(HWND hwnd) {
    {
        std::lock_guard guard(impl_->mutex);
        if (const WindowEntry* entry = impl_->FindLocked(hwnd)) {
            impl_->CheckOwnerLocked(*entry, hwnd, "WindowSystem::DestroyWindow");
        }
    }
    Window* window = impl_->OwnedWindow(hwnd);
    if (!window || window->destroying_) return false;
    impl_->Destroy(window, true);
    return true;
}

// ---- Finding windows

HWND WindowSystem::FindWindow(std::string_view className, std::string_view title) const {
    std::lock_guard guard(impl_->mutex);
    for (const auto& [handle, entry] : impl_->windows) {
        if (entry.parent) continue;
        if (!className.empty() && !EqualsIgnoringAsciiCase(entry.className, className)) continue;
        if (!title.empty() && entry.title != title) continue;
        return HWND(handle);
    }
    return HWND();
}

void WindowSystem::EnumWindows(const std::function<bool(HWND)>& callback) const {
    std::vector<HWND> list;
    {
        std::lock_guard guard(impl_->mutex);
        for (const auto& [handle, entry] : impl_->windows) {
            if (!entry.parent) list.emplace_back(handle);
        }
    }
    for (HWND hwnd : list) {
        if (!IsWindow(hwnd)) continue;  // destroyed by an earlier callback
        if (!callback(hwnd)) return;
    }
}

void WindowSystem::EnumChildWindows(HWND parent, const std::function<bool(HWND)>& callback) const {
    std::vector<HWND> list;
    {
        std::lock_guard guard(impl_->mutex);
        for (const auto& [handle, entry] : impl_->windows) {
            if (parent && entry.parent == parent) list.emplace_back(handle);
        }
    }
    for (HWND hwnd : list) {
        if (!IsWindow(hwnd)) continue;  // destroyed by an earlier callback
        if (!callback(hwnd)) return;
    }
}

// ---- Foreground

bool WindowSystem::SetForegroundWindow(HWND hwnd) {
    std::lock_guard guard(impl_->mutex);
    const WindowEntry* entry = impl_->FindLocked(hwnd);
    if (!entry) return false;
    HWND top = hwnd;
    while (entry->parent) {
        const WindowEntry* parent = impl_->FindLocked(entry->parent);
        if (!parent) break;
        top = entry->parent;
        entry = parent;
    }
    impl_->foreground = top;
    return true;
}

HWND WindowSystem::GetForegroundWindow() const {
    std::lock_guard guard(impl_->mutex);
    return impl_->foreground;
}

}  // namespace os
