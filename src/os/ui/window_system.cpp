#include "os/ui/window_system.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "os/ui/window_system_impl.h"

namespace os {

namespace {

std::atomic<std::uint64_t> g_nextSystemSerial{1};

// The queues the calling thread has in every live WindowSystem. When the thread ends, its
// queues close: senders waiting on it are answered 0 and further posts are refused.
struct ThreadQueues {
    std::vector<std::shared_ptr<ThreadQueue>> list;
    ~ThreadQueues() {
        for (auto& queue : list) queue->Close();
    }
};
thread_local ThreadQueues t_queues;

bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsGbkLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            // A GBK pair: its trail byte may look like an ASCII letter but is not one.
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

WindowSystem::Impl::Impl(WindowSystem& owner)
    : system(owner), serial(g_nextSystemSerial.fetch_add(1)) {}

std::shared_ptr<ThreadQueue> WindowSystem::Impl::CurrentQueue(bool create) {
    for (const auto& queue : t_queues.list) {
        if (queue->systemSerial == serial) return queue;
    }
    if (!create) return nullptr;
    // Queues of systems that have gone are closed; forget them here.
    std::erase_if(t_queues.list, [](const auto& queue) { return queue->IsClosed(); });
    std::shared_ptr<ThreadQueue> queue;
    {
        std::lock_guard guard(mutex);
        std::erase_if(queues, [](const auto& item) { return item.second->IsClosed(); });
        queue = std::make_shared<ThreadQueue>(serial, nextQueueId++);
        queues.emplace(queue->id, queue);
    }
    t_queues.list.push_back(queue);
    return queue;
}

std::shared_ptr<ThreadQueue> WindowSystem::Impl::QueueById(ThreadQueueId id) const {
    std::lock_guard guard(mutex);
    auto it = queues.find(id);
    return it == queues.end() ? nullptr : it->second;
}

bool WindowSystem::Impl::IsClassRegisteredLocked(std::string_view className) const {
    return std::any_of(classes.begin(), classes.end(), [&](const std::string& name) {
        return EqualsIgnoringAsciiCase(name, className);
    });
}

WindowSystem::WindowSystem(Clock& clock, std::uint32_t processId)
    : clock_(clock),
      processId_(processId != 0 ? processId : static_cast<std::uint32_t>(::getpid())),
      impl_(std::make_unique<Impl>(*this)) {
    impl_->classes.emplace_back(kDialogClass);
    impl_->manualClock = dynamic_cast<ManualClock*>(&clock);
    if (impl_->manualClock) {
        Impl* impl = impl_.get();
        impl_->deadlineSource = impl_->manualClock->AddDeadlineSource(
            [impl] {
                Millis earliest = kInfinite;
                std::lock_guard guard(impl->mutex);
                for (const auto& [id, queue] : impl->queues) {
                    earliest = std::min(earliest, queue->nextTimerDeadline.load());
                }
                return earliest;
            },
            [impl](Millis) {
                // The thread that moves the clock handles its own timers and messages at each
                // stop; other threads' loops are woken by the clock and do the same.
                auto queue = impl->CurrentQueue(false);
                if (!queue || queue->IsClosed() || queue->clockStepDepth > 0) return;
                ++queue->clockStepDepth;
                impl->PumpUntilIdle(*queue);
                --queue->clockStepDepth;
            });
    }
}

WindowSystem::~WindowSystem() {
    if (impl_->manualClock) impl_->manualClock->RemoveDeadlineSource(impl_->deadlineSource);
    std::unordered_map<Window*, std::unique_ptr<Window>> adopted;
    std::vector<std::shared_ptr<ThreadQueue>> queues;
    {
        std::lock_guard guard(impl_->mutex);
        // Windows still alive stop being windows; their objects may outlive us safely.
        for (auto& [handle, entry] : impl_->windows) {
            entry.window->system_ = nullptr;
            entry.window->alive_ = false;
        }
        impl_->windows.clear();
        adopted.swap(impl_->adopted);
        for (auto& [id, queue] : impl_->queues) queues.push_back(queue);
        impl_->queues.clear();
    }
    for (auto& queue : queues) queue->Close();
    adopted.clear();
}

bool WindowSystem::RegisterClass(std::string_view className) {
    if (className.empty()) return false;
    std::lock_guard guard(impl_->mutex);
    if (impl_->IsClassRegisteredLocked(className)) return false;
    impl_->classes.emplace_back(className);
    return true;
}

bool WindowSystem::IsClassRegistered(std::string_view className) const {
    std::lock_guard guard(impl_->mutex);
    return impl_->IsClassRegisteredLocked(className);
}

ThreadQueueId WindowSystem::CurrentThreadQueueId() { return impl_->CurrentQueue(true)->id; }

void WindowSystem::AdoptWindow(std::unique_ptr<Window> window) {
    if (!window) return;
    std::lock_guard guard(impl_->mutex);
    Window* raw = window.get();
    impl_->adopted.emplace(raw, std::move(window));
}

bool WindowSystem::AdvanceClock(Millis ms) {
    if (!impl_->manualClock) return false;
    auto queue = impl_->CurrentQueue(true);
    impl_->PumpUntilIdle(*queue);
    impl_->manualClock->Advance(ms);
    return true;
}

}  // namespace os
