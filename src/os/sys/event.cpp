#include "os/sys/event.h"

#include <algorithm>
#include <cassert>

namespace os {

// Lock order: a multi-waiter's mutex may be held while an event's mutex is taken (to test the
// events), never the other way round; Set therefore wakes multi-waiters after letting go of
// its own mutex. Holding the waiter's mutex while notifying means a waiter between testing
// the events and blocking cannot miss the wake-up.
struct Event::MultiWaiter {
    std::mutex mutex;
    std::condition_variable cv;
};

Event::Event(Clock& clock, EventReset reset, bool initiallySet)
    : clock_(&clock), reset_(reset), set_(initiallySet) {}

Event::~Event() { assert(multiWaiters_.empty()); }

void Event::Set() {
    std::vector<std::shared_ptr<MultiWaiter>> toWake;
    {
        std::lock_guard guard(mutex_);
        set_ = true;
        toWake = multiWaiters_;
        // Whoever tests the event first takes an auto-reset signal, so waking one single
        // waiter is enough; a multi-waiter may still win the race, which is fine.
        if (reset_ == EventReset::Auto) {
            cv_.notify_one();
        } else {
            cv_.notify_all();
        }
    }
    for (const auto& waiter : toWake) {
        std::lock_guard guard(waiter->mutex);
        waiter->cv.notify_all();
    }
}

void Event::Reset() {
    std::lock_guard guard(mutex_);
    set_ = false;
}

bool Event::IsSet() const {
    std::lock_guard guard(mutex_);
    return set_;
}

bool Event::TryConsumeLocked() {
    if (!set_) return false;
    if (reset_ == EventReset::Auto) set_ = false;
    return true;
}

bool Event::Wait(Millis timeoutMs) {
    std::unique_lock lock(mutex_);
    if (TryConsumeLocked()) return true;
    if (timeoutMs == 0) return false;
    Millis deadline = clock_->DeadlineAfter(timeoutMs);
    return clock_->WaitUntil(lock, cv_, deadline, [this] { return TryConsumeLocked(); });
}

void Event::Register(const std::shared_ptr<MultiWaiter>& waiter) {
    std::lock_guard guard(mutex_);
    multiWaiters_.push_back(waiter);
}

void Event::Unregister(const std::shared_ptr<MultiWaiter>& waiter) {
    std::lock_guard guard(mutex_);
    auto it = std::find(multiWaiters_.begin(), multiWaiters_.end(), waiter);
    if (it != multiWaiters_.end()) multiWaiters_.erase(it);
}

int Event::TakeFirstSet(std::span<Event* const> events) {
    for (size_t i = 0; i < events.size(); ++i) {
        std::lock_guard guard(events[i]->mutex_);
        if (events[i]->TryConsumeLocked()) return static_cast<int>(i);
    }
    return -1;
}

int WaitForAny(Clock& clock, std::span<Event* const> events, Millis timeoutMs) {
    if (events.empty()) return kWaitTimeout;
    int taken = Event::TakeFirstSet(events);
    if (taken >= 0) return taken;
    if (timeoutMs == 0) return kWaitTimeout;

    Millis deadline = clock.DeadlineAfter(timeoutMs);
    auto waiter = std::make_shared<Event::MultiWaiter>();
    for (Event* e : events) e->Register(waiter);
    {
        std::unique_lock lock(waiter->mutex);
        clock.WaitUntil(lock, waiter->cv, deadline, [&] {
            taken = Event::TakeFirstSet(events);
            return taken >= 0;
        });
    }
    for (Event* e : events) e->Unregister(waiter);
    return taken >= 0 ? taken : kWaitTimeout;
}

}  // namespace os
