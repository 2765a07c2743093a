// The time-out watch of a login attempt: how long it waits and what it does by login state.
#include <gtest/gtest.h>

#include <atomic>

#include "config/client_config.h"
#include "login/login_state_word.h"
#include "login_fixture.h"
#include "os/prompt/message_box.h"
#include "os/services/log.h"
#include "os/sys/named_objects.h"
#include "platform/session/sim_session_core.h"
#include "support/case_name.h"

namespace login_test {
namespace {

constexpr const char* kNetworkError = "网络错误或服务器忙，请稍候重新登录.";

struct TimeoutCase {
    int configured;  // LoginTimeOut in seconds; -1: the key is missing (its default)
    os::Millis waits;
};

class LoginTimeoutTest : public LoginTest, public ::testing::WithParamInterface<TimeoutCase> {};

TEST_P(LoginTimeoutTest, ALoginThatNeverAnswersTimesOutAfterTheConfiguredWait) {
    if (GetParam().configured >= 0) context.config.LoginTimeOut = GetParam().configured;
    AddAccount("alice", "secret");
    world.simSession().SetNextLoginNeverAnswers();
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(WaitForWaiters(1));
    ASSERT_TRUE(WaitForState(login::kLoginSettled));

    world.clock().Advance(GetParam().waits - 1);
    EXPECT_TRUE(panel->LoginThreadsRunning());
    EXPECT_TRUE(panel->IsLoggingIn());

    // Accepted but never answered: the connection failure is shown, naming the server port.
    world.prompter().AnswerMessageBox(os::IDOK, {.caption = "提示", .textContains = "5222"});
    world.clock().Advance(1);
    ASSERT_TRUE(FinishThreads());
    EXPECT_EQ(world.prompter().Remaining(), 0u) << PromptTexts();
    EXPECT_FALSE(panel->IsLoggingIn());
    EXPECT_TRUE(Visible(CDlgLogin::kAccountId));
    EXPECT_FALSE(Visible(CDlgLogin::kProgressBarId));
    EXPECT_FALSE(manager.HoldsAccountMutex());
    EXPECT_TRUE(world.log().HasCaptured("进入CheckLoginTimeOut()..."));
    EXPECT_TRUE(world.log().HasCaptured("退出CheckLoginTimeOut()..."));
}

INSTANTIATE_TEST_SUITE_P(Waits, LoginTimeoutTest,
                         ::testing::Values(TimeoutCase{5, 10000}, TimeoutCase{0, 20000},
                                           TimeoutCase{-1, 20000}, TimeoutCase{9, 10000},
                                           TimeoutCase{10, 10000}, TimeoutCase{45, 45000}),
                         [](const ::testing::TestParamInfo<TimeoutCase>& info) {
                             return "Configured" +
                                    testing_support::NumberName(info.param.configured);
                         });

TEST(LoginTimeoutMsTest, RaisesShortTimesAndDefaultsTheRest) {
    EXPECT_EQ(CDlgLogin::LoginTimeoutMs(5), 10000);
    EXPECT_EQ(CDlgLogin::LoginTimeoutMs(0), 20000);
    EXPECT_EQ(CDlgLogin::LoginTimeoutMs(-3), 20000);
    EXPECT_EQ(CDlgLogin::LoginTimeoutMs(11), 11000);
}

TEST_F(LoginTest, TheProxyHintIsAddedWhenAProxyIsSet) {
    context.config.Proxy.Type = 3;
    context.config.Proxy.Server = "proxy.example.invalid";
    world.simSession().SetNextLoginNeverAnswers();
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(WaitForWaiters(1));
    ASSERT_TRUE(WaitForState(login::kLoginSettled));
    world.prompter().AnswerMessageBox(
        os::IDOK, {.textContains = "5 您当前使用了代理,请检查代理服务器设置。"});
    world.clock().Advance(20000);
    ASSERT_TRUE(FinishThreads());
    EXPECT_EQ(world.prompter().Remaining(), 0u) << PromptTexts();
}

TEST_F(LoginTest, ASuccessEndsTheWatchEvenWhenLoginEventComesAfterTheTimeOut) {
    AddAccount("alice", "secret");
    world.simSession().SetLoginEvent(nullptr);  // the engine is late with "LoginEvent"
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(WaitForState(login::kLoginSettled));
    ASSERT_TRUE(WaitForWaiters(1));  // the watcher waits for the event or the time-out
    ASSERT_EQ(DeliverResults(), 1);  // success

    world.clock().Advance(20000);
    ASSERT_TRUE(FinishThreads());
    loginEvent->Set();  // now it comes
    Drain();
    EXPECT_TRUE(world.prompter().Records().empty()) << PromptTexts();
    EXPECT_FALSE(world.log().HasCaptured("登录成功"));
    EXPECT_TRUE(manager.Flags().loggedIn.load());
    EXPECT_TRUE(manager.HoldsAccountMutex());
}

TEST_F(LoginTest, ARefusedLoginLogsTheUserOutAtTheTimeOut) {
    pump.initEngine = false;  // an engine without events refuses Login at once
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(WaitForWaiters(1));
    ASSERT_TRUE(WaitForState(login::kLoginRefused));

    world.prompter().AnswerMessageBox(os::IDOK, {.caption = "提示", .textContains = kNetworkError});
    world.clock().Advance(20000);
    ASSERT_TRUE(FinishThreads());
    EXPECT_EQ(manager.logouts, 1);
    EXPECT_EQ(world.prompter().Remaining(), 0u) << PromptTexts();
    EXPECT_FALSE(panel->IsLoggingIn());
    EXPECT_FALSE(manager.HoldsAccountMutex());
}

TEST_F(LoginTest, AWorkerThatNeverReturnedShowsTheNetworkError) {
    world.simSession().SetNextLoginNeverAnswers();
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(WaitForWaiters(1));
    ASSERT_TRUE(WaitForState(login::kLoginSettled));
    ASSERT_TRUE(sharedState.Write(login::kLoginRunning));

    panel->SetReconnectMode(1);
    world.prompter().AnswerMessageBox(os::IDOK, {.caption = "提示", .textContains = kNetworkError});
    world.clock().Advance(20000);
    ASSERT_TRUE(FinishThreads());
    EXPECT_EQ(world.prompter().Remaining(), 0u) << PromptTexts();
    EXPECT_EQ(manager.logouts, 0);
    EXPECT_FALSE(panel->IsLoggingIn());
    EXPECT_TRUE(Visible(CDlgLogin::kLoginButtonId));
}

TEST_F(LoginTest, WithReconnectModeZeroTheReconnectCycleTakesOver) {
    std::atomic<int> cycles{0};
    reconnect.cycle = [&cycles](std::stop_token) { ++cycles; };
    world.simSession().SetNextLoginNeverAnswers();
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(WaitForWaiters(1));
    ASSERT_TRUE(WaitForState(login::kLoginSettled));
    ASSERT_TRUE(sharedState.Write(login::kLoginRunning));

    world.clock().Advance(20000);
    ASSERT_TRUE(FinishThreads());
    EXPECT_EQ(cycles.load(), 1);
    EXPECT_TRUE(world.prompter().Records().empty()) << PromptTexts();
    EXPECT_FALSE(panel->IsLoggingIn());
}

TEST_F(LoginTest, QuietModeShowsNoTimeOutBox) {
    panel->SetQuietMode(true);
    pump.initEngine = false;
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(WaitForWaiters(1));
    ASSERT_TRUE(WaitForState(login::kLoginRefused));
    world.clock().Advance(20000);
    ASSERT_TRUE(FinishThreads());
    EXPECT_TRUE(world.prompter().Records().empty()) << PromptTexts();
    EXPECT_FALSE(panel->IsLoggingIn());
}

TEST_F(LoginTest, StopLoginEndsAWaitingAttempt) {
    world.simSession().SetNextLoginNeverAnswers();
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(WaitForWaiters(1));
    panel->StopLogin();
    EXPECT_FALSE(panel->LoginThreadsRunning());
    EXPECT_FALSE(panel->IsLoggingIn());
    world.clock().Advance(60000);
    Drain();
    EXPECT_TRUE(world.prompter().Records().empty()) << PromptTexts();
}

TEST_F(LoginTest, EndTimeoutWatchStopsOnlyAWaitingWatcher) {
    EXPECT_FALSE(panel->EndTimeoutWatch());
    world.simSession().SetNextLoginNeverAnswers();
    Type("alice", "secret");
    PressLogin();
    ASSERT_TRUE(WaitForWaiters(1));
    EXPECT_TRUE(panel->EndTimeoutWatch());
    ASSERT_TRUE(FinishThreads());
    EXPECT_FALSE(panel->EndTimeoutWatch());
    world.clock().Advance(60000);
    Drain();
    EXPECT_TRUE(world.prompter().Records().empty()) << PromptTexts();
}

}  // namespace
}  // namespace login_test
