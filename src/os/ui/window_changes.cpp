// Observers of window and control changes (WindowSystem::AddObserver).

#include <algorithm>

#include "os/ui/window_system_impl.h"

namespace os {

WindowSystem::ObserverId WindowSystem::AddObserver(
    std::function<void(const WindowChange&)> observer) {
    if (!observer) return 0;
    std::lock_guard guard(impl_->observersMutex);
    auto list = impl_->observers ? std::make_shared<std::vector<Impl::Observer>>(*impl_->observers)
                                 : std::make_shared<std::vector<Impl::Observer>>();
    const ObserverId id = impl_->nextObserver++;
    list->emplace_back(id, std::move(observer));
    impl_->observers = std::move(list);
    impl_->observerCount.store(static_cast<int>(impl_->observers->size()));
    return id;
}

void WindowSystem::RemoveObserver(ObserverId observer) {
    std::lock_guard guard(impl_->observersMutex);
    if (!impl_->observers) return;
    auto list = std::make_shared<std::vector<Impl::Observer>>(*impl_->observers);
    std::erase_if(*list, [observer](const Impl::Observer& o) { return o.first == observer; });
    impl_->observerCount.store(static_cast<int>(list->size()));
    if (list->empty()) {
        impl_->observers.reset();
    } else {
        impl_->observers = std::move(list);
    }
}

void WindowSystem::Impl::ReportToObservers(const WindowChange& change) {
    std::shared_ptr<const std::vector<Observer>> list;
    {
        std::lock_guard guard(observersMutex);
        list = observers;
    }
    if (!list) return;
    for (const Observer& observer : *list) observer.second(change);
}

}  // namespace os
