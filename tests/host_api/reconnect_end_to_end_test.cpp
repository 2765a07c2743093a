// Reconnecting through the shipped wiring on the simulated server: the countdown after a login
// time-out with its two links, the network watch after a lost connection, a login elsewhere,
// and a long run of forced disconnects that each end logged in again.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/doors.h"
#include "core/doors/room_service.h"
#include "core/window_messages.h"
#include "login/dlg_login.h"
#include "os/controls/control.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "subsystems_fixture.h"
#include "support/doors/recording_rooms.h"

namespace host_api_test {
namespace {

constexpr os::Millis kLoginTimeoutMs = 20000;  // LoginTimeOut is not configured

class ReconnectTest : public SubsystemsTest {
  protected:
    ReconnectTest() {
        subsystems->reconnect().SetNetworkProbe([this] { return networkUp; });
        context.doors().rooms.Plug(rooms);
    }
    ~ReconnectTest() override { context.doors().rooms.Unplug(); }

    CDlgLogin& panel() { return *manager->loginPanel(); }
    bool Visible(int id) { return panel().FindControl(id)->visible(); }
    std::string Label() { return panel().FindControl(CDlgLogin::kProgressLabelId)->Text(); }
    int Logins() { return static_cast<int>(world.simSession().calls().Count("Login")); }
    bool MainPanelShown() { return world.windows().IsWindowVisible(manager->MainPanel()); }

    // Moves the manual clock in steps of at most a second and handles what falls due, so a
    // once-a-second countdown sees every tick.
    void Advance(os::Millis ms) {
        for (os::Millis done = 0; done < ms;) {
            const os::Millis step = std::min<os::Millis>(1000, ms - done);
            world.clock().Advance(step);
            done += step;
            world.windows().PumpPending();
        }
    }

    // Types the account and presses the login button, as LogInAs does, without waiting for
    // the main panel.
    void PressLogin(const char* login) {
        qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
        const auto window = manager->LoginPanel().value();
        ASSERT_TRUE(driver.TypeText(window, CDlgLogin::kAccountId, login)) << driver.LastError();
        ASSERT_TRUE(driver.TypeText(window, CDlgLogin::kPasswordId, "pw")) << driver.LastError();
        ASSERT_TRUE(driver.Click(window, CDlgLogin::kLoginButtonId)) << driver.LastError();
    }

    // Waits until the attempt's watcher waits out the login time-out on a refused login,
    // then lets the time-out pass and pumps until the countdown shows.
    ::testing::AssertionResult TimeOutIntoCountdown(int seconds) {
        const std::string text = os::Format("网络错误或服务器忙,%2d秒后重连...", seconds);
        if (auto waiting = PumpUntil(world.windows(),
                                     [&] { return world.clock().WaiterCount() >= 1; });
            !waiting) {
            return waiting;
        }
        world.clock().Advance(kLoginTimeoutMs);
        return PumpUntil(world.windows(), [&] {
            return Visible(CDlgLogin::kReconnectNowId) && Label() == text;
        });
    }

    // Reads the host's WM_COMMAND ID_HOST_CONNECTION_LOST and answers as a host does: the
    // user is logged out, which ends the session without leaving its rooms.
    ::testing::AssertionResult AnswerConnectionLost() {
        auto told = PumpUntil(world.windows(), [&] {
            int lost = 0;
            for (const auto& seen : host.seen) {
                lost += seen.message == os::WM_COMMAND &&
                        seen.wParam == static_cast<os::WPARAM>(core::ID_HOST_CONNECTION_LOST);
            }
            return lost > hostToldLost;
        });
        if (!told) return told;
        ++hostToldLost;
        manager->UserLogout();
        return ::testing::AssertionSuccess();
    }

    testing_support::RecordingRooms rooms;
    bool networkUp = true;
    int hostToldLost = 0;
};

TEST_F(ReconnectTest, TheFirstTimeOutCountsDownTenSecondsAndThenLogsInAgain) {
    ASSERT_NO_FATAL_FAILURE(Init());
    world.server().SetRefusingLogins(true);
    ASSERT_NO_FATAL_FAILURE(PressLogin("me"));
    ASSERT_TRUE(TimeOutIntoCountdown(10));
    EXPECT_TRUE(Visible(CDlgLogin::kCancelReconnectId));
    EXPECT_TRUE(Visible(CDlgLogin::kProgressBarId));
    EXPECT_FALSE(Visible(CDlgLogin::kLoginButtonId));
    EXPECT_TRUE(world.log().HasCaptured("CDlgLogin::准备重连,等待倒计时....\n"));
    const int loginsBefore = Logins();

    // One tick a second, the label following.
    Advance(1000);
    EXPECT_EQ(Label(), "网络错误或服务器忙, 9秒后重连...");
    Advance(8000);
    EXPECT_EQ(Label(), "网络错误或服务器忙, 1秒后重连...");
    EXPECT_EQ(Logins(), loginsBefore);

    // The server is back: the tenth tick ends the countdown (well within its 11 s wait) and
    // the new attempt logs in without asking for the inputs again.
    world.server().SetRefusingLogins(false);
    Advance(1000);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return MainPanelShown(); }));
    EXPECT_EQ(Logins(), loginsBefore + 1);
    EXPECT_TRUE(world.log().HasCaptured("CDlgLogin::开始重连...."));
    EXPECT_FALSE(world.log().HasCaptured("CDlgLogin::重连时状态错误...."));
    EXPECT_FALSE(Visible(CDlgLogin::kReconnectNowId));
    EXPECT_EQ(panel().reconnectCount(), 0);
}

TEST_F(ReconnectTest, EachTimeOutInARowLengthensTheCountdownByTenSeconds) {
    ASSERT_NO_FATAL_FAILURE(Init());
    world.server().SetRefusingLogins(true);
    ASSERT_NO_FATAL_FAILURE(PressLogin("me"));
    for (int seconds : {10, 20, 30}) {
        ASSERT_TRUE(TimeOutIntoCountdown(seconds)) << seconds;
        EXPECT_EQ(panel().reconnectCount(), seconds / 10);
        const int loginsBefore = Logins();
        Advance(os::Millis{seconds} * 1000);
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Logins() == loginsBefore + 1; }))
            << seconds;
    }
    EXPECT_TRUE(world.prompter().Records().empty());  // no box while it reconnects itself
}

TEST_F(ReconnectTest, TheTwoLinksReconnectAtOnceOrGiveTheInputsBack) {
    ASSERT_NO_FATAL_FAILURE(Init());
    world.server().SetRefusingLogins(true);
    ASSERT_NO_FATAL_FAILURE(PressLogin("me"));
    ASSERT_TRUE(TimeOutIntoCountdown(10));
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    const auto window = manager->LoginPanel().value();

    // "立即重连": a new attempt now, the countdown stopped.
    int loginsBefore = Logins();
    ASSERT_TRUE(driver.Click(window, CDlgLogin::kReconnectNowId)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Logins() == loginsBefore + 1; }));
    EXPECT_FALSE(Visible(CDlgLogin::kReconnectNowId));

    // Refused again: the second countdown; "取消重连" gives the inputs back, and no attempt
    // follows however long the panel waits.
    ASSERT_TRUE(TimeOutIntoCountdown(20));
    loginsBefore = Logins();
    ASSERT_TRUE(driver.Click(window, CDlgLogin::kCancelReconnectId)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Visible(CDlgLogin::kLoginButtonId); }));
    EXPECT_TRUE(world.log().HasCaptured("CDlgLogin::取消重连...."));
    EXPECT_FALSE(Visible(CDlgLogin::kReconnectNowId));
    EXPECT_FALSE(Visible(CDlgLogin::kCancelReconnectId));
    EXPECT_FALSE(Visible(CDlgLogin::kProgressBarId));
    EXPECT_FALSE(Visible(CDlgLogin::kProgressLabelId));
    EXPECT_FALSE(panel().quietMode());
    EXPECT_FALSE(panel().IsLoggingIn());
    Advance(60000);
    EXPECT_EQ(Logins(), loginsBefore);
    EXPECT_FALSE(world.log().HasCaptured("CDlgLogin::重连时状态错误...."));
}

TEST_F(ReconnectTest, OtherChoiceMessagesAreIgnored) {
    ASSERT_NO_FATAL_FAILURE(Init());
    world.server().SetRefusingLogins(true);
    ASSERT_NO_FATAL_FAILURE(PressLogin("me"));
    ASSERT_TRUE(TimeOutIntoCountdown(10));
    world.windows().SendMessage(manager->LoginPanel(), CDlgLogin::kReconnectChoice, 9004, 0);
    Advance(1000);
    EXPECT_EQ(Label(), "网络错误或服务器忙, 9秒后重连...");
    EXPECT_TRUE(Visible(CDlgLogin::kReconnectNowId));
}

TEST_F(ReconnectTest, ALostConnectionLogsInAgainOnceTheNetworkIsBackAndReentersTheRooms) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    networkUp = false;
    ClearSteps();
    ASSERT_TRUE(world.simSession().DropConnection());
    ASSERT_TRUE(AnswerConnectionLost());
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return !MainPanelShown(); }));
    EXPECT_FALSE(Traced("LeaveAllRooms"));  // a lost connection keeps the rooms
    const int loginsBefore = Logins();

    // No network: the watch looks every 10 s and waits.
    Advance(30000);
    EXPECT_EQ(Logins(), loginsBefore);

    // The network is back: the next look logs in, and the rooms are entered again once.
    networkUp = true;
    Advance(10000);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return MainPanelShown(); }));
    EXPECT_EQ(Logins(), loginsBefore + 1);
    EXPECT_EQ(rooms.reentered, 1);
    EXPECT_FALSE(manager->Flags().connectionLost.load());

    // The watch has ended: no login more, and a later log-out by the user is no lost one.
    Advance(30000);
    EXPECT_EQ(Logins(), loginsBefore + 1);
}

TEST_F(ReconnectTest, AfterALoginElsewhereTheLostConnectionStartsNoNetworkWatch) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    // The same account logs in on another computer: this session is told, then loses its
    // connection.
    auto other = Remote("me");
    ASSERT_TRUE(AnswerConnectionLost());
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return !MainPanelShown(); }));
    const int loginsBefore = Logins();
    Advance(60000);
    EXPECT_EQ(Logins(), loginsBefore);
    const std::vector<std::string> tips = world.tips().TipTexts();
    EXPECT_NE(std::find(tips.begin(), tips.end(), "您已经在其他计算机登录了此帐户"), tips.end());

    // The next login by hand clears the flag: a later drop is watched again.
    other.reset();
    ASSERT_NO_FATAL_FAILURE(LogInAs("me"));
    EXPECT_FALSE(manager->Flags().loggedInElsewhere.load());
    ASSERT_TRUE(world.simSession().DropConnection());
    ASSERT_TRUE(AnswerConnectionLost());
    Advance(10000);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return MainPanelShown(); }));
}

}  // namespace
}  // namespace host_api_test
