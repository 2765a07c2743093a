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
    // Deadlines decades away would overflow steady_clock's nanoseconds: wait without one.
    constexpr Millis kFarFuture = Millis{1} << 41;  // about 70 years
    if (deadline == kInfinite || deadline - Now() > kFarFuture) {
        cv.wait(lock, ready);
        return true;
    }
    auto when = std::chrono::steady_clock::time_point(std::chrono::milliseconds(deadline));
    return cv.wait_until(lock, when, ready);
}

// ---- ManualClock

// A thread blocked in WaitUntil, known by its mutex and condition variable.
struct ManualClock::Waiter {
    std::mutex* mutex;
    std::condition_variable* cv;
    Millis deadline;
};

// `callers` lists the threads running one of its functions right now, so that removal can
// wait until no other thread still calls into an owner that is going away.
struct ManualClock::Source {
    int id;
    std::function<Millis()> next;
    std::function<void(Millis)> onStep;
    bool removed = false;
    std::vector<std::thread::id> callers;
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

Millis ManualClock::NextDeadline() const {
    return NextDeadlineAfter(std::numeric_limits<Millis>::min());
}

template <typename Call>
void ManualClock::ForEachSource(Call call) const {
    std::vector<std::shared_ptr<Source>> sources;
    {
        std::lock_guard guard(mutex_);
        sources = sources_;
    }
    const auto me = std::this_thread::get_id();
    for (const auto& source : sources) {
        {
            std::lock_guard guard(mutex_);
            if (source->removed) continue;
            source->callers.push_back(me);
        }
        call(*source);
        std::lock_guard guard(mutex_);
        source->callers.erase(std::find(source->callers.begin(), source->callers.end(), me));
        sourceIdle_.notify_all();
    }
}

Millis ManualClock::NextDeadlineAfter(Millis after) const {
    Millis earliest = kInfinite;
    {
        std::lock_guard guard(mutex_);
        for (const Waiter* w : waiters_) {
            if (w->deadline > after) earliest = std::min(earliest, w->deadline);
        }
    }
    ForEachSource([&](const Source& s) {
        Millis d = s.next();
        if (d > after) earliest = std::min(earliest, d);
    });
    return earliest;
}

void ManualClock::WakeAll() {
    // Notify each waiter while holding its own mutex, so a waiter between its deadline check
    // and cv.wait cannot miss the wake-up; and while holding the clock's mutex, so the waiter
    // cannot leave and free its mutex meanwhile. A waiter takes the clock's mutex under its
    // own, hence try_lock: a busy waiter mutex is retried after letting the clock's go.
    std::unique_lock guard(mutex_);
    std::vector<Waiter*> pending = waiters_;
    for (;;) {
        std::erase_if(pending, [this](Waiter* w) {
            if (std::find(waiters_.begin(), waiters_.end(), w) == waiters_.end()) return true;
            if (!w->mutex->try_lock()) return false;
            w->cv->notify_all();
            w->mutex->unlock();
            return true;
        });
        if (pending.empty()) return;
        guard.unlock();
        std::this_thread::yield();
        guard.lock();
    }
}

void ManualClock::Advance(Millis ms) {
    Millis now = Now();
    AdvanceTo(ms >= kInfinite - now ? kInfinite : now + std::max<Millis>(ms, 0));
}

void ManualClock::AdvanceTo(Millis target) {
    // Deadlines at or before the current time have been woken already; each step goes to the
    // next later one, so a waiter that has not been scheduled yet cannot make this spin. A
    // deadline that a hook starts within the span is found by the next step.
    for (;;) {
        Millis step = std::min(NextDeadlineAfter(Now()), target);
        {
            std::lock_guard guard(mutex_);
            if (step > now_) now_ = step;
            step = now_;
        }
        WakeAll();
        ForEachSource([step](const Source& s) { s.onStep(step); });
        if (step >= target) return;
    }
}

ManualClock::DeadlineSource ManualClock::AddDeadlineSource(std::function<Millis()> next,
                                                           std::function<void(Millis)> onStep) {
    std::lock_guard guard(mutex_);
    int id = nextSourceId_++;
    auto source = std::make_shared<Source>();
    source->id = id;
    source->next = std::move(next);
    source->onStep = std::move(onStep);
    sources_.push_back(std::move(source));
    return id;
}

void ManualClock::RemoveDeadlineSource(DeadlineSource id) {
    std::unique_lock guard(mutex_);
    auto it =
        std::find_if(sources_.begin(), sources_.end(), [id](const auto& s) { return s->id == id; });
    if (it == sources_.end()) return;
    std::shared_ptr<Source> source = *it;
    source->removed = true;
    sources_.erase(it);
    // A source may remove itself from its own hook; only calls on other threads are waited for.
    const auto me = std::this_thread::get_id();
    sourceIdle_.wait(guard, [&] {
        return std::all_of(source->callers.begin(), source->callers.end(),
                           [me](std::thread::id caller) { return caller == me; });
    });
}

int ManualClock::WaiterCount() const {
    std::lock_guard guard(mutex_);
    return static_cast<int>(waiters_.size());
}

}  // namespace os
