#include "core/pending_messages.h"

namespace core {

void PendingMessageQueue::Push(QueuedMessage message) {
    std::lock_guard lock(mutex_);
    messages_.push_back(std::move(message));
}

bool PendingMessageQueue::Empty() const {
    std::lock_guard lock(mutex_);
    return messages_.empty();
}

std::size_t PendingMessageQueue::Size() const {
    std::lock_guard lock(mutex_);
    return messages_.size();
}

std::optional<QueuedMessage> PendingMessageQueue::Front() const {
    std::lock_guard lock(mutex_);
    if (messages_.empty()) return std::nullopt;
    return messages_.front();
}

std::optional<QueuedMessage> PendingMessageQueue::PopFront() {
    std::lock_guard lock(mutex_);
    if (messages_.empty()) return std::nullopt;
    QueuedMessage message = std::move(messages_.front());
    messages_.pop_front();
    return message;
}

std::vector<QueuedMessage> PendingMessageQueue::TakeIf(
    const std::function<bool(const QueuedMessage&)>& matches) {
    std::vector<QueuedMessage> taken;
    std::lock_guard lock(mutex_);
    std::deque<QueuedMessage> kept;
    for (QueuedMessage& message : messages_) {
        if (matches(message)) {
            taken.push_back(std::move(message));
        } else {
            kept.push_back(std::move(message));
        }
    }
    messages_.swap(kept);
    return taken;
}

std::vector<QueuedMessage> PendingMessageQueue::Snapshot() const {
    std::lock_guard lock(mutex_);
    return {messages_.begin(), messages_.end()};
}

void PendingMessageQueue::Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

}  // namespace core
