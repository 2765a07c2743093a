// UserLogout, the session end with its four ways of closing, closing all windows and the
// named dialogs.
#include <gtest/gtest.h>

#include "chat/dlg_chat.h"
#include "config/client_config.h"
#include "core/window_messages.h"
#include "login/dlg_login.h"
#include "manager_fixture.h"
#include "os/services/log.h"
#include "os/sys/named_objects.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"
#include "platform/session/sim_session_core.h"

namespace host_api_test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kElsewhereTip = "您已经在其他计算机登录了此帐户";

class SessionEndTest : public ManagerTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Init());
        chat = manager->OpenChatWindow("peer$gov@host");
        ASSERT_NE(chat, nullptr);
        chatHwnd = chat->hwnd();
        core::QueuedMessage waiting;
        waiting.from = "other@host";
        waiting.type = core::kQueuedSmsType;
        manager->PendingMessages().Push(waiting);
        manager->WriteSharedFlag("Y");
        ClearSteps();
    }

    bool ChatClosed() const { return !world.windows().IsWindow(chatHwnd); }
    // How often the login panel logged in again by itself: its auto-relogin is a quiet login
    // command it posts to itself (with the fields empty, it ends in the input check, no box).
    int AutoRelogins() {
        world.windows().PumpPending();
        const CDlgLogin& panel = *manager->loginPanel();
        EXPECT_EQ(panel.quietMode(), panel.LoginCommands() > 0);
        return panel.LoginCommands();
    }
    std::vector<std::string> Tips() const { return world.tips().TipTexts(); }

    core::ChatWindow* chat = nullptr;
    os::HWND chatHwnd;
};

TEST_F(SessionEndTest, UserLogoutRunsTheSessionEndInOrderAndClosesFinally) {
    manager->UserLogout();
    EXPECT_THAT(Steps(),
                ElementsAre("LogEnterUserLogout", "Logout", "EndTransfers", "CloseNamedDialogs",
                            "CloseAuxiliaryWindow", "LeaveAllRooms", "SaveUserSettings",
                            "CloseAllWindows(final)", "EmptyContactTrees", "SwitchToPreLogin",
                            "WriteSharedFlag", "StopSessionServices", "CloseNotificationHandles",
                            "ClearHostTitle", "KillSessionTimers", "RecreateSessionObject",
                            "LogOutUserLogout"));
    EXPECT_TRUE(world.log().HasCaptured("Enter CWindowManager::UserLogout()"));
    EXPECT_TRUE(world.log().HasCaptured("Out CWindowManager::UserLogout()"));
    EXPECT_EQ(world.simSession().calls().Count("Logout"), 1u);
    EXPECT_TRUE(manager->Flags().userLogoutRequested);

    EXPECT_TRUE(ChatClosed());
    EXPECT_TRUE(manager->ChatWindows().empty());
    EXPECT_TRUE(manager->PendingMessages().Empty());
    EXPECT_EQ(manager->SharedBlock()[0], 'N');
    EXPECT_TRUE(Tips().empty());
    EXPECT_EQ(AutoRelogins(), 0);
}

TEST_F(SessionEndTest, TheHostHearsOfTheEndTheTrayAndAnEmptyTitle) {
    manager->UserLogout();
    const auto sessions = host.Of(core::WM_HOST_SESSION);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].wParam, 0u);
    EXPECT_EQ(sessions[0].lParam, core::kSessionEnded);
    const auto titles = host.Of(core::WM_HOST_TITLE);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_NE(titles[0].lParam, 0);
    EXPECT_EQ(titles[0].text, "");
    const auto trays = host.Of(core::WM_HOST_TRAY);
    ASSERT_EQ(trays.size(), 1u);
    EXPECT_EQ(trays[0].wParam, 0u);
    EXPECT_EQ(trays[0].lParam, 0);
}

TEST_F(SessionEndTest, UserLogoutReleasesTheAccountMutex) {
    bool existed = true;
    auto mutex = os::NamedMutex::Create(context.namedObjects, "li_USER_LOGINED0.000", context.clock,
                                        &existed);
    ASSERT_NE(mutex, nullptr);
    ASSERT_FALSE(existed);
    manager->KeepAccountMutex(std::move(mutex));
    manager->UserLogout();
    EXPECT_FALSE(manager->HoldsAccountMutex());
    // Nobody holds the name any more: it is made afresh.
    auto again = os::NamedMutex::Create(context.namedObjects, "li_USER_LOGINED0.000", context.clock,
                                        &existed);
    EXPECT_FALSE(existed);
}

TEST_F(SessionEndTest, UserLogoutAfterASecondLoginElsewhereEndsAsAForcedSession) {
    manager->Flags().loggedInElsewhere = true;
    manager->UserLogout();
    EXPECT_FALSE(manager->Flags().userLogoutRequested);
    EXPECT_THAT(Tips(), ElementsAre(kElsewhereTip));
    EXPECT_TRUE(ChatClosed());
    EXPECT_TRUE(Traced("LeaveAllRooms"));
}

struct Branch {
    const char* name;
    bool connectionLost;
    bool loggedInElsewhere;
    bool userLogoutRequested;
    bool final;
    bool tip;
    bool autoRelogin;
};

class SessionEndBranchTest : public SessionEndTest, public ::testing::WithParamInterface<Branch> {};

TEST_P(SessionEndBranchTest, TheFlagsDecideHowWindowsClose) {
    const Branch& branch = GetParam();
    manager->Flags().connectionLost = branch.connectionLost;
    manager->Flags().loggedInElsewhere = branch.loggedInElsewhere;
    manager->Flags().userLogoutRequested = branch.userLogoutRequested;

    manager->EndSession();

    EXPECT_EQ(ChatClosed(), branch.final);
    EXPECT_EQ(manager->ChatWindows().empty(), branch.final);
    EXPECT_EQ(manager->PendingMessages().Empty(), branch.final);
    if (!branch.final) {
        auto* open = dynamic_cast<CDlgChat*>(chat);
        ASSERT_NE(open, nullptr);
        EXPECT_EQ(open->NotFinalShutdowns(), 1);
    }
    EXPECT_EQ(Tips().size(), branch.tip ? 1u : 0u);
    if (branch.tip) {
        EXPECT_EQ(Tips()[0], kElsewhereTip);
    }
    // Rooms are kept for re-entry while the connection is lost.
    EXPECT_EQ(Traced("LeaveAllRooms"), !branch.connectionLost);
    // Every way ends at the login panel.
    EXPECT_TRUE(world.windows().IsWindowVisible(manager->LoginPanel()));
    EXPECT_FALSE(world.windows().IsWindowVisible(manager->MainPanel()));
    EXPECT_EQ(AutoRelogins(), branch.autoRelogin ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, SessionEndBranchTest,
    ::testing::Values(
        // The connection is gone: windows stay for the reconnect; a second login is told.
        Branch{"LostConnection", true, false, true, false, false, false},
        Branch{"LostConnectionElsewhere", true, true, false, false, true, false},
        Branch{"UserLogout", false, false, true, true, false, false},
        Branch{"LoggedInElsewhere", false, true, false, true, true, false},
        // The server ended the session by itself: log in again quietly.
        Branch{"EndedByServer", false, false, false, false, false, true}),
    [](const ::testing::TestParamInfo<Branch>& info) { return std::string(info.param.name); });

TEST_F(SessionEndTest, TheNamedDialogsAndTheStartupBrowserAreClosed) {
    context.config.StartupIE.Title = "欢迎页";
    std::vector<std::unique_ptr<os::Window>> windows;
    auto make = [&](const std::string& title) {
        auto window = std::make_unique<os::Window>(world.windows());
        os::Window::CreateParams params;
        params.title = title;
        EXPECT_TRUE(window->Create(params));
        windows.push_back(std::move(window));
        return windows.back().get();
    };
    os::Window* settings = make("系统设置");
    os::Window* exportDialog = make("导出");
    os::Window* version = make("Qorvdesk版本");
    os::Window* browser = make("欢迎页");
    os::Window* unrelated = make("导出联系人");
    os::Window* untitled = make("");

    manager->CloseNamedDialogs();
    EXPECT_FALSE(settings->IsWindow());
    EXPECT_FALSE(exportDialog->IsWindow());
    EXPECT_FALSE(version->IsWindow());
    EXPECT_FALSE(browser->IsWindow());
    EXPECT_TRUE(unrelated->IsWindow());
    EXPECT_TRUE(untitled->IsWindow());
}

TEST_F(SessionEndTest, AnUnsetBrowserTitleClosesNoUntitledWindow) {
    context.config.StartupIE.Title.clear();
    os::Window untitled(world.windows());
    ASSERT_TRUE(untitled.Create({}));
    manager->EndSession();
    EXPECT_TRUE(untitled.IsWindow());
}

TEST_F(SessionEndTest, FreeWindowsClosesEveryChatWindowFinally) {
    manager->FreeWindows();
    EXPECT_TRUE(ChatClosed());
    EXPECT_TRUE(manager->ChatWindows().empty());
    EXPECT_TRUE(manager->PendingMessages().Empty());
}

}  // namespace
}  // namespace host_api_test
