#pragma once
// Events with Windows semantics, waited on through a Clock so a ManualClock releases their
// time-outs when a test advances it.
//
// An auto-reset event releases exactly one waiter per Set (or stays set until one waits); a
// manual-reset event releases every waiter and stays set until Reset. WaitForAny waits on
// several events at once: each event keeps a list of the multi-waiters registered with it and
// wakes them on Set, so one Set is enough whichever way a thread waits for it.

#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "os/sys/clock.h"

namespace os {

enum class EventReset { Auto, Manual };

class Event {
  public:
    Event(Clock& clock, EventReset reset, bool initiallySet = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    // No thread may be waiting on the event when it is destroyed.
    ~Event();

    // Auto-reset: releases exactly one waiter (or stays set until one waits).
    // Manual-reset: releases every waiter and stays set.
    void Set();
    void Reset();
    bool IsSet() const;

    // Waits until the event is set or `timeoutMs` of the clock's time have passed (kInfinite:
    // no limit; 0: just test it). True when signalled; an auto-reset event is consumed.
    bool Wait(Millis timeoutMs);

    EventReset reset() const { return reset_; }
    Clock& clock() const { return *clock_; }

    // A thread blocked in WaitForAny; events notify it on Set. Internal to the event code.
    struct MultiWaiter;

  private:
    friend int WaitForAny(Clock& clock, std::span<Event* const> events, Millis timeoutMs);
    // Takes the signal if set (clearing an auto-reset event). Caller holds mutex_.
    bool TryConsumeLocked();
    // Index of the first set event, consuming only that one; -1 when none is set.
    static int TakeFirstSet(std::span<Event* const> events);
    void Register(const std::shared_ptr<MultiWaiter>& waiter);
    void Unregister(const std::shared_ptr<MultiWaiter>& waiter);

    Clock* clock_;
    const EventReset reset_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool set_;
    std::vector<std::shared_ptr<MultiWaiter>> multiWaiters_;
};

inline constexpr int kWaitTimeout = -1;

// Waits until one of `events` is set: returns its index, the lowest index when several are
// set (only that one is consumed), or kWaitTimeout after `timeoutMs` (kInfinite: no limit).
// An empty list has nothing that could ever be set: kWaitTimeout at once.
int WaitForAny(Clock& clock, std::span<Event* const> events, Millis timeoutMs);

}  // namespace os
