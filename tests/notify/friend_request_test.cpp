// A friend request: accepted silently from a contact the user already subscribes to, asked
// about on the main panel otherwise, answered to the server and kept with the messages.

#include "notify/friend_request.h"

#include <gtest/gtest.h>

#include "notify/notification_dispatcher.h"
#include "notify/pump_handlers.h"
#include "notify_world.h"
#include "os/text/cstring_ops.h"
#include "support/gbk_print.h"

namespace {

using platform::SessionCall;

class FriendRequestTest : public ::testing::Test {
  protected:
    FriendRequestTest() {
        w.LogIn();
        w.session().calls().Clear();
    }

    void Request(const std::string& jid) {
        dispatcher.Dispatch(platform::MakeNotify(17, platform::SubscriptionRequestData{jid}));
    }
    std::vector<SessionCall> Confirms() { return w.session().calls().Named("ConfirmSubscribe"); }

    notify_test::NotifyWorld w;
    notify::PumpHandlers pumpHandlers{w.context(), *w.handlers, w.incoming};
    notify::NotificationDispatcher dispatcher{w.context(), w.handlers};
};

TEST_F(FriendRequestTest, AContactTheUserSubscribesToIsConfirmedWithoutAQuestion) {
    for (const char* state : {"to", "TO", "To"}) {
        w.incoming.subscription = state;
        Request("ann$gov@im.qorvdesk.test");
    }
    w.windows().PumpPending();
    EXPECT_TRUE(w.world().prompter().Records().empty());
    EXPECT_EQ(Confirms(),
              std::vector<SessionCall>(
                  3, SessionCall{"ConfirmSubscribe", {"ann$gov@im.qorvdesk.test", "1"}}));
    EXPECT_TRUE(w.StoredContents().empty());
}

TEST_F(FriendRequestTest, AnyOtherStateAsksOnTheMainPanel) {
    const std::optional<std::string> states[] = {std::nullopt, "none", "from", "both", "", "tox"};
    for (const auto& state : states) {
        SCOPED_TRACE(state.value_or("<no contact>"));
        w.incoming.subscription = state;
        w.world().prompter().ClearRecords();
        w.world().prompter().AnswerMessageBox(os::IDNO);
        Request("bob$gov@im.qorvdesk.test");
        EXPECT_TRUE(w.world().prompter().Records().empty());  // posted: asked on the UI thread
        w.windows().PumpPending();
        const auto records = w.world().prompter().Records();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_GBK_EQ(records[0].caption, "请求添加好友");
        EXPECT_GBK_EQ(records[0].text, "bob$gov@im.qorvdesk.test请求添加您为好友。 ");
        EXPECT_EQ(records[0].style & os::MB_TYPEMASK, os::MB_YESNO);
        EXPECT_EQ(records[0].owner, w.mainPanel().hwnd());
    }
}

struct AnswerCase {
    int answer;
    const char* accept;
    const char* outcome;
};

class FriendAnswerTest : public FriendRequestTest,
                         public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(FriendAnswerTest, TheAnswerGoesToTheServerAndTheEventIsStored) {
    const std::string jid = "carol$gov@im.qorvdesk.test";
    w.world().prompter().AnswerMessageBox(GetParam().answer);
    w.clock().AdvanceTo(5000);
    Request(jid);
    w.windows().PumpPending();

    const std::vector<SessionCall> expected{
        SessionCall{"ConfirmSubscribe", {jid, GetParam().accept}}};
    EXPECT_EQ(Confirms(), expected);
    const auto records = w.StoredRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_GBK_EQ(records[0][msg_field::kContents],
                  os::Format("%s请求添加您为好友。 %s", jid.c_str(), GetParam().outcome));
    EXPECT_EQ(records[0][msg_field::kFrom], jid);
    EXPECT_EQ(records[0][msg_field::kTo], w.session().GetCurrentUserJID());
    EXPECT_EQ(records[0][msg_field::kType], "17");
    // Stamped with the local time of the answer, in the store's form.
    const os::LocalTime now = w.clock().LocalNow();
    EXPECT_EQ(records[0][msg_field::kTime],
              os::Format("%4d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour,
                         now.minute, now.second));
}

INSTANTIATE_TEST_SUITE_P(Answers, FriendAnswerTest,
                         ::testing::Values(AnswerCase{os::IDYES, "1", "已添加"},
                                           AnswerCase{os::IDNO, "0", "已拒绝"}),
                         [](const ::testing::TestParamInfo<AnswerCase>& info) {
                             return std::string(info.param.answer == os::IDYES ? "Yes" : "No");
                         });

TEST_F(FriendRequestTest, ALongJidIsAskedAboutAndAnsweredWhole) {
    // A fixed 256-byte copy would cut this one and answer somebody else.
    const std::string jid = std::string(300, 'k') + "$gov@im.qorvdesk.test";
    w.world().prompter().AnswerMessageBox(os::IDYES);
    Request(jid);
    w.windows().PumpPending();
    ASSERT_EQ(Confirms().size(), 1u);
    EXPECT_EQ(Confirms()[0].args[0], jid);
}

TEST_F(FriendRequestTest, ARequestWithoutARequesterIsPassedOver) {
    Request("");
    w.windows().PumpPending();
    EXPECT_TRUE(Confirms().empty());
    EXPECT_TRUE(w.world().prompter().Records().empty());
}

TEST_F(FriendRequestTest, ARequestForAPanelThatClosedIsDroppedWithItsCopy) {
    Request("dave$gov@im.qorvdesk.test");
    w.mainPanel().DestroyWindow();
    w.windows().PumpPending();
    EXPECT_TRUE(w.world().prompter().Records().empty());
    EXPECT_TRUE(Confirms().empty());
}

}  // namespace
