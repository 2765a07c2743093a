// The staggered start of a session after a login through the shipped wiring: the main
// panel's timers with the configured delays, the contact-list requests, the command-line
// poll, the file-update check, and the idle rule with the idle time the host reports.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "config/client_config.h"
#include "core/doors.h"
#include "login/startup_timers.h"
#include "os/services/log.h"
#include "subsystems_fixture.h"
#include "support/doors/recording_start_parameters.h"
#include "support/doors/recording_updates.h"

namespace host_api_test {
namespace {

class StartupTimersTest : public SubsystemsTest {
  protected:
    StartupTimersTest() {
        context.doors().startParameters.Plug(startParameters);
        context.doors().updates.Plug(updates);
        timers().SetIdleSource([this] { return idleMs; });
    }
    ~StartupTimersTest() override {
        context.doors().startParameters.Unplug();
        context.doors().updates.Unplug();
    }

    login::StartupTimers& timers() { return subsystems->mainWindowShell().startupTimers(); }
    int Calls(const char* name) { return static_cast<int>(world.simSession().calls().Count(name)); }
    // Moves the manual clock a second at a time, handling what falls due.
    void Advance(os::Millis ms) {
        for (os::Millis done = 0; done < ms; done += 1000) {
            world.clock().Advance(1000);
            world.windows().PumpPending();
        }
    }
    std::string ServerPresence() { return world.server().PresenceOf(me); }

    testing_support::RecordingStartParameters startParameters;
    testing_support::RecordingUpdates updates;
    std::optional<os::Millis> idleMs;
};

TEST_F(StartupTimersTest, AShortUpdatefileDelayIsRaisedToThirtySeconds) {
    context.config.UpdatefileDelay = 5;
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    EXPECT_EQ(context.config.UpdatefileDelay, 30);
    Advance(29000);
    EXPECT_EQ(updates.fileUpdateChecks, 0);
    Advance(1000);
    EXPECT_EQ(updates.fileUpdateChecks, 1);
    Advance(60000);
    EXPECT_EQ(updates.fileUpdateChecks, 1);  // once per session
}

TEST_F(StartupTimersTest, TheCommandLineIsPolledEveryFiveSecondsUntilTheSessionEnds) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    Advance(4000);
    EXPECT_EQ(startParameters.actionPolls, 0);
    Advance(11000);
    EXPECT_EQ(startParameters.actionPolls, 3);
    manager->UserLogout();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return !world.windows().IsWindowVisible(manager->MainPanel());
    }));
    Advance(20000);
    EXPECT_EQ(startParameters.actionPolls, 3);
}

struct CustomTabsCase {
    int delay;     // LoadCustomTabUrlDelay
    int atLogin;   // loads at the login
    int after60s;  // loads a minute later
};

class CustomTabsTest : public StartupTimersTest,
                       public ::testing::WithParamInterface<CustomTabsCase> {};

TEST_P(CustomTabsTest, TheCustomTabsLoadAfterTheirDelay) {
    context.config.LoadCustomTabUrlDelay = GetParam().delay;
    int loads = 0;
    timers().seams().loadCustomTabs = [&loads] { ++loads; };
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    EXPECT_EQ(loads, GetParam().atLogin);
    Advance(60000);
    EXPECT_EQ(loads, GetParam().after60s);
}

INSTANTIATE_TEST_SUITE_P(Delays, CustomTabsTest,
                         ::testing::Values(CustomTabsCase{0, 1, 1}, CustomTabsCase{3, 0, 1},
                                           CustomTabsCase{-1, 0, 0}, CustomTabsCase{-5, 0, 0}),
                         [](const ::testing::TestParamInfo<CustomTabsCase>& info) {
                             return "Delay" + std::to_string(info.index);
                         });

TEST_F(StartupTimersTest, TheContactListsComeAfterTenSecondsAndTheRosterOnlyWhenNotAskedYet) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    // The login's data phase asked for the roster and the phone book already (no caches).
    const int rosters = Calls("RefreshRoster");
    const int phoneBooks = Calls("RefreshTelContactTop");
    ASSERT_GE(rosters, 1);
    ASSERT_GE(phoneBooks, 1);
    Advance(9000);
    EXPECT_EQ(Calls("RequestOrganizeList"), 0);
    Advance(1000);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Calls("RequestOrganizeList") == 3; }));
    const auto lists = world.simSession().calls().Named("RequestOrganizeList");
    EXPECT_EQ(lists.size(), 3u);
    EXPECT_EQ(Calls("RefreshRoster"), rosters);
    EXPECT_EQ(Calls("RefreshTelContactTop"), phoneBooks);
}

TEST_F(StartupTimersTest, TheIdleRuleTurnsAnOnlineUserAwayAndBackButLeavesBusyAlone) {
    context.config.AutoChangeStateOnIdleTimeout = 1;
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    // Unknown idle time: the user counts as present.
    Advance(60000);
    EXPECT_EQ(ServerPresence(), "online");

    idleMs = 59999;
    Advance(30000);
    EXPECT_EQ(ServerPresence(), "online");
    idleMs = 60000;
    Advance(30000);
    EXPECT_EQ(ServerPresence(), "away");
    EXPECT_TRUE(timers().autoAwayActive());
    idleMs = 500;  // back at the keyboard
    Advance(30000);
    EXPECT_EQ(ServerPresence(), "online");
    EXPECT_FALSE(timers().autoAwayActive());

    // The user chose "busy": however long he is away, it stays.
    manager->ChanngeStatus("busy");
    idleMs = 3600000;
    Advance(90000);
    EXPECT_EQ(ServerPresence(), "busy");
    EXPECT_FALSE(timers().autoAwayActive());
}

TEST_F(StartupTimersTest, WithoutAnIdleTimeoutThePresenceNeverChanges) {
    context.config.AutoChangeStateOnIdleTimeout = 0;
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    idleMs = 0;
    Advance(60000);
    EXPECT_EQ(ServerPresence(), "online");
    idleMs = 24 * 3600000;
    Advance(60000);
    EXPECT_EQ(ServerPresence(), "online");
}

TEST_F(StartupTimersTest, TheStartNamesTheStepsThatWaitForTheirParts) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    EXPECT_TRUE(world.log().HasCaptured(
        "start-up step \"startup page\" is not plugged in: it waits for its part"));
    EXPECT_TRUE(world.log().HasCaptured(
        "start-up step \"VPN connection\" is not plugged in: it waits for its part"));
}

}  // namespace
}  // namespace host_api_test
