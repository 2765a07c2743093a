#pragma once
// The one source of time. Every tick count, sleep, wait and timer of the system goes through
// a Clock: the host uses RealClock, tests a ManualClock that they advance by hand, so a 20 s
// time-out runs in microseconds and in a fixed order.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

namespace os {

using Millis = std::int64_t;
inline constexpr Millis kInfinite = std::numeric_limits<Millis>::max();

// Broken-down local time, as Windows' SYSTEMTIME gives it.
struct LocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int dayOfWeek = 4;  // 0 = Sunday
};

class Clock {
  public:
    virtual ~Clock() = default;

    // Milliseconds on a monotonic scale with an arbitrary start.
    virtual Millis Now() const = 0;
    // GetTickCount meaning: Now() cut to 32 bits (wraps after 49.7 days).
    std::uint32_t TickCount() const { return static_cast<std::uint32_t>(Now()); }

    // Wall-clock time: seconds since 1970 (UTC) and the local broken-down form.
    virtual std::int64_t UnixTime() const = 0;
    virtual LocalTime LocalNow() const = 0;

    // The one blocking primitive: waits on `cv` (with `lock` held on entry and on return)
    // until `ready()` is true or this clock reaches `deadline` (kInfinite: no deadline).
    // Returns ready(). Whoever makes ready() true notifies `cv` under the same mutex.
    // `ready` runs with `lock` held, and the lock is not let go between its last call and
    // the return, so it may take what it found (an auto-reset event consumes its signal).
    virtual bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                           Millis deadline, const std::function<bool()>& ready) = 0;

    // Blocks the calling thread for `ms` milliseconds of this clock's time.
    void Sleep(Millis ms);

    // Now() + ms, saturating at kInfinite (for ms < 0 or a sum that overflows).
    Millis DeadlineAfter(Millis ms) const;
};

class RealClock final : public Clock {
  public:
    Millis Now() const override;
    std::int64_t UnixTime() const override;
    LocalTime LocalNow() const override;
    bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, Millis deadline,
                   const std::function<bool()>& ready) override;
};

// Time stands still until a test moves it. Advancing wakes every waiter whose deadline
// passed, stepping through those deadlines in order; owners of other timed work (the window
// system's timers) register a DeadlineSource so their deadlines are stepped through as well.
class ManualClock final : public Clock {
  public:
    // `unixStart` is the wall-clock time at Now() == 0 (default: 2026-01-05 09:00:00 UTC).
    explicit ManualClock(std::int64_t unixStart = 1767603600);
    ~ManualClock() override;

    Millis Now() const override;
    std::int64_t UnixTime() const override;
    LocalTime LocalNow() const override;
    bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, Millis deadline,
                   const std::function<bool()>& ready) override;

    // Moves time forward by `ms`, stopping at each registered deadline on the way: at each
    // stop, waiters whose deadline passed are woken and every `onStep` hook runs (the window
    // system fires its due timers there). Time never goes back: a negative `ms` or an earlier
    // target only runs the hooks. Woken threads go on by themselves; Advance does not wait
    // for them, so a worker that sleeps again once woken is stepped by a later Advance (wait
    // for it with WaiterCount first).
    void Advance(Millis ms);
    void AdvanceTo(Millis target);

    // Earliest deadline of a waiter or a registered source, or kInfinite.
    Millis NextDeadline() const;
    // Earliest such deadline later than `after`, or kInfinite.
    Millis NextDeadlineAfter(Millis after) const;

    // A source of further deadlines (for example window timers). `next` answers the earliest
    // deadline it has; `onStep` runs after each step of Advance with the new time, on the
    // advancing thread, with no lock of the clock held. Once RemoveDeadlineSource returns,
    // neither function runs again nor is still running on another thread.
    using DeadlineSource = int;
    DeadlineSource AddDeadlineSource(std::function<Millis()> next,
                                     std::function<void(Millis)> onStep);
    void RemoveDeadlineSource(DeadlineSource id);

    // Number of threads blocked in WaitUntil right now (lets a test wait until a worker sleeps).
    int WaiterCount() const;

  private:
    struct Waiter;
    struct Source;
    void WakeAll();
    // Calls `call(source)` for each live source without holding mutex_.
    template <typename Call>
    void ForEachSource(Call call) const;

    mutable std::mutex mutex_;
    // Signalled when a call into a source ends.
    mutable std::condition_variable sourceIdle_;
    std::int64_t unixStart_;
    Millis now_ = 0;
    std::vector<Waiter*> waiters_;
    std::vector<std::shared_ptr<Source>> sources_;
    int nextSourceId_ = 1;
};

// Fills a LocalTime from seconds since 1970 and a millisecond part, in the local time zone.
LocalTime ToLocalTime(std::int64_t unixSeconds, int millisecond);

}  // namespace os
