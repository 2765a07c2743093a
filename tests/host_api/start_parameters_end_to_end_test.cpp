// The start parameters through the shipped wiring: the command line read at InitWindows logs
// in through the login panel, OnIMParam hands over the requests of a second start, and
// Perform (the command poll after login) opens the chat and runs the action once.
#include <gtest/gtest.h>

#include "core/doors.h"
#include "core/doors/start_parameters.h"
#include "login/password_scrambler.h"
#include "login/start_parameters.h"
#include "subsystems_fixture.h"

namespace host_api_test {
namespace {

class StartParametersEndToEndTest : public SubsystemsTest {
  protected:
    std::string Scrambled() const { return login::ScramblePassword("pw"); }
    bool LoggedIn() {
        return testing_support::PumpUntil(
            world.windows(), [&] { return world.windows().IsWindowVisible(manager->MainPanel()); });
    }
    core::StartParameters& door() { return *context.doors().startParameters; }
    const login::CommandLineRequest& request() { return subsystems->startParameters().request(); }
};

TEST_F(StartParametersEndToEndTest, TheStartCommandLineLogsInAndOpensOneChat) {
    context.startCommandLine = "qorvdesk -username=me&password=" + Scrambled() + "&talkid=bob";
    ASSERT_NO_FATAL_FAILURE(Init());
    ASSERT_TRUE(LoggedIn());
    EXPECT_EQ(world.simSession().calls().Named("Login").size(), 1u);
    EXPECT_EQ(request().talkname, world.simSession().GetUserLimitId("bob"));

    door().Perform();
    ASSERT_NE(manager->FindChatWindow(bob, platform::JidMatch::Loose), nullptr);
    ASSERT_TRUE(manager->CloseChatWindow(bob));
    // Later polls do nothing more.
    door().Perform();
    door().Perform();
    EXPECT_EQ(manager->FindChatWindow(bob, platform::JidMatch::Loose), nullptr);
    EXPECT_TRUE(manager->ChatWindows().empty());
}

TEST_F(StartParametersEndToEndTest, ASecondStartBeforeLoginLogsInWithItsAccount) {
    ASSERT_NO_FATAL_FAILURE(Init());
    EXPECT_EQ(manager->OnIMParam(4, ""), 0);
    manager->OnIMParam(0, "username=me&password=" + Scrambled());
    ASSERT_TRUE(LoggedIn());
    EXPECT_EQ(manager->OnIMParam(1, "me"), 1);
    EXPECT_EQ(manager->OnIMParam(1, "ME"), 0);
}

TEST_F(StartParametersEndToEndTest, AnSmsWithoutItsNumberStaysPendingUntilANumberComes) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    manager->OnIMParam(0, "action=sendsms");
    door().Perform();
    EXPECT_TRUE(request().ActionPending());
    EXPECT_TRUE(manager->ChatWindows().empty());

    manager->OnIMParam(0, "action=sendsms&actparam= 13900000000 ");
    const std::string smsJid = "13900000000@sms." + world.server().HostName();
    ASSERT_NE(manager->FindChatWindow(smsJid, platform::JidMatch::Exact), nullptr);
    EXPECT_FALSE(request().ActionPending());
}

TEST_F(StartParametersEndToEndTest, ActionsOfASecondStartRunOnceWhileLoggedIn) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    struct Case {
        const char* text;
        int batchCommands;  // WM_COMMAND 0x8047 to the host's frame
        bool pending;
    };
    const Case cases[] = {
        {"action=batchsendsms", 1, false},
        {"action=telcall", 0, true},
        {"action=telcall&actparam=8001", 0, false},
        {"action=dance", 0, false},
        {"talkid=bob&action=batchsendsms", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        host.seen.clear();
        manager->OnIMParam(0, c.text);
        door().Perform();
        while (world.windows().PumpPending() > 0) {
        }
        int batch = 0;
        for (const auto& seen : host.Of(os::WM_COMMAND))
            batch += seen.wParam == static_cast<os::WPARAM>(login::kBatchSmsCommand);
        EXPECT_EQ(batch, c.batchCommands);
        EXPECT_EQ(request().ActionPending(), c.pending);
    }
    EXPECT_NE(manager->FindChatWindow(bob, platform::JidMatch::Loose), nullptr);
}

}  // namespace
}  // namespace host_api_test
