#include "platform/session/notify_queue.h"

#include "os/sys/event.h"

namespace platform {

void NotifyQueue::SetEvents(os::Event* lostEvent, os::Event* notifyEvent) {
    std::lock_guard lock(mutex_);
    lostEvent_ = lostEvent;
    notifyEvent_ = notifyEvent;
    // Records queued before the client was ready must not wait for the next push.
    if (notifyEvent_ != nullptr && !queued_.empty()) notifyEvent_->Set();
}

void NotifyQueue::Push(NotifyRecord record, OnGiveBack onGiveBack) {
    std::lock_guard lock(mutex_);
    queued_.push_back(Entry{std::make_unique<NotifyRecord>(std::move(record)), onGiveBack});
    if (notifyEvent_ != nullptr) notifyEvent_->Set();
}

void NotifyQueue::SignalLost() {
    std::lock_guard lock(mutex_);
    if (lostEvent_ != nullptr) lostEvent_->Set();
}

NotifyRecord* NotifyQueue::Take() {
    std::lock_guard lock(mutex_);
    if (queued_.empty()) return nullptr;
    Entry entry = std::move(queued_.front());
    queued_.pop_front();
    NotifyRecord* record = entry.record.get();
    issued_.emplace(record, std::move(entry));
    return record;
}

void NotifyQueue::GiveBack(NotifyRecord* record) {
    std::lock_guard lock(mutex_);
    // Only the pointer value is looked at: a stray pointer is never dereferenced.
    auto it = issued_.find(record);
    if (it == issued_.end()) return;
    const OnGiveBack onGiveBack = it->second.onGiveBack;
    issued_.erase(it);
    if (onGiveBack == OnGiveBack::SignalLost && lostEvent_ != nullptr) lostEvent_->Set();
}

void NotifyQueue::DiscardQueued() {
    std::lock_guard lock(mutex_);
    queued_.clear();
}

std::size_t NotifyQueue::QueuedCount() const {
    std::lock_guard lock(mutex_);
    return queued_.size();
}

std::size_t NotifyQueue::IssuedCount() const {
    std::lock_guard lock(mutex_);
    return issued_.size();
}

}  // namespace platform
