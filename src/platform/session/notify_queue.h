#pragma once
// The queue between an engine and the client's notification thread, and the owner of every
// record until the client gives it back.
//
// Push appends a record and sets the notify event; Take hands out the oldest record and keeps
// it in the issued set; GiveBack frees an issued record and ignores anything else (null, a
// record given back before, a pointer never issued), so a confused caller cannot free memory
// twice. All methods are thread-safe; the events are set while the queue's lock is held, so
// an event is never set after SetEvents has replaced it.

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/session/notify_record.h"

namespace os {
class Event;
}

namespace platform {

// What giving a record back triggers.
enum class OnGiveBack {
    Nothing,
    // The connection-lost signal: used for the record that tells the client why its session
    // ended, so the client has read the reason before it sees the loss.
    SignalLost,
};

class NotifyQueue {
  public:
    NotifyQueue() = default;
    NotifyQueue(const NotifyQueue&) = delete;
    NotifyQueue& operator=(const NotifyQueue&) = delete;

    // The events to set from now on (either may be null: nothing is set).
    void SetEvents(os::Event* lostEvent, os::Event* notifyEvent);

    void Push(NotifyRecord record, OnGiveBack onGiveBack = OnGiveBack::Nothing);
    // Sets the lost event (when there is one).
    void SignalLost();

    // The oldest queued record, now issued; null when none is queued.
    NotifyRecord* Take();
    void GiveBack(NotifyRecord* record);

    // Drops every queued record that was not yet taken (issued records stay valid).
    void DiscardQueued();

    std::size_t QueuedCount() const;
    std::size_t IssuedCount() const;

  private:
    struct Entry {
        std::unique_ptr<NotifyRecord> record;
        OnGiveBack onGiveBack = OnGiveBack::Nothing;
    };

    mutable std::mutex mutex_;
    os::Event* lostEvent_ = nullptr;
    os::Event* notifyEvent_ = nullptr;
    std::deque<Entry> queued_;
    std::unordered_map<const NotifyRecord*, Entry> issued_;
};

}  // namespace platform
