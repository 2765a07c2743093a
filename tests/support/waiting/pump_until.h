#pragma once
// Pumping the calling thread's messages until another thread's work has arrived
// (support/wait_for.h, with its budget).

#include <gtest/gtest.h>

#include <string_view>
#include <thread>

#include "os/ui/window_system.h"
#include "support/wait_for.h"

namespace testing_support {

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
