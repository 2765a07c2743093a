// The engine's login result: success and failure, and the nickname login.
#include <gtest/gtest.h>

#include "config/client_config.h"
#include "core/window_messages.h"
#include "login/login_history.h"
#include "login_fixture.h"
#include "os/controls/check_box.h"
#include "os/prompt/message_box.h"
#include "os/services/log.h"
#include "os/services/sound_player.h"
#include "os/sys/file_ops.h"
#include "os/text/gbk_codec.h"
#include "platform/session/sim_session_core.h"

namespace login_test {
namespace {

TEST_F(LoginTest, ASuccessfulLoginRemembersTheAccountWithoutTheClearPassword) {
    AddAccount("alice", "s3cret-pw");
    panel->GetControl<os::CheckBox>(CDlgLogin::kRememberPasswordId)->SetCheck(true);
    Type("Alice", "s3cret-pw");
    PressLogin();
    ASSERT_TRUE(FinishThreads());  // the engine sets "LoginEvent": the watcher ends at once
    EXPECT_TRUE(world.log().HasCaptured("登录成功"));
    EXPECT_EQ(DeliverResults(), 1);

    core::SessionFlags& flags = manager.Flags();
    EXPECT_TRUE(flags.loggedIn.load());
    EXPECT_FALSE(flags.userLogoutRequested.load());
    EXPECT_TRUE(flags.loggingIn.load()) << "cleared by the switch to the main panel";
    EXPECT_EQ(manager.sharedFlags, std::vector<std::string>{"Y"});
    EXPECT_EQ(host.Count(core::WM_HOST_SESSION), 1);
    EXPECT_TRUE(manager.HoldsAccountMutex());
    EXPECT_TRUE(os::DirectoryExists(commonDir.str() + "alice/"));
    EXPECT_EQ(world.sound().Played(), std::vector<std::string>{appDir.str() + "sound/welcome.wav"});
    EXPECT_EQ(world.simSession().calls().Count("QueryDefaultMailMonitors"), 1u);
    EXPECT_EQ(settings.loads, 1);
    EXPECT_EQ(shell.sessionStarts, 1);
    EXPECT_EQ(shell.auxiliaryWindowsOpened, 1);
    EXPECT_EQ(libraries.sessionStarts, 1);

    std::string bytes;
    ASSERT_TRUE(os::ReadFile(commonDir.str() + "user.dat", bytes));
    EXPECT_EQ(bytes.find("s3cret-pw"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.rfind("alice;", 0), 0u) << bytes;
    login::LoginHistory history(commonDir.str() + "user.dat", login::HistoryLayout::Full);
    ASSERT_TRUE(history.Load());
    ASSERT_EQ(history.accounts().size(), 1u);
    EXPECT_EQ(history.accounts()[0].password, "s3cret-pw");

    // A second press while logged in does nothing.
    PressLogin();
    EXPECT_EQ(world.simSession().calls().Count("Login"), 1u);
}

TEST_F(LoginTest, WithoutRememberPasswordOnlyTheNameIsKept) {
    AddAccount("alice", "pw");
    Type("alice", "pw");
    PressLogin();
    ASSERT_TRUE(FinishThreads());
    DeliverResults();
    login::LoginHistory history(commonDir.str() + "user.dat", login::HistoryLayout::Full);
    ASSERT_TRUE(history.Load());
    ASSERT_EQ(history.accounts().size(), 1u);
    EXPECT_EQ(history.accounts()[0].password, "");
}

TEST_F(LoginTest, SmsQuotaIsAskedTwiceTenMillisecondsApart) {
    context.config.HasSmsLimit = 1;
    AddAccount("alice", "pw");
    Type("alice", "pw");
    PressLogin();
    ASSERT_TRUE(FinishThreads());
    DeliverResults();
    auto queries = world.simSession().calls().Named("QuerySmsLimitInfo");
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0].args, std::vector<std::string>{"0"});
    world.windows().AdvanceClock(CDlgLogin::kSmsQuotaPauseMs);
    queries = world.simSession().calls().Named("QuerySmsLimitInfo");
    ASSERT_EQ(queries.size(), 2u);
    EXPECT_EQ(queries[1].args, std::vector<std::string>{"1"});
}

TEST_F(LoginTest, AWrongPasswordShowsTheConfiguredTextOnce) {
    context.config.UserNameOrPasswordIsWrong = "密码不对";
    AddAccount("alice", "secret");
    world.prompter().AnswerMessageBox(os::IDOK, {.caption = "提示", .textContains = "密码不对"});
    Type("alice", "wrong");
    PressLogin();
    ASSERT_TRUE(WaitForState(login::kLoginSettled));
    EXPECT_EQ(DeliverResults(), 1);
    EXPECT_EQ(world.prompter().Remaining(), 0u) << PromptTexts();
    EXPECT_TRUE(manager.Flags().userLogoutRequested.load());
    EXPECT_FALSE(manager.Flags().loggedIn.load());
    EXPECT_FALSE(panel->IsLoggingIn());
    EXPECT_FALSE(manager.HoldsAccountMutex());
    EXPECT_TRUE(Visible(CDlgLogin::kPasswordId));
    EXPECT_FALSE(Visible(CDlgLogin::kProgressBarId));
    EXPECT_FALSE(os::FileExists(commonDir.str() + "user.dat")) << "a refused password is not kept";

    // The failure was the answer: the time-out passes without a second message.
    ASSERT_TRUE(FinishThreads());
    world.clock().Advance(60000);
    Drain();
    EXPECT_EQ(world.prompter().Records().size(), 1u) << PromptTexts();
    EXPECT_EQ(settings.loads, 0) << "no session started";
    EXPECT_EQ(shell.sessionStarts, 0);
    EXPECT_EQ(shell.auxiliaryWindowsOpened, 0);
    EXPECT_EQ(libraries.sessionStarts, 0);
}

TEST_F(LoginTest, AWrongPasswordInQuietModeIsSilent) {
    AddAccount("alice", "secret");
    panel->SetQuietMode(true);
    Type("alice", "wrong");
    PressLogin();
    ASSERT_TRUE(WaitForState(login::kLoginSettled));
    EXPECT_EQ(DeliverResults(), 1);
    EXPECT_TRUE(world.prompter().Records().empty()) << PromptTexts();
    EXPECT_TRUE(Visible(CDlgLogin::kAccountId));
    EXPECT_FALSE(panel->IsLoggingIn());
}

TEST_F(LoginTest, ATakenNicknameAsksForAnotherAndTriesIt) {
    world.prompter().AnswerMessageBox(os::IDOK,
                                      {.caption = "提示", .textContains = "该昵称已经被使用"});
    world.prompter().AnswerInput("小红", {.textContains = "昵称"});
    panel->StartNicknameLogin("小明");
    EXPECT_TRUE(panel->anonymous());
    EXPECT_EQ(panel->FindControl(CDlgLogin::kAccountId)->Text(), "匿名-小明");
    ASSERT_TRUE(WaitForState(login::kLoginSettled));
    EXPECT_EQ(DeliverResults(), 1);  // no such account: refused
    EXPECT_EQ(world.prompter().Remaining(), 0u) << PromptTexts();

    // The second nickname's attempt was started by the answer.
    ASSERT_TRUE(WaitForState(login::kLoginSettled));
    const auto logins = world.simSession().calls().Named("Login");
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(logins[0].args[0], os::GbkToUtf8Lossy("小明$gov10000000000"));
    EXPECT_EQ(logins[1].args[0], os::GbkToUtf8Lossy("小红$gov10000000000"));
    EXPECT_EQ(panel->FindControl(CDlgLogin::kAccountId)->Text(), "匿名-小红");
    panel->StopLogin();
}

}  // namespace
}  // namespace login_test
