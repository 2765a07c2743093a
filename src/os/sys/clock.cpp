#include "os/sys/clock.h"

#include <time.h>

#include <algorithm>
#include <thread>  // std::chrono clocks; <chrono> itself is not GBK-clean (see DESIGN.md)
#include <vector>

namespace os {

void Clock::Sleep(Millis ms) {
    std::mutex mutex;
    std::condition_variable cv;
    std::unique_lock lock(mutex);
    WaitUntil(lock, cv, DeadlineAfter(ms), [] { return false; });
}

Millis Clock::DeadlineAfter(Millis ms) const {
    if (ms < 0 || ms == kInfinite) return kInfinite;
    Millis now = Now();
    return ms > kInfinite - now ? kInfinite : now + ms;
}

LocalTime ToLocalTime(std::int64_t unixSeconds, int millisecond) {
    time_t t = static_cast<time_t>(unixSeconds);
    struct tm tm {};
    localtime_r(&t, &tm);
    LocalTime lt;
    lt.year = tm.tm_year + 1900;
    lt.month = tm.tm_mon + 1;
    lt.day = tm.tm_mday;
    lt.hour = tm.tm_hour;
    lt.minute = tm.tm_min;
    lt.second = tm.tm_sec;
    lt.millisecond = millisecond;
    lt.dayOfWeek = tm.tm_wday;
    return lt;
}

// ---- RealClock

Millis RealClock::Now() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t RealClock::UnixTime() const {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

LocalTime RealClock::LocalNow() const {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return ToLocalTime(ms / 1000, static_cast<int>(ms % 1000));
}

bool RealClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                          Millis deadline, const std::function<bool()>& ready) {
    if (deadline == kInfinite) {
        cv.wait(lock, ready);
        return true;
    }
    auto when = std::chrono::steady_clock::time_point(std::chrono::milliseconds(deadline));
    return cv.wait_until(lock, when, ready);
}

// ---- ManualClock

struct ManualClock::Waiter {
    std::mutex* mutex;
    std::condition_variable* cv;
    Millis deadline;
};

struct ManualClock::Source {
    int id;
    std::function<Millis()> next;
    std::function<void(Millis)> onStep;
};

ManualClock::ManualClock(std::int64_t unixStart) : unixStart_(unixStart) {}
ManualClock::~ManualClock() = default;

Millis ManualClock::Now() const {
    std::lock_guard guard(mutex_);
    return now_;
}

std::int64_t ManualClock::UnixTime() const {
    std::lock_guard guard(mutex_);
    return unixStart_ + now_ / 1000;
}

LocalTime ManualClock::LocalNow() const {
    std::lock_guard guard(mutex_);
    return ToLocalTime(unixStart_ + now_ / 1000, static_cast<int>(now_ % 1000));
}

bool ManualClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                            Millis deadline, const std::function<bool()>& ready) {
    Waiter self{lock.mutex(), &cv, deadline};
    {
        std::lock_guard guard(mutex_);
        waiters_.push_back(&self);
    }
    bool result = false;
    for (;;) {
        if (ready()) {
            result = true;
            break;
        }
        if (Now() >= deadline) break;
        cv.wait(lock);
    }
    std::lock_guard guard(mutex_);
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), &self));
    return result;
}

Millis ManualClock::NextDeadline() const { return NextDeadlineAfter(std::numeric_limits<Millis>::min()); }

Millis ManualClock::NextDeadlineAfter(Millis after) const {
    std::vector<std::function<Millis()>> nexts;
    Millis earliest = kInfinite;
    {
        std::lock_guard guard(mutex_);
        for (const Waiter* w : waiters_) {
            if (w->deadline > after) earliest = std::min(earliest, w->deadline);
        }
        for (const Source& s : sources_) nexts.push_back(s.next);
    }
    for (auto& next : nexts) {
        Millis d = next();
        if (d > after) earliest = std::min(earliest, d);
    }
    return earliest;
}

void ManualClock::WakeAll() {
    // Take each waiter's own mutex before notifying, so a waiter between its deadline check
    // and cv.wait cannot miss the wake-up.
    std::vector<Waiter> snapshot;
    {
        std::lock_guard guard(mutex_);
        for (const Waiter* w : waiters_) snapshot.push_back(*w);
    }
    for (const Waiter& w : snapshot) {
        std::lock_guard waiterLock(*w.mutex);
        w.cv->notify_all();
    }
}

void ManualClock::Advance(Millis ms) { AdvanceTo(Now() + ms); }

void ManualClock::AdvanceTo(Millis target) {
    // Deadlines at or before the current time have been woken already; each step goes to the
    // next later one, so a waiter that has not been scheduled yet cannot make this spin.
    for (;;) {
        Millis step = std::min(NextDeadlineAfter(Now()), target);
        std::vector<std::function<void(Millis)>> hooks;
        {
            std::lock_guard guard(mutex_);
            if (step > now_) now_ = step;
            step = now_;
            for (const Source& s : sources_) hooks.push_back(s.onStep);
        }
        WakeAll();
        for (auto& hook : hooks) hook(step);
        if (step >= target) return;
    }
}

ManualClock::DeadlineSource ManualClock::AddDeadlineSource(std::function<Millis()> next,
                                                          std::function<void(Millis)> onStep) {
    std::lock_guard guard(mutex_);
    int id = nextSourceId_++;
    sources_.push_back(Source{id, std::move(next), std::move(onStep)});
    return id;
}

void ManualClock::RemoveDeadlineSource(DeadlineSource id) {
    std::lock_guard guard(mutex_);
    std::erase_if(sources_, [id](const Source& s) { return s.id == id; });
}

int ManualClock::WaiterCount() const {
    std::lock_guard guard(mutex_);
    return static_cast<int>(waiters_.size());
}

}  // namespace os
