#pragma once
// Waiting in a test for another thread to reach a point (a thread blocks in a clock wait, a
// worker has ended, the notification thread has delivered) without ever hanging: the wait
// looks at a condition until it holds, and gives up with a failure naming what it waited for
// when a budget of real time runs out. The budget only stops a broken test; a passing wait
// ends as soon as the other thread gets there, and no test measures time with it (time in
// tests is the manual clock's).
//
//     ASSERT_TRUE(WaitFor([&] { return clock.WaiterCount() >= 2; }, "two waiting threads"));
//
// support/waiting/ holds the waits that need a module: WaitForWaiters (a manual clock) and
// PumpUntil (a window system).

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <thread>

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

}  // namespace testing_support
