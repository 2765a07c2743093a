// Switching between the login panel and the main panel, at once or after the post-login
// wait, and what the switch does for a reconnect.
#include <gtest/gtest.h>

#include "core/doors.h"
#include "login/dlg_login.h"
#include "manager_fixture.h"
#include "os/controls/label.h"
#include "os/controls/progress_bar.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "support/doors/recording_rooms.h"

namespace host_api_test {
namespace {

class InterfaceSwitchTest : public ManagerTest {
  protected:
    void SetUp() override {
        context.doors().rooms.Plug(rooms);
        ASSERT_NO_FATAL_FAILURE(Init());
    }
    bool MainShown() const { return world.windows().IsWindowVisible(manager->MainPanel()); }
    bool LoginShown() const { return world.windows().IsWindowVisible(manager->LoginPanel()); }
    // Lets time pass and runs what the delayed switch handed to the UI thread.
    void Pass(os::Millis ms) {
        world.clock().Advance(ms);
        if (world.clock().Now() >= deadline) manager->WaitForDelayedSwitch();
        world.windows().PumpPending();
    }

    testing_support::RecordingRooms rooms;
    os::Millis deadline = os::kInfinite;
};

TEST_F(InterfaceSwitchTest, SwitchingAtOnceShowsOnePanelAndLogsIt) {
    manager->Flags().loggingIn = true;
    manager->SwitchInterface(core::ClientInterface::PostLogin);
    EXPECT_TRUE(MainShown());
    EXPECT_FALSE(LoginShown());
    EXPECT_FALSE(manager->Flags().loggingIn);
    EXPECT_TRUE(manager->IsLoggedIn());
    EXPECT_TRUE(world.log().HasCaptured("切换登录后界面！"));

    manager->SwitchInterface(core::ClientInterface::PreLogin);
    EXPECT_FALSE(MainShown());
    EXPECT_TRUE(LoginShown());
    EXPECT_TRUE(world.log().HasCaptured("切换登录前界面！"));
}

TEST_F(InterfaceSwitchTest, ThePostLoginWaitShowsProgressAndSwitchesWhenItIsOver) {
    manager->SetLoginWaitTimeOut(3000);
    deadline = world.clock().Now() + 3000;
    manager->SwitchInterface(core::ClientInterface::PostLogin);
    CDlgLogin& panel = *manager->loginPanel();
    EXPECT_TRUE(panel.progressLabel().visible());
    EXPECT_EQ(panel.progressLabel().Text(), "登陆成功，正在加载信息....");
    EXPECT_TRUE(panel.progressBar().visible());
    EXPECT_FALSE(MainShown());

    Pass(2999);
    EXPECT_FALSE(MainShown());
    EXPECT_EQ(manager->GetLoginWaitTimeOut(), 3000u);

    Pass(1);
    EXPECT_TRUE(MainShown());
    EXPECT_FALSE(LoginShown());
    EXPECT_EQ(manager->GetLoginWaitTimeOut(), 0u);
    EXPECT_FALSE(panel.progressLabel().visible());
    EXPECT_FALSE(panel.progressBar().visible());
}

TEST_F(InterfaceSwitchTest, ACancelledLoginKeepsTheLoginPanel) {
    manager->SetLoginWaitTimeOut(500);
    deadline = world.clock().Now() + 500;
    manager->SwitchInterface(core::ClientInterface::PostLogin);
    manager->Flags().loginCancelled = true;
    Pass(500);
    EXPECT_FALSE(MainShown());
    EXPECT_EQ(manager->GetLoginWaitTimeOut(), 500u);
}

TEST_F(InterfaceSwitchTest, TheSwitchAfterALostConnectionReentersTheRooms) {
    manager->Flags().connectionLost = true;
    manager->SetLoginWaitTimeOut(100);
    deadline = world.clock().Now() + 100;
    manager->SwitchInterface(core::ClientInterface::PostLogin);
    EXPECT_EQ(rooms.reentered, 0);
    EXPECT_TRUE(manager->Flags().connectionLost);
    Pass(100);
    EXPECT_EQ(rooms.reentered, 1);
    EXPECT_FALSE(manager->Flags().connectionLost);
}

TEST_F(InterfaceSwitchTest, AnImmediateSwitchAfterALostConnectionClearsItToo) {
    manager->Flags().connectionLost = true;
    manager->SwitchInterface(core::ClientInterface::PostLogin);
    EXPECT_EQ(rooms.reentered, 1);
    EXPECT_FALSE(manager->Flags().connectionLost);
    // A later log-out is then the user's, with the rooms left.
    manager->UserLogout();
    EXPECT_TRUE(Traced("LeaveAllRooms"));
    EXPECT_TRUE(Traced("CloseAllWindows(final)"));
}

TEST_F(InterfaceSwitchTest, AManagerGoneBeforeTheWaitEndsSwitchesNothing) {
    manager->SetLoginWaitTimeOut(1000);
    manager->SwitchInterface(core::ClientInterface::PostLogin);
    manager.reset();  // cancels the waiting thread and joins it
    world.clock().Advance(1000);
    EXPECT_EQ(world.windows().PumpPending(), 0);
}

}  // namespace
}  // namespace host_api_test
