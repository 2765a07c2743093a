#include "window_views.h"

#include <QMetaObject>
#include <algorithm>

#include "window_view.h"

namespace host {

using qorvdesk::automation::Change;
using qorvdesk::automation::ChangeKind;
using qorvdesk::automation::WindowHandle;

WindowViews::WindowViews(ViewContext& context, WindowHandle frame)
    : context_(context), frame_(frame) {
    subscription_ = context_.driver.Subscribe([this](const Change& change) { Note(change); });
}

WindowViews::~WindowViews() {
    context_.driver.Unsubscribe(subscription_);
    topLevels_.clear();
}

void WindowViews::Register(WindowView& view) { views_[view.handle()] = &view; }

void WindowViews::Unregister(WindowView& view) {
    auto found = views_.find(view.handle());
    if (found != views_.end() && found->second == &view) views_.erase(found);
}

WindowView* WindowViews::Find(WindowHandle window) const {
    auto found = views_.find(window);
    return found == views_.end() ? nullptr : found->second;
}

WindowHandle WindowViews::TopLevelOf(WindowHandle window) const {
    for (int depth = 0; depth < 64; ++depth) {
        const auto info = context_.driver.Describe(window);
        if (!info || info->parent == 0) return window;
        window = info->parent;
    }
    return window;
}

std::vector<WindowView*> WindowViews::TopLevelViews() const {
    std::vector<WindowView*> views;
    for (WindowHandle handle : order_) {
        auto found = topLevels_.find(handle);
        if (found != topLevels_.end() && found->second->isVisible()) {
            views.push_back(found->second.get());
        }
    }
    return views;
}

void WindowViews::Note(const Change& change) {
    // Only noted here: the observer runs inside the library's handlers.
    std::lock_guard<std::mutex> lock(mutex_);
    if (change.kind == ChangeKind::ControlChanged) {
        dirtyControls_[change.window].insert(change.controlId);
    } else {
        dirtyWindows_.insert(change.window);
    }
    if (scheduled_) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(this, &WindowViews::ApplyChanges, Qt::QueuedConnection);
}

void WindowViews::ApplyChanges() {
    std::map<WindowHandle, std::set<int>> controls;
    std::set<WindowHandle> windows;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        controls.swap(dirtyControls_);
        windows.swap(dirtyWindows_);
        scheduled_ = false;
    }
    ++applications_;
    if (!windows.empty()) SyncTopLevels();
    for (WindowHandle window : windows) {
        if (WindowView* view = Find(window)) {
            view->Refresh();
        } else if (const auto info = context_.driver.Describe(window); info && info->parent) {
            // A new child window: its parent's view makes a view for it.
            if (WindowView* parent = Find(info->parent)) parent->Refresh();
        }
    }
    for (const auto& [window, ids] : controls) {
        if (windows.count(window) != 0) continue;
        if (WindowView* view = Find(window)) {
            for (int id : ids) view->RefreshControl(id);
        }
    }
    if (after_) after_();
}

void WindowViews::SyncTopLevels() {
    std::set<WindowHandle> present;
    for (const auto& info : context_.driver.TopLevelWindows()) {
        if (info.handle == frame_) continue;
        present.insert(info.handle);
        auto found = topLevels_.find(info.handle);
        if (found == topLevels_.end()) {
            if (!info.visible) continue;
            auto view = std::make_unique<WindowView>(context_, *this, info.handle, nullptr);
            view->setAttribute(Qt::WA_QuitOnClose, false);
            // A window whose owner waits for it (disabled while it runs) is modal.
            if (info.owner != 0) {
                const auto owner = context_.driver.Describe(info.owner);
                if (owner && !owner->enabled) view->setWindowModality(Qt::ApplicationModal);
            }
            view->Refresh();
            view->show();
            order_.push_back(info.handle);
            topLevels_.emplace(info.handle, std::move(view));
            continue;
        }
        WindowView& view = *found->second;
        if (!info.visible) {
            view.hide();
        } else if (!view.isVisible()) {
            view.show();
        }
        if (info.minimized && !view.isMinimized()) view.showMinimized();
    }
    for (auto it = topLevels_.begin(); it != topLevels_.end();) {
        if (present.count(it->first) == 0) {
            order_.erase(std::remove(order_.begin(), order_.end(), it->first), order_.end());
            it = topLevels_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace host
