// Window and thread timers. A timer lives in its owner thread's queue; the loop of that
// thread fires it (TakeDueTimer in message_dispatch.cpp).

#include <algorithm>

#include "os/ui/window_system_impl.h"

namespace os {

std::shared_ptr<ThreadQueue> WindowSystem::Impl::TimerQueue(HWND hwnd) {
    if (!hwnd) return CurrentQueue(true);
    std::lock_guard guard(mutex);
    const WindowEntry* entry = FindLocked(hwnd);
    if (!entry) return nullptr;
    CheckOwnerLocked(*entry, hwnd, "WindowSystem::SetTimer/KillTimer");
    if (entry->queue->owner != std::this_thread::get_id()) return nullptr;
    return entry->queue;
}

bool WindowSystem::SetTimer(HWND hwnd, std::uint64_t id, Millis periodMs) {
    auto queue = impl_->TimerQueue(hwnd);
    if (!queue) return false;
    const Millis period = std::max(periodMs, kMinimumTimerPeriod);
    const Millis deadline = clock_.DeadlineAfter(period);
    auto it =
        std::find_if(queue->timers.begin(), queue->timers.end(),
                     [&](const ThreadQueue::Timer& t) { return t.hwnd == hwnd && t.id == id; });
    ThreadQueue::Timer timer{hwnd, id, period, deadline, queue->nextTimerOrder++};
    if (it != queue->timers.end()) {
        *it = timer;  // restarts from now
    } else {
        queue->timers.push_back(timer);
    }
    queue->TimersChanged();
    return true;
}

bool WindowSystem::KillTimer(HWND hwnd, std::uint64_t id) {
    auto queue = impl_->TimerQueue(hwnd);
    if (!queue) return false;
    auto removed = std::erase_if(
        queue->timers, [&](const ThreadQueue::Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (removed > 0) queue->TimersChanged();
    return removed > 0;
}

}  // namespace os
