#pragma once
// Waiting in a test for another thread to reach a point (a thread blocks in a clock wait, a
// worker has ended, the notification thread has delivered) without ever hanging: the wait
// looks at a condition until it holds, and gives up with a failure naming what it waited for
// when a budget of real time runs out. The budget only stops a broken test; a passing wait
// ends as soon as the other thread gets there, and no test measures time with it (time in
// tests is the manual clock's).
//
//     ASSERT_TRUE(WaitFor([&] { return clock.WaiterCount() >= 2; }, "two waiting threads"));
//     ASSERT_TRUE(PumpUntil(world.windows(), [&] { return !ui.calls.empty(); }));

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <thread>

#include "os/sys/clock.h"
#include "os/ui/window_system.h"

namespace testing_support {

// Far longer than any awaited point takes, even under a sanitizer on a loaded machine.
inline constexpr std::chrono::seconds kWaitBudget{120};

// Looks at `condition` (yielding between looks) until it holds.
template <typename Condition>
::testing::AssertionResult WaitFor(Condition&& condition,
                                   std::string_view what = "the awaited condition",
                                   std::chrono::steady_clock::duration budget = kWaitBudget) {
    const auto deadline = std::chrono::steady_clock::now() + budget;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return ::testing::AssertionFailure()
                   << "gave up waiting for " << what << " after "
                   << std::chrono::duration_cast<std::chrono::seconds>(budget).count() << " s";
        }
        std::this_thread::yield();
    }
    return ::testing::AssertionSuccess();
}

// Until `count` threads block in waits of the manual clock.
inline ::testing::AssertionResult WaitForWaiters(const os::ManualClock& clock, int count) {
    return WaitFor([&] { return clock.WaiterCount() >= count; },
                   std::to_string(count) + " thread(s) waiting on the manual clock");
}

// Handles the calling thread's messages (sends, posts, due timers) until `condition` holds,
// for work another thread is doing right now. It never moves a manual clock.
template <typename Condition>
::testing::AssertionResult PumpUntil(os::WindowSystem& windows, Condition&& condition,
                                     std::string_view what = "the awaited work",
                                     std::chrono::steady_clock::duration budget = kWaitBudget) {
    const auto deadline = std::chrono::steady_clock::now() + budget;
    while (!condition()) {
        if (windows.PumpPending() > 0) continue;
        if (std::chrono::steady_clock::now() >= deadline) {
            return ::testing::AssertionFailure()
                   << "gave up pumping for " << what << " after "
                   << std::chrono::duration_cast<std::chrono::seconds>(budget).count() << " s";
        }
        std::this_thread::yield();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace testing_support
