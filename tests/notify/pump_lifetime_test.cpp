// No thread of the notification pump outlives the pump: a thread that Free had to leave
// running (still in a job when its stop wait ran out) is waited for when the pump goes, so
// the jobs and the context it uses are never touched after they are gone.

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <memory>
#include <thread>

#include "notify/base_proxy.h"
#include "notify/routes/notification_handlers.h"
#include "notify_world.h"
#include "os/sys/clock.h"
#include "records.h"
#include "support/wait_for.h"
#include "support/waiting/clock_waiters.h"

namespace {

// A direct handler that holds the notification thread until the test lets it go.
struct HeldJob {
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
    std::latch release{1};
};

TEST(PumpLifetime, AThreadFreeLeftRunningIsWaitedForWhenThePumpGoes) {
    notify_test::NotifyWorld w;
    HeldJob jobs;
    // A registry of its own: the world's holds a recording handler for every code already.
    auto handlers = notify::NotificationHandlers::Create(w.context().log);
    notify::Registration held = handlers->OnDirect({40}, [&jobs](const platform::NotifyRecord&) {
        jobs.entered = true;
        jobs.release.wait();
        jobs.finished = true;
    });
    ASSERT_TRUE(held.Active());
    auto proxy = std::make_unique<CBaseProxy>(w.context(), handlers);
    proxy->Init();
    w.session().Inject(notify_test::WellFormed(40));
    ASSERT_TRUE(testing_support::WaitFor([&] { return jobs.entered.load(); }, "the held job"));

    std::thread clockMover([&] {
        // Free's stop wait is the only wait on the clock; its 200 ms pass.
        EXPECT_TRUE(testing_support::WaitForWaiters(w.clock(), 1));
        w.clock().Advance(CBaseProxy::kStopWaitMs);
    });
    proxy->Free();
    clockMover.join();
    EXPECT_FALSE(proxy->ThreadRunning());
    EXPECT_FALSE(jobs.finished);  // the thread is still in its job

    std::thread releaser([&] {
        // The pump's destructor waits for the thread on the clock; then the job may end.
        EXPECT_TRUE(testing_support::WaitForWaiters(w.clock(), 1));
        jobs.release.count_down();
    });
    proxy.reset();
    EXPECT_TRUE(jobs.finished);  // the destructor returned only after the thread did
    releaser.join();
}

}  // namespace
