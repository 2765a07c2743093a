#pragma once
// Messages that arrived while no window showed them. The incoming-message handling queues
// them (and lights the host's tray indicator); picking one, by the host's tray or the pick
// hot key, opens the sender's chat window with every message that sender left.
//
// Thread-safe, although the UI thread is its usual user.

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace core {

// Notification types a queued message carries besides the chat and notice types.
inline constexpr std::uint32_t kQueuedSmsType = 11;        // also an SMS handed in by the host
inline constexpr std::uint32_t kQueuedOaNoticeType = 101;  // a real-time OA notice
inline constexpr std::uint32_t kQueuedLeftAloneType = 58;  // never picked

// A copy of an incoming message record, kept until it is shown.
struct QueuedMessage {
    std::string from;  // sender JID
    std::string to;
    std::string fromName;
    std::string font;
    std::string content;
    std::string subject;
    std::string time;
    int subKind = 0;
    bool flag = false;
    std::uint32_t type = 0;  // the notification type it came with

    bool operator==(const QueuedMessage&) const = default;
};

class PendingMessageQueue {
  public:
    void Push(QueuedMessage message);
    bool Empty() const;
    std::size_t Size() const;
    // A copy of the oldest message, or nothing.
    std::optional<QueuedMessage> Front() const;
    std::optional<QueuedMessage> PopFront();
    // Removes and answers, oldest first, every message `matches` accepts.
    std::vector<QueuedMessage> TakeIf(const std::function<bool(const QueuedMessage&)>& matches);
    // Every message, oldest first.
    std::vector<QueuedMessage> Snapshot() const;
    void Clear();

  private:
    mutable std::mutex mutex_;
    std::deque<QueuedMessage> messages_;
};

}  // namespace core
