// The Driver's subscriptions to changes, and dropping files on a window.

#include <algorithm>

#include "os/automation/driver_impl.h"

namespace qorvdesk::automation {

namespace {

ChangeKind PublicChange(os::WindowSystem::ChangeKind kind) {
    using K = os::WindowSystem::ChangeKind;
    switch (kind) {
        case K::Created:
            return ChangeKind::WindowCreated;
        case K::Destroyed:
            return ChangeKind::WindowDestroyed;
        case K::Shown:
            return ChangeKind::WindowShown;
        case K::Hidden:
            return ChangeKind::WindowHidden;
        case K::Retitled:
            return ChangeKind::WindowRetitled;
        case K::Moved:
            return ChangeKind::WindowMoved;
        case K::Enabled:
            return ChangeKind::WindowEnabled;
        case K::ControlChanged:
            break;
    }
    return ChangeKind::ControlChanged;
}

}  // namespace

Driver::Impl::~Impl() {
    for (const auto& [subscription, observer] : subscriptions) system->RemoveObserver(observer);
}

SubscriptionId Driver::Subscribe(std::function<void(const Change&)> observer) {
    if (!observer) {
        impl_->Fail("no observer given");
        return 0;
    }
    const os::WindowSystem::ObserverId id = impl_->system->AddObserver(
        [observer = std::move(observer)](const os::WindowSystem::WindowChange& change) {
            Change told;
            told.kind = PublicChange(change.kind);
            told.window = change.window.value();
            told.controlId = change.controlId;
            observer(told);
        });
    const SubscriptionId subscription = impl_->nextSubscription++;
    impl_->subscriptions.emplace_back(subscription, id);
    impl_->Succeed();
    return subscription;
}

void Driver::Unsubscribe(SubscriptionId subscription) {
    auto& list = impl_->subscriptions;
    auto it = std::find_if(list.begin(), list.end(),
                           [subscription](const auto& s) { return s.first == subscription; });
    if (it == list.end()) return;
    impl_->system->RemoveObserver(it->second);
    list.erase(it);
}

bool Driver::DropFiles(WindowHandle window, const std::vector<std::string>& paths) {
    if (!impl_->WindowToActOn(window)) return false;
    if (paths.empty()) return impl_->Fail("no files to drop");
    impl_->Succeed();
    impl_->BringToFront(window);
    impl_->system->SendMessage(os::HWND(window), os::WM_DROPFILES, 0, os::ToLParam(&paths));
    return true;
}

}  // namespace qorvdesk::automation
