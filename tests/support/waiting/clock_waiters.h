#pragma once
// Waiting for threads to block on a manual clock (support/wait_for.h, with its budget).

#include <gtest/gtest.h>

#include <string>

#include "os/sys/clock.h"
#include "support/wait_for.h"

namespace testing_support {

// Until `count` threads block in waits of the manual clock.
inline ::testing::AssertionResult WaitForWaiters(const os::ManualClock& clock, int count) {
    return WaitFor([&] { return clock.WaiterCount() >= count; },
                   std::to_string(count) + " thread(s) waiting on the manual clock");
}

}  // namespace testing_support
