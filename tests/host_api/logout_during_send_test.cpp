// A log-out while the notification thread is handing a notification to the UI thread: the
// UI thread that stops the pump answers the send meanwhile, so neither waits for the other
// and no time passes on the manual clock.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/doors.h"
#include "core/doors/notification_pump.h"
#include "notify/base_proxy.h"
#include "subsystems_fixture.h"
#include "support/wait_for.h"

namespace host_api_test {
namespace {

using testing_support::WaitFor;

class LogoutDuringSendTest : public SubsystemsTest {};

TEST_F(LogoutDuringSendTest, UserLogoutAnswersTheSendOfThePumpItStops) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    remote = Remote("bob");
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));
    // The login's own records (the data phase, the lists) are through first: the pump is idle.
    const platform::SimSessionCore& idle = world.simSession();
    ASSERT_TRUE(PumpUntil(world.windows(),
                          [&] { return idle.QueuedCount() == 0 && idle.IssuedCount() == 0; }));

    // Bob's message goes the UI route: the pump sends it to the main panel and waits there,
    // as this (the UI) thread does not pump.
    const platform::SimSessionCore& session = world.simSession();
    ASSERT_EQ(remote->SendChatMessage(me, "在吗", "FONT(宋体,134,2,180,0,0,0,0,0,0,0)"), 1);
    ASSERT_TRUE(WaitFor([&] { return session.IssuedCount() == 1 && session.QueuedCount() == 0; },
                        "the pump to take Bob's message"));
    const os::Millis before = world.clock().Now();

    std::atomic<bool> loggedOut{false};
    std::thread rescuer([&] {
        // Only a stop wait that does not answer the send keeps UserLogout here; then its
        // 200 ms pass, so the test fails below instead of hanging.
        if (!WaitFor([&] { return loggedOut.load(); }, "UserLogout on an unmoved clock")) {
            world.clock().Advance(CBaseProxy::kStopWaitMs);
        }
    });
    manager->UserLogout();
    loggedOut = true;
    rescuer.join();

    EXPECT_EQ(world.clock().Now(), before) << "the log-out waited out the pump's stop";
    EXPECT_FALSE(world.log().HasCaptured("did not end within 200 ms"));
    EXPECT_FALSE(context.doors().pump->ThreadRunning());
    EXPECT_FALSE(manager->Flags().loggedIn);
    // The message was handled and given back before the thread ended.
    EXPECT_EQ(session.IssuedCount(), 0u);
}

}  // namespace
}  // namespace host_api_test
