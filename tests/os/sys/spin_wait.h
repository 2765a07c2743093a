#pragma once
// Lets a test wait for another thread to reach a point (for example, to block in a clock
// wait) without waiting for any amount of time: it yields until the condition holds.

#include <thread>

#include "os/sys/clock.h"

namespace os_sys_tests {

template <typename Condition>
void SpinUntil(Condition condition) {
    while (!condition()) std::this_thread::yield();
}

// Until `count` threads are blocked in waits of `clock`.
inline void WaitForWaiters(const os::ManualClock& clock, int count) {
    SpinUntil([&] { return clock.WaiterCount() >= count; });
}

}  // namespace os_sys_tests
