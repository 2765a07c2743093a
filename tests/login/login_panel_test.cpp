// The login button: the input check, the account mutex, the account-switch question and the
// engine's permission.
#include <gtest/gtest.h>

#include "login/account_mutex.h"
#include "login_fixture.h"
#include "os/controls/combo_box.h"
#include "os/controls/control.h"
#include "os/controls/label.h"
#include "os/prompt/message_box.h"
#include "os/services/log.h"
#include "os/sys/named_objects.h"
#include "platform/session/sim_session_core.h"
#include "support/case_name.h"
#include "support/wait_for.h"

namespace login_test {
namespace {

class InputRefusedTest : public LoginTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(InputRefusedTest, IllegalNamesAreRefusedBeforeAnythingIsSent) {
    world.prompter().AnswerMessageBox(os::IDOK,
                                      {.caption = "提示", .textContains = "用户名中含有非法字符"});
    Type(GetParam(), "secret");
    PressLogin();
    EXPECT_EQ(world.prompter().Records().size(), 1u);
    EXPECT_EQ(world.simSession().calls().Count("CanUserLogin"), 0u);
    EXPECT_EQ(world.simSession().calls().Count("Login"), 0u);
    EXPECT_FALSE(panel->IsLoggingIn());
    EXPECT_FALSE(panel->LoginThreadsRunning());
    EXPECT_FALSE(manager.HoldsAccountMutex());
    EXPECT_TRUE(Visible(CDlgLogin::kLoginButtonId));
}

INSTANTIATE_TEST_SUITE_P(Names, InputRefusedTest,
                         ::testing::Values("+bob", "-bob", "*bob", "/bob", "=bob", "b&ob", "b<ob",
                                           "b>ob", "b\"ob", "b'ob"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return testing_support::IndexedName(info.index, info.param);
                         });

TEST_F(LoginTest, EmptyNameAndEmptyPasswordAskForInput) {
    world.prompter().AnswerMessageBox(os::IDOK,
                                      {.caption = "登录", .textContains = "请输入或选择用户名"});
    world.prompter().AnswerMessageBox(os::IDOK, {.caption = "登录", .textContains = "请输入密码"});
    panel->SetFocus(CDlgLogin::kPasswordId);
    Type("", "secret");
    PressLogin();
    EXPECT_EQ(panel->GetFocus(), CDlgLogin::kAccountId);
    Type("bob", "");
    PressLogin();
    EXPECT_EQ(world.prompter().Remaining(), 0u) << PromptTexts();
    EXPECT_EQ(world.simSession().calls().Count("Login"), 0u);
    EXPECT_FALSE(panel->IsLoggingIn());
}

TEST_F(LoginTest, QuietModeRefusesBadInputSilently) {
    panel->SetQuietMode(true);
    Type("bob", "");
    PressLogin();
    Type("-bob", "pw");
    PressLogin();
    EXPECT_TRUE(world.prompter().Records().empty());
    EXPECT_EQ(world.simSession().calls().Count("CanUserLogin"), 0u);
    EXPECT_FALSE(panel->IsLoggingIn());
}

TEST_F(LoginTest, PressingTwiceStartsOneAttempt) {
    AddAccount("alice", "secret");
    world.simSession().SetNextLoginNeverAnswers();
    Type("alice", "secret");
    PressLogin();
    EXPECT_TRUE(panel->IsLoggingIn());
    PressLogin();
    ASSERT_TRUE(WaitForWaiters(1));                   // the watcher waits for the login
    ASSERT_TRUE(WaitForState(login::kLoginSettled));  // the worker is done
    EXPECT_EQ(world.simSession().calls().Count("Login"), 1u);
    EXPECT_TRUE(world.log().HasCaptured("正在登录或已登录..."));
    EXPECT_EQ(pump.inits, 1);
    EXPECT_FALSE(Visible(CDlgLogin::kAccountId));
    EXPECT_TRUE(Visible(CDlgLogin::kProgressLabelId));
    EXPECT_EQ(panel->progressLabel().Text(), "正在登录中....");
    panel->StopLogin();
    EXPECT_FALSE(panel->LoginThreadsRunning());
    EXPECT_FALSE(panel->IsLoggingIn());
}

TEST_F(LoginTest, TheWorkerSendsTheTrimmedLowerCaseNameAndTheKind) {
    AddAccount("alice", "secret");
    world.simSession().SetNextLoginNeverAnswers();
    Type("  Alice ", "secret");
    panel->FindControl(CDlgLogin::kExtraTextId)->SetText("extra");
    panel->GetControl<os::ComboBox>(CDlgLogin::kUserKindId)->SetCurSel(1);
    PressLogin();
    ASSERT_TRUE(WaitForState(login::kLoginSettled));
    const auto logins = world.simSession().calls().Named("Login");
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(logins[0].args, (std::vector<std::string>{"alice", "2", "extra", "0"}));
    const auto types = world.simSession().calls().Named("SetCurrentUserLoginType");
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(types[0].args, std::vector<std::string>{""});
    EXPECT_TRUE(world.log().HasCaptured("验证登录名:alice"));
}

TEST_F(LoginTest, MobileLoginPassesItsLoginType) {
    world.simSession().SetNextLoginNeverAnswers();
    Type("13900000000", "secret");
    panel->SendMessage(os::WM_COMMAND, os::MAKEWPARAM(CDlgLogin::kMobileLoginCommand, 0), 0);
    ASSERT_TRUE(WaitForState(login::kLoginSettled));
    const auto types = world.simSession().calls().Named("SetCurrentUserLoginType");
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(types[0].args, std::vector<std::string>{"MOBILE"});
}

TEST_F(LoginTest, RefusalByTheEngineEndsSilentlyWithTheInputsShown) {
    world.simSession().SetCanUserLoginAnswer(platform::kCanLoginNo);
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(FinishThreads());
    EXPECT_TRUE(world.prompter().Records().empty());
    EXPECT_EQ(world.simSession().calls().Count("Login"), 0u);
    EXPECT_FALSE(panel->IsLoggingIn());
    EXPECT_TRUE(Visible(CDlgLogin::kAccountId));
    EXPECT_TRUE(Visible(CDlgLogin::kLoginButtonId));
    EXPECT_FALSE(Visible(CDlgLogin::kProgressBarId));
    EXPECT_FALSE(Visible(CDlgLogin::kProgressLabelId));
    EXPECT_FALSE(manager.HoldsAccountMutex()) << "nobody logged in keeps the account";
}

TEST_F(LoginTest, AnUndecidedEngineIsAskedAgainAfterThreeSeconds) {
    AddAccount("alice", "secret");
    world.simSession().SetNextLoginNeverAnswers();
    world.simSession().SetCanUserLoginAnswer(0);
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(WaitForWaiters(2));  // the worker's 3 s sleep and the watcher's 1 ms poll
    EXPECT_EQ(world.simSession().calls().Count("StopCheckMainVerUpdate"), 0u);
    world.simSession().SetCanUserLoginAnswer(std::nullopt);
    world.clock().Advance(3000);
    ASSERT_TRUE(testing_support::WaitFor(
        [&] { return world.simSession().calls().Count("Login") > 0; }, "the Login call"));
    EXPECT_EQ(world.simSession().calls().Count("StopCheckMainVerUpdate"), 1u);
}

TEST_F(LoginTest, AnAccountLoggedInByAnotherProcessIsRefused) {
    os::NamedObjectSpace otherProcess(commonDir.str());
    login::AccountMutexResult other =
        login::ClaimAccountMutex(otherProcess, world.clock(), "alice", "0.000");
    ASSERT_EQ(other.claim, login::AccountClaim::Taken);

    world.prompter().AnswerMessageBox(
        os::IDOK, {.caption = "提示", .textContains = "您已经登录alice,不能重复登录！"});
    Type("Alice", "secret");
    PressLogin();
    EXPECT_EQ(world.prompter().Remaining(), 0u) << PromptTexts();
    EXPECT_EQ(world.simSession().calls().Count("CanUserLogin"), 0u);
    EXPECT_FALSE(panel->IsLoggingIn());
    EXPECT_FALSE(manager.HoldsAccountMutex());
    EXPECT_TRUE(Visible(CDlgLogin::kAccountId));

    other.mutex.reset();  // the other process logs out
    world.simSession().SetNextLoginNeverAnswers();
    PressLogin();
    EXPECT_TRUE(manager.HoldsAccountMutex());
    EXPECT_EQ(login::ClaimAccountMutex(otherProcess, world.clock(), "alice", "0.000").claim,
              login::AccountClaim::HeldElsewhere);
}

TEST_F(LoginTest, MobileLoginHasItsOwnDuplicateMessage) {
    os::NamedObjectSpace otherProcess(commonDir.str());
    auto other = login::ClaimAccountMutex(otherProcess, world.clock(), "13900000000", "0.000");
    world.prompter().AnswerMessageBox(os::IDOK,
                                      {.textContains = "您已经登陆13900000000,不能重复登陆！"});
    Type("13900000000", "secret");
    panel->SendMessage(os::WM_COMMAND, os::MAKEWPARAM(CDlgLogin::kMobileLoginCommand, 0), 0);
    EXPECT_EQ(world.prompter().Remaining(), 0u) << PromptTexts();
}

struct SwitchCase {
    int answer;
    bool logsIn;
};

class AccountSwitchTest : public LoginTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(AccountSwitchTest, OpenConversationsAreDroppedOnlyWhenTheUserAgrees) {
    manager.PendingMessages().Push(core::QueuedMessage{});
    world.prompter().AnswerMessageBox(GetParam().answer,
                                      {.caption = "警告", .textContains = "是否继续登录？"});
    world.simSession().SetNextLoginNeverAnswers();
    Type("alice", "secret");
    PressLogin();
    EXPECT_EQ(world.prompter().Remaining(), 0u);
    EXPECT_EQ(panel->IsLoggingIn(), GetParam().logsIn);
    EXPECT_EQ(manager.PendingMessages().Empty(), GetParam().logsIn);
    EXPECT_EQ(manager.HoldsAccountMutex(), GetParam().logsIn);
    EXPECT_EQ(world.simSession().calls().Count("CanUserLogin") > 0 || panel->LoginThreadsRunning(),
              GetParam().logsIn);
}

INSTANTIATE_TEST_SUITE_P(Answers, AccountSwitchTest,
                         ::testing::Values(SwitchCase{os::IDYES, true},
                                           SwitchCase{os::IDNO, false}),
                         [](const ::testing::TestParamInfo<SwitchCase>& info) {
                             return std::string(info.param.answer == os::IDYES ? "Yes" : "No");
                         });

TEST_F(LoginTest, EnterOnThePanelLogsInAndEscapeIsSwallowed) {
    world.simSession().SetNextLoginNeverAnswers();
    Type("alice", "secret");
    os::Msg escape{panel->hwnd(), os::WM_KEYDOWN, os::VK_ESCAPE, 0};
    EXPECT_TRUE(panel->PreTranslateMessage(escape));
    EXPECT_FALSE(panel->IsLoggingIn());
    os::Msg elsewhere{host.hwnd(), os::WM_KEYDOWN, os::VK_RETURN, 0};
    EXPECT_FALSE(panel->PreTranslateMessage(elsewhere));
    os::Msg enter{panel->hwnd(), os::WM_KEYDOWN, os::VK_RETURN, 0};
    EXPECT_TRUE(panel->PreTranslateMessage(enter));
    EXPECT_TRUE(panel->IsLoggingIn());
}

}  // namespace
}  // namespace login_test
