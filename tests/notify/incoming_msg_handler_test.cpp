// The first stage of an incoming message, reached as the main panel reaches it (WM_IM_NOTIFY,
// subcode 36) on the test thread.

#include "notify/incoming_msg_handler.h"

#include <gtest/gtest.h>

#include <fstream>

#include "chat/dlg_chat.h"
#include "config/client_config.h"
#include "core/window_messages.h"
#include "notify/message_archive.h"
#include "notify/pump_handlers.h"
#include "notify_world.h"
#include "os/services/log.h"
#include "os/services/sound_player.h"
#include "platform/services/notice_pop.h"
#include "support/case_name.h"
#include "support/gbk_print.h"

namespace {

using notify_test::MessageRecord;

constexpr const char* kFont = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)";

class IncomingTest : public ::testing::Test {
  protected:
    IncomingTest() {
        me = w.LogIn();
        w.session().calls().Clear();
    }

    void Arrive(const platform::NotifyRecord& record) {
        w.windows().SendMessage(w.mainPanel().hwnd(), core::WM_IM_NOTIFY, 36,
                                reinterpret_cast<os::LPARAM>(&record));
        w.windows().PumpPending();
    }
    void Arrive(std::uint32_t type, const std::string& from, const std::string& content,
                const std::string& name = {}) {
        Arrive(MessageRecord(type, from, content, name));
    }
    CDlgChat* OpenWindowFor(const std::string& jid) {
        return static_cast<CDlgChat*>(w.manager().OpenChatWindow(jid));
    }
    std::vector<core::QueuedMessage> Pending() { return w.manager().PendingMessages().Snapshot(); }
    std::vector<os::WPARAM> TraySignals() { return w.host().WParamsOf(core::WM_HOST_TRAY); }
    std::vector<std::string> Tips() { return w.world().tips().TipTexts(); }
    config::ClientConfig& config() { return w.context().config; }

    notify_test::NotifyWorld w;
    notify::PumpHandlers pumpHandlers{w.context(), *w.handlers, w.incoming};
    std::string me;
    const std::string ann = "ann$gov@im.qorvdesk.test";
};

TEST_F(IncomingTest, TheMessageSoundPlaysFromTheApplicationFolder) {
    Arrive(11, ann, "hi");
    EXPECT_EQ(w.world().sound().Played(),
              std::vector<std::string>{w.context().folders.appDir + "sound/message.wav"});
}

TEST_F(IncomingTest, AnnouncedMessageIsQueuedSignalledAndTipped) {
    config().MessageArrivedTipType = 1;
    Arrive(11, ann, "hello there", "Ann");

    const auto pending = Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].from, ann);
    EXPECT_EQ(pending[0].content, "hello there");
    EXPECT_EQ(pending[0].fromName, "Ann");
    EXPECT_EQ(pending[0].font, kFont);
    EXPECT_EQ(pending[0].type, 11u);
    EXPECT_EQ(TraySignals(), std::vector<os::WPARAM>{1});
    EXPECT_EQ(Tips(), std::vector<std::string>{"Ann|hello there"});
    EXPECT_TRUE(w.manager().opened.empty());
}

TEST_F(IncomingTest, WithTipTypeZeroTheChatWindowOpensAtOnceAndNothingIsQueued) {
    config().MessageArrivedTipType = 0;
    Arrive(12, ann, "open me");

    EXPECT_EQ(w.manager().opened, std::vector<std::string>{ann});
    auto* window =
        static_cast<CDlgChat*>(w.manager().FindChatWindow(ann, platform::JidMatch::Exact));
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->ShownMessages().size(), 1u);
    EXPECT_EQ(window->ShownMessages()[0].content, "open me");
    EXPECT_TRUE(Pending().empty());
    EXPECT_TRUE(TraySignals().empty());
    EXPECT_TRUE(Tips().empty());
}

TEST_F(IncomingTest, AWindowThatCannotBeMadeLeavesTheMessageQueued) {
    config().MessageArrivedTipType = 0;
    w.manager().refuseNewWindows = true;
    Arrive(11, ann, "keep me");
    ASSERT_EQ(Pending().size(), 1u);
    EXPECT_EQ(TraySignals(), std::vector<os::WPARAM>{1});
}

TEST_F(IncomingTest, AnOpenChatWindowTakesTheMessageFoundByLooseJid) {
    config().MessageArrivedTipType = 1;
    CDlgChat* window = OpenWindowFor("ann@gover.im.qorvdesk.test");
    Arrive(11, ann + "/PC", "for the window");

    ASSERT_EQ(window->ShownMessages().size(), 1u);
    EXPECT_EQ(window->ShownMessages()[0].content, "for the window");
    EXPECT_TRUE(Pending().empty());
    EXPECT_TRUE(TraySignals().empty());
    EXPECT_TRUE(Tips().empty());
}

struct RoomCase {
    const char* content;
    const char* notice;
};

class RoomNoticeTest : public IncomingTest, public ::testing::WithParamInterface<RoomCase> {};

TEST_P(RoomNoticeTest, BecomesANoticeAndNeverReachesAChatWindow) {
    config().MessageArrivedTipType = 0;
    CDlgChat* window = OpenWindowFor(ann);
    Arrive(11, ann, GetParam().content);

    EXPECT_TRUE(window->ShownMessages().empty());
    EXPECT_EQ(w.manager().opened.size(), 1u);  // only the test's own window
    EXPECT_TRUE(Pending().empty());
    ASSERT_EQ(Tips().size(), 1u);
    EXPECT_GBK_EQ(Tips()[0], GetParam().notice);
    EXPECT_EQ(w.incoming.calls, std::vector<std::string>{"RefreshRoomList"});
    ASSERT_EQ(w.StoredContents().size(), 1u);
    EXPECT_GBK_EQ(w.StoredContents()[0], GetParam().notice);
}

INSTANTIATE_TEST_SUITE_P(Markers, RoomNoticeTest,
                         ::testing::Values(RoomCase{"delete@研发部", "你被群研发部踢出！"},
                                           RoomCase{"xx delete@r1@conference.h",
                                                    "你被群r1@conference.h踢出！"},
                                           RoomCase{"invite@项目组", "你被邀请加入群项目组！"},
                                           RoomCase{"delete@", "你被群踢出！"}),
                         [](const ::testing::TestParamInfo<RoomCase>& info) {
                             return testing_support::IndexedName(info.index, info.param.content);
                         });

TEST_F(IncomingTest, EachTypeGoesWhereItBelongsAndEveryOneIsStored) {
    config().MessageArrivedTipType = 1;
    struct Case {
        std::uint32_t type;
        bool queued;
        std::string hook;
    };
    const Case cases[] = {
        {11, true, ""},
        {12, true, ""},
        {15, true, ""},
        {13, true, ""},
        {14, true, ""},
        {51, false, "RoomPictureMessage:m51"},
        {101, false, "OaNotice:m101"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        w.incoming.calls.clear();
        w.manager().PendingMessages().Clear();
        Arrive(c.type, ann, "m" + std::to_string(c.type));
        EXPECT_EQ(Pending().size(), c.queued ? 1u : 0u);
        if (c.queued) {
            EXPECT_EQ(Pending()[0].type, c.type);
        }
        EXPECT_EQ(w.incoming.calls,
                  c.hook.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.hook});
    }
    // Any other kind is only stored.
    core::QueuedMessage other;
    other.from = ann;
    other.content = "m40";
    other.type = 40;
    w.manager().PendingMessages().Clear();
    pumpHandlers.incoming().HandleMessage(other);
    EXPECT_TRUE(Pending().empty());

    const auto records = w.StoredRecords();
    ASSERT_EQ(records.size(), 8u);
    const char* expectedTypes[] = {"0", "0", "0", "13", "14", "51", "101", "40"};
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i][msg_field::kType], expectedTypes[i]) << i;
        EXPECT_EQ(records[i][msg_field::kFrom], ann);
        EXPECT_EQ(records[i][msg_field::kTo], me);
    }
    EXPECT_EQ(records[0][msg_field::kContents], std::string(kFont) + "m11");
    EXPECT_EQ(records[0][msg_field::kTime], "2026-01-05 09:00:00");
    EXPECT_EQ(records[0][msg_field::kState], "1");
}

TEST_F(IncomingTest, TheArrivalTipShowsAtMostOnceEvery2000Ms) {
    config().MessageArrivedTipType = 1;
    Arrive(11, ann, "one");
    w.clock().Advance(1999);
    Arrive(11, ann, "two");
    w.clock().Advance(1);
    Arrive(11, ann, "#(-1)#");
    EXPECT_EQ(Tips(), (std::vector<std::string>{ann + "|one", ann + "|[闪屏振动]"}));
    EXPECT_EQ(Pending().size(), 3u);  // every one is queued all the same
    EXPECT_EQ(TraySignals().size(), 3u);
}

TEST_F(IncomingTest, AnUnknownSenderIsLookedUpUnlessAContactOrAnSmsUser) {
    w.incoming.contacts = {"known$gov@im.qorvdesk.test"};
    Arrive(11, "stranger$gov@im.qorvdesk.test", "a");
    Arrive(11, "known$gov@im.qorvdesk.test", "b");
    Arrive(11, "13800138000@sms.im.qorvdesk.test", "c");
    EXPECT_EQ(w.session().calls().Named("QueryPersonInfo"),
              (std::vector<platform::SessionCall>{
                  {"QueryPersonInfo", {"stranger$gov@im.qorvdesk.test", "0", "0"}}}));
}

TEST_F(IncomingTest, WithRecentContactsTheSenderGoesToTheTop) {
    config().HasRecentContact = 0;
    Arrive(11, ann, "a");
    EXPECT_TRUE(w.incoming.calls.empty());
    config().HasRecentContact = 1;
    Arrive(11, ann, "b");
    EXPECT_EQ(w.incoming.calls, std::vector<std::string>{"RecentContact:" + ann});
}

struct StoreCase {
    const char* content;
    bool stored;
};

class StoreExclusionTest : public IncomingTest, public ::testing::WithParamInterface<StoreCase> {};

TEST_P(StoreExclusionTest, OnlyTheListedContentsAreKeptOut) {
    Arrive(11, ann, GetParam().content);
    EXPECT_EQ(w.StoredContents().size(), GetParam().stored ? 1u : 0u);
    EXPECT_EQ(notify::IsKeptOutOfStore(GetParam().content), !GetParam().stored);
    EXPECT_EQ(Pending().size(), 1u);  // kept out of the store, not out of sight
}

INSTANTIATE_TEST_SUITE_P(Contents, StoreExclusionTest,
                         ::testing::Values(StoreCase{"该房间不是匿名的。", false},
                                           StoreCase{"该房间不是匿名的。 ", true},
                                           StoreCase{"注意：该房间不是匿名的。", true},
                                           StoreCase{"【协同办公系统通知】请审批", false},
                                           StoreCase{"该房间现在已解锁", false},
                                           StoreCase{"确认配置之前已锁住该房间，禁止进入。", false},
                                           StoreCase{"确认配置之前已锁住该房间", true},
                                           StoreCase{"普通消息", true}),
                         [](const ::testing::TestParamInfo<StoreCase>& info) {
                             return testing_support::IndexedName(
                                 info.index, info.param.stored ? "Stored" : "NotStored");
                         });

TEST_F(IncomingTest, AGatewayContactsMessageIsStoredThroughTheGatewayList) {
    const std::string msn = "bob\\40hotmail.com@msn.im.qorvdesk.test";
    w.incoming.hasGatewayList = true;
    Arrive(11, msn, "via gateway");
    EXPECT_EQ(w.incoming.calls, std::vector<std::string>{"StoreGatewayMessage:" + msn});
    EXPECT_TRUE(w.StoredContents().empty());

    // Without a gateway list it is kept with the other messages: nothing is lost.
    w.incoming.hasGatewayList = false;
    Arrive(11, msn, "no gateway");
    EXPECT_EQ(w.StoredContents(), std::vector<std::string>{std::string(kFont) + "no gateway"});
}

TEST_F(IncomingTest, AStoreFailureShowsTheStoresErrorText) {
    // A file where the user folder should be: the store cannot open its database.
    const std::string account = w.session().GetCurrentUserLimitName();
    std::ofstream(w.commonDir() + account) << "in the way";
    w.world().prompter().AnswerMessageBox(os::IDOK);
    Arrive(11, ann, "lost?");
    const auto records = w.world().prompter().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_FALSE(records[0].text.empty());
    EXPECT_GBK_EQ(records[0].caption, "提示");
    EXPECT_EQ(Pending().size(), 1u);  // still shown to the user
}

TEST_F(IncomingTest, WithNobodyLoggedInNothingIsStoredAndNothingAsked) {
    w.session().Logout();
    Arrive(11, ann, "early");
    EXPECT_TRUE(w.world().prompter().Records().empty());
    EXPECT_EQ(Pending().size(), 1u);
}

TEST_F(IncomingTest, AnSmsFromTheHostBecomesAnSmsMessage) {
    config().MessageArrivedTipType = 1;
    pumpHandlers.incoming().HandleMessage(notify::ReceivedSmsMessage(
        w.session(), "13800138000@gw.example", "短信内容", "2026-01-05 10:00:00", "老王"));
    w.windows().PumpPending();
    const auto pending = Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].from, "13800138000@sms.im.qorvdesk.test/PC");
    EXPECT_EQ(pending[0].to, me);
    EXPECT_GBK_EQ(pending[0].content, "短信内容");
    EXPECT_GBK_EQ(pending[0].fromName, "老王");
    EXPECT_EQ(pending[0].type, 11u);
    EXPECT_TRUE(w.session().calls().Named("QueryPersonInfo").empty());
    const auto records = w.StoredRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0][msg_field::kType], "11");
    EXPECT_EQ(records[0][msg_field::kTime], "2026-01-05 10:00:00");
}

TEST_F(IncomingTest, ARecordWithoutMessageDataIsPassedOver) {
    platform::NotifyRecord record = platform::MakeNotify(11, platform::PresenceData{});
    Arrive(record);
    EXPECT_TRUE(w.world().sound().Played().empty());
    EXPECT_TRUE(Pending().empty());
    EXPECT_TRUE(w.StoredContents().empty());
}

}  // namespace
