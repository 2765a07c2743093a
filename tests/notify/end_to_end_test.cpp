// Notifications produced by the simulated server and carried by the pump: a remote user's
// chat message, a subscription request, a second login of the account.

#include <gtest/gtest.h>

#include "chat/dlg_chat.h"
#include "config/client_config.h"
#include "core/window_messages.h"
#include "notify/base_proxy.h"
#include "notify_world.h"
#include "platform/services/notice_pop.h"
#include "platform/session/sim_server.h"
#include "support/gbk_print.h"
#include "support/waiting/pump_until.h"

namespace {

constexpr const char* kFont = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)";

class EndToEndTest : public ::testing::Test {
  protected:
    EndToEndTest() {
        me = w.LogIn();
        remote = w.RemoteSession("ann", &ann);
        proxy.Init();
    }
    ~EndToEndTest() override { remote.reset(); }

    notify_test::NotifyWorld w;
    CBaseProxy proxy{w.context(), w.handlers, w.incoming};
    std::string me;
    std::string ann;
    std::unique_ptr<platform::SimSessionCore> remote;
};

TEST_F(EndToEndTest, ARemoteChatMessageIsAnnouncedAndStored) {
    w.context().config.MessageArrivedTipType = 1;
    ASSERT_EQ(remote->SendChatMessage(me, "你好", kFont), 1);

    ASSERT_TRUE(testing_support::PumpUntil(w.windows(),
                                           [&] { return !w.manager().PendingMessages().Empty(); }));
    const auto pending = w.manager().PendingMessages().Snapshot();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].from, ann);
    EXPECT_GBK_EQ(pending[0].content, "你好");
    EXPECT_EQ(pending[0].type, 11u);
    w.windows().PumpPending();
    EXPECT_EQ(w.host().WParamsOf(core::WM_HOST_TRAY), std::vector<os::WPARAM>{1});
    EXPECT_EQ(w.world().tips().TipTexts(), std::vector<std::string>{"ann-nick|你好"});

    const auto stored = w.StoredRecords();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][msg_field::kFrom], ann);
    EXPECT_EQ(stored[0][msg_field::kTo], me);
    EXPECT_GBK_EQ(stored[0][msg_field::kContents], std::string(kFont) + "你好");
}

TEST_F(EndToEndTest, WithTipTypeZeroARemoteChatMessageOpensTheChatWindow) {
    w.context().config.MessageArrivedTipType = 0;
    ASSERT_EQ(remote->SendChatMessage(me, "看这里", kFont), 1);

    ASSERT_TRUE(testing_support::PumpUntil(w.windows(), [&] {
        return w.manager().FindChatWindow(ann, platform::JidMatch::Loose) != nullptr;
    }));
    auto* window =
        static_cast<CDlgChat*>(w.manager().FindChatWindow(ann, platform::JidMatch::Loose));
    ASSERT_EQ(window->ShownMessages().size(), 1u);
    EXPECT_GBK_EQ(window->ShownMessages()[0].content, "看这里");
    EXPECT_TRUE(w.manager().PendingMessages().Empty());
    EXPECT_EQ(w.StoredContents().size(), 1u);
}

TEST_F(EndToEndTest, ASubscriptionRequestIsAskedAboutAndTheAnswerReachesTheServer) {
    w.world().prompter().AnswerMessageBox(os::IDYES);
    ASSERT_EQ(remote->AddContact(me, "me", "friends"), 1);

    ASSERT_TRUE(testing_support::PumpUntil(
        w.windows(), [&] { return !w.session().calls().Named("ConfirmSubscribe").empty(); }));
    EXPECT_EQ(w.world().prompter().Records().size(), 1u);
    // The requester now sees the user.
    const auto roster = w.server().Roster(ann);
    ASSERT_EQ(roster.size(), 1u);
    EXPECT_EQ(roster[0].subscription, "to");
    ASSERT_EQ(w.StoredContents().size(), 1u);
    EXPECT_GBK_EQ(w.StoredContents()[0], ann + "请求添加您为好友。 已添加");
}

TEST_F(EndToEndTest, ARequestFromAContactTheUserSubscribesToIsConfirmedSilently) {
    w.incoming.subscription = "to";
    ASSERT_EQ(remote->AddContact(me, "me", "friends"), 1);
    ASSERT_TRUE(testing_support::PumpUntil(
        w.windows(), [&] { return !w.session().calls().Named("ConfirmSubscribe").empty(); }));
    EXPECT_EQ(w.session().calls().Named("ConfirmSubscribe")[0].args,
              (std::vector<std::string>{ann, "1"}));
    EXPECT_TRUE(w.world().prompter().Records().empty());
}

TEST_F(EndToEndTest, ASecondLoginOfTheAccountEndsTheSessionWithoutAReconnectCountdown) {
    platform::SimSessionCore elsewhere(
        std::shared_ptr<platform::SimServer>(std::shared_ptr<platform::SimServer>{}, &w.server()));
    elsewhere.Init(nullptr, nullptr, {});
    elsewhere.Login("me", "pw", 1, "", 0);

    ASSERT_TRUE(testing_support::PumpUntil(w.windows(),
                                           [&] { return w.host().Count(os::WM_COMMAND) == 1; }));
    EXPECT_TRUE(w.manager().Flags().loggedInElsewhere);
    EXPECT_TRUE(w.manager().Flags().connectionLost);
    w.windows().AdvanceClock(20000);
    EXPECT_EQ(w.loginPanel().Count(os::WM_TIMER), 0);
}

TEST_F(EndToEndTest, ALostConnectionStartsTheReconnectCountdown) {
    ASSERT_TRUE(w.session().DropConnection());
    ASSERT_TRUE(testing_support::PumpUntil(w.windows(),
                                           [&] { return w.host().Count(os::WM_COMMAND) == 1; }));
    EXPECT_FALSE(w.manager().Flags().loggedInElsewhere);
    EXPECT_TRUE(w.manager().Flags().connectionLost);
    w.windows().AdvanceClock(10000);
    EXPECT_EQ(w.loginPanel().WParamsOf(os::WM_TIMER), std::vector<os::WPARAM>{1001});
}

}  // namespace
