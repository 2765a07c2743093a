#pragma once
// Short busy-waits before blocking. A cross-thread send in a burst is answered within a few
// microseconds; handing it over through a condition variable costs tens. So a waiter first
// spins for a bounded time, then blocks and burns no more CPU. The bound is real time on
// purpose: it is a CPU budget, not a deadline of the system clock.

#include <thread>

namespace os::ui_detail {

// An idle loop spins this long for the next message of a burst before it blocks; longer
// would burn CPU in every idle moment.
inline constexpr auto kIdleSpin = std::chrono::microseconds(50);
// A sender spins this long for its answer. It must outlast waking a blocked receiver (about
// 100 us on a loaded virtual machine): if the sender blocked first, the receiver's answer
// would have to wake it in turn, the receiver's own spin would run out meanwhile, and every
// following send of the burst would pay two wake-ups. The sender is blocked anyway.
inline constexpr auto kReplySpin = std::chrono::microseconds(300);

// Spinning on a pause instruction this long first: a receiver that runs answers by then.
inline constexpr auto kPauseOnly = std::chrono::microseconds(20);

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield" ::: "memory");
#else
    std::this_thread::yield();
#endif
}

// Spins until `done()` is true or `budget` is spent; answers done().
template <typename Done>
bool SpinUntil(Done&& done, std::chrono::microseconds budget) {
    if (done()) return true;
    const auto start = std::chrono::steady_clock::now();
    const auto until = start + budget;
    // Past the first few microseconds the other thread is probably not running at all (a
    // busy machine): give it this CPU instead of pausing on it.
    const auto yieldFrom = start + kPauseOnly;
    bool yielding = false;
    for (int i = 1;; ++i) {
        if (yielding) {
            std::this_thread::yield();
        } else {
            CpuRelax();
        }
        if (done()) return true;
        // Reading the clock costs more than a pause; look every few rounds.
        if ((i & 31) == 0 || yielding) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= until) return done();
            yielding = now >= yieldFrom;
        }
    }
}

}  // namespace os::ui_detail
