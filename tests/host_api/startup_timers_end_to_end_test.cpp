// The staggered start of a session after a login through the shipped wiring: the main
// panel's timers with the configured delays, the contact-list requests, the command-line
// poll, the file-update check, and the idle rule with the idle time the host reports.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // Writes the deployment configuration that InitWindows reads: `lines` ("Key=value",
    // one a line) in its common section.
    void Configure(std::string_view lines) {
        std::ofstream(commonDir.path() / "config.ini") << "[Common Setting]\r\n" << lines;
    }
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
    Configure("UpdatefileDelay=5\r\n");
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
    // The answers to timer 8's requests are handled first: the log-out stops the pump.
    const platform::SimSessionCore& session = world.simSession();
    ASSERT_TRUE(PumpUntil(
        world.windows(), [&] { return session.QueuedCount() == 0 && session.IssuedCount() == 0; }));
    manager->UserLogout();
    ASSERT_TRUE(PumpUntil(world.windows(),
                          [&] { return !world.windows().IsWindowVisible(manager->MainPanel()); }));
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
    Configure("LoadCustomTabUrlDelay=" + std::to_string(GetParam().delay) + "\r\n");
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
    // The login's data phase, which follows the switch of the interface, asks for the roster
    // and the phone book (no caches); the clock stands still meanwhile.
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return Calls("RefreshRoster") >= 1 && Calls("RefreshTelContactTop") >= 1;
    }));
    const int rosters = Calls("RefreshRoster");
    const int phoneBooks = Calls("RefreshTelContactTop");
    const int listsAtLogin = Calls("RequestOrganizeList");
    Advance(9000);
    EXPECT_EQ(Calls("RequestOrganizeList"), listsAtLogin);
    Advance(1000);
    EXPECT_EQ(Calls("RequestOrganizeList"), listsAtLogin + 1);
    // The next two follow 100 ms apart; then nothing more is asked for.
    for (int pause = 0; pause < 2; ++pause) {
        world.clock().Advance(login::StartupTimers::kRequestPauseMs);
        world.windows().PumpPending();
    }
    Advance(5000);
    const auto lists = world.simSession().calls().Named("RequestOrganizeList");
    ASSERT_EQ(static_cast<int>(lists.size()), listsAtLogin + 3);
    for (int i = 0; i < 3; ++i) {
        const auto& args = lists[static_cast<std::size_t>(listsAtLogin + i)].args;
        EXPECT_EQ(args, (std::vector<std::string>{std::to_string(i == 0   ? 6
                                                                 : i == 1 ? 9
                                                                          : 10),
                                                  "2"}))
            << i;
    }
    EXPECT_EQ(Calls("RefreshRoster"), rosters);
    EXPECT_EQ(Calls("RefreshTelContactTop"), phoneBooks);
}

TEST_F(StartupTimersTest, TheIdleRuleTurnsAnOnlineUserAwayAndBackButLeavesBusyAlone) {
    Configure("AutoChangeStateOnIdleTimeout=1\r\n");
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
    Configure("AutoChangeStateOnIdleTimeout=0\r\n");
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
