// The tray signal held back during the post-login wait: counted by one thread, released by
// a watcher that looks at the wait every 20 ms of the (manual) clock.

#include "notify/deferred_tray_signal.h"

#include <gtest/gtest.h>

#include <thread>

#include "config/client_config.h"
#include "core/window_messages.h"
#include "notify/pump_handlers.h"
#include "notify_world.h"
#include "os/sys/clock.h"
#include "support/wait_for.h"
#include "support/waiting/pump_until.h"

namespace {

using testing_support::PumpUntil;
using testing_support::WaitFor;

class DeferredTrayTest : public ::testing::Test {
  protected:
    DeferredTrayTest() {
        w.LogIn();
        w.context().config.MessageArrivedTipType = 1;
    }

    void Arrive(const std::string& content) {
        core::QueuedMessage message;
        message.from = "ann$gov@im.qorvdesk.test";
        message.content = content;
        message.type = 11;
        pumpHandlers.incoming().HandleMessage(message);
    }
    int Trays() { return w.host().Count(core::WM_HOST_TRAY); }
    core::SessionFlags& flags() { return w.manager().Flags(); }
    // Until some thread waits on the clock with exactly this deadline.
    ::testing::AssertionResult WaitForDeadline(os::Millis deadline) {
        return testing_support::WaitFor([&] { return w.clock().NextDeadline() == deadline; },
                                        "a wait until " + std::to_string(deadline));
    }

    notify_test::NotifyWorld w;
    notify::PumpHandlers pumpHandlers{w.context(), *w.handlers, w.incoming};
};

TEST_F(DeferredTrayTest, SignalsAreHeldDuringTheWaitAndReleasedOncePerMessage) {
    flags().loginWaitTimeOut = 3000;
    Arrive("a");
    EXPECT_EQ(flags().loginStat, 1);
    Arrive("b");
    Arrive("c");
    w.windows().PumpPending();
    EXPECT_EQ(Trays(), 0);
    EXPECT_EQ(w.manager().PendingMessages().Size(), 3u);  // queued at once all the same

    // The watcher looks every 20 ms; the wait is still on.
    ASSERT_TRUE(WaitForDeadline(20));
    w.clock().Advance(20);
    ASSERT_TRUE(WaitForDeadline(40));
    w.windows().PumpPending();
    EXPECT_EQ(Trays(), 0);
    EXPECT_EQ(flags().loginStat, 1);

    flags().loginWaitTimeOut = 0;
    w.clock().Advance(20);
    for (int signalled = 1; signalled <= 3; ++signalled) {
        ASSERT_TRUE(PumpUntil(w.windows(), [&] { return Trays() == signalled; }));
        if (signalled < 3) {
            // 10 ms apart.
            ASSERT_TRUE(
                WaitForDeadline(w.clock().Now() + notify::DeferredTraySignal::kSignalIntervalMs));
            w.clock().Advance(notify::DeferredTraySignal::kSignalIntervalMs);
        }
    }
    ASSERT_TRUE(WaitFor([&] { return flags().loginStat.load() == 0; }));
    EXPECT_EQ(w.host().WParamsOf(core::WM_HOST_TRAY), (std::vector<os::WPARAM>{1, 1, 1}));

    // Once the wait is over, a message is signalled at once.
    Arrive("d");
    w.windows().PumpPending();
    EXPECT_EQ(Trays(), 4);
    EXPECT_EQ(flags().loginStat, 0);
}

TEST_F(DeferredTrayTest, WithoutAWaitTheSignalGoesAtOnce) {
    Arrive("a");
    EXPECT_EQ(flags().loginStat, 0);
    w.windows().PumpPending();
    EXPECT_EQ(Trays(), 1);
}

TEST_F(DeferredTrayTest, AWaitThatNeverEndsDoesNotKeepItsThreadsAlive) {
    {
        notify::DeferredTraySignal signal(w.context());
        flags().loginWaitTimeOut = 5000;
        signal.MessageQueued();
        EXPECT_TRUE(signal.Counting());
    }  // stops both threads and waits for them, without moving the clock
    EXPECT_EQ(flags().loginStat, 0);
    EXPECT_EQ(w.clock().WaiterCount(), 0);
    w.windows().PumpPending();
    EXPECT_EQ(Trays(), 0);
}

}  // namespace
