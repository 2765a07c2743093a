// The chat service without a window: what goes to whom, what is stored, what the user is told
// and in which order. The user "me" is logged in on the embedded server; contacts are
// accounts there (offline unless a test logs one in).

#include "chat/chat_service.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "chat/chat_doors.h"
#include "chat/chat_rich_view.h"
#include "chat/encoding/markers.h"
#include "config/client_config.h"
#include "core/client_world.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "os/sys/file_ops.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "platform/store/client_db.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"

namespace {

using testing_support::Gbk;

// What the service told the user, in order, as "kind:text".
class RecordingFeedback final : public chat::ChatFeedback {
  public:
    void RedNotice(const std::string& text) override { events.push_back("red:" + text); }
    void QueuedNotice(const std::string& text) override { events.push_back("queued:" + text); }
    void Tip(const std::string& text) override { events.push_back("tip:" + text); }
    void MessageBox(const std::string& text) override { events.push_back("box:" + text); }
    void OwnMessage(const std::string& contents) override { events.push_back("own:" + contents); }
    void InputTaken() override { events.push_back("taken"); }

    std::vector<Gbk> Events() const { return {events.begin(), events.end()}; }
    std::vector<std::string> events;
};

class ChatServiceTest : public ::testing::Test {
  protected:
    ChatServiceTest() : world({common.str(), app.str()}), context(world.context()) {
        platform::SimAccount me;
        me.loginName = "me";
        me.password = "pw";
        me.nickname = "我自己";
        myJid = world.server().AddAccount(me);
        world.simSession().Init(nullptr, nullptr, std::this_thread::get_id());
        EXPECT_EQ(world.simSession().Login("me", "pw", 1, "", 0), platform::kLoginAccepted);
    }

    // A contact on the server (offline: its messages wait there).
    chat::Recipient Contact(const std::string& login, const std::string& name,
                            const std::string& mobile = {}) {
        platform::SimAccount account;
        account.loginName = login;
        account.password = "pw";
        account.nickname = name;
        chat::Recipient recipient;
        recipient.jid = world.server().AddAccount(account);
        recipient.displayName = name;
        recipient.mobile = mobile;
        return recipient;
    }

    chat::Outgoing Message(const std::string& body) {
        chat::Outgoing message;
        message.body = body;
        message.header = std::string(chat::kDefaultHeader);
        return message;
    }

    std::string SmsJid(const std::string& mobile) const {
        return mobile + "@sms." + world.server().HostName();
    }

    struct Record {
        std::string to;
        std::string contents;
        std::string type;
        bool operator==(const Record&) const = default;
    };
    std::vector<Record> Stored() {
        std::vector<Record> records;
        const std::unique_ptr<CClientDB> db = context.OpenUserStore();
        if (db == nullptr) {
            ADD_FAILURE() << "no user folder";
            return records;
        }
        EXPECT_TRUE(db->GetMsg(
            [&](const MsgFields& f) {
                if (IsMsgEndMark(f)) return;
                EXPECT_EQ(f[msg_field::kFrom], myJid);
                records.push_back(
                    {f[msg_field::kTo], f[msg_field::kContents], f[msg_field::kType]});
            },
            -1))
            << db->GetErrorInfo();
        return records;
    }

    std::vector<platform::SessionCall> Calls(std::string_view name) {
        return world.simSession().calls().Named(name);
    }

    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world;
    core::ClientContext& context;
    chat::SmsQuota quota;
    RecordingFeedback feedback;
    std::string myJid;
};

TEST_F(ChatServiceTest, AChatMessageGoesToEveryoneWithSmsCopiesAndFailuresNamed) {
    const std::string header(chat::kDefaultHeader);
    chat::Recipient bob = Contact("bob", "鲍勃");
    chat::Recipient dan = Contact("dan", "丹", "13800138000");
    dan.offline = true;
    dan.wantsSmsCopies = true;
    world.server().RefuseChatTo(bob.jid);
    context.config.SmsHasNickName = 0;
    chat::ChatService service(context, chat::ChatMode::InstantMessage, quota);

    const std::vector<chat::Recipient> recipients{bob, dan};
    service.Send(Message("大家好"), recipients, feedback);

    EXPECT_EQ(feedback.Events(), (std::vector<Gbk>{"own:" + header + "大家好",
                                                   "red:网络繁忙，无法将消息 大家好 发送给 鲍勃"}));
    const auto chats = Calls("SendChatMessage");
    ASSERT_EQ(chats.size(), 2u);
    EXPECT_EQ(chats[0].args, (std::vector<std::string>{bob.jid, "大家好", header}));
    EXPECT_EQ(chats[1].args, (std::vector<std::string>{dan.jid, "大家好", header}));
    const auto copies = Calls("SendTelMessage");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].args,
              (std::vector<std::string>{SmsJid("13800138000"), "大家好", "0", "0"}));
    EXPECT_EQ(Stored(), (std::vector<Record>{{bob.jid, header + "大家好", "0"},
                                             {SmsJid("13800138000"), "大家好", "11"},
                                             {dan.jid, header + "大家好", "0"}}));
}

TEST_F(ChatServiceTest, AGatewayPeerGetsPartsStoredUnderItsOwnAddressWithoutHeader) {
    chat::Recipient msn;
    msn.jid = "bob\\40hotmail.com@msn." + world.server().HostName() + "/pc";
    msn.displayName = "bob";
    chat::ChatService service(context, chat::ChatMode::InstantMessage, quota);
    const std::string body = std::string(699, 'a') + "中文";
    const std::vector<chat::Recipient> recipients{msn};
    service.Send(Message(body), recipients, feedback);

    const auto chats = Calls("SendChatMessage");
    ASSERT_EQ(chats.size(), 2u);
    EXPECT_EQ(chats[0].args[1], std::string(699, 'a'));
    EXPECT_GBK_EQ(chats[1].args[1], "中文");
    const std::string address = "bob@hotmail.com@msn." + world.server().HostName();
    EXPECT_EQ(Stored(),
              (std::vector<Record>{{address, std::string(699, 'a'), "0"}, {address, "中文", "0"}}));
    ASSERT_EQ(feedback.events.size(), 1u) << "shown once, whole";
    EXPECT_GBK_EQ(feedback.events[0], "own:" + std::string(chat::kDefaultHeader) + body);
}

TEST_F(ChatServiceTest, ShakesGoAtMostOnceInTenSeconds) {
    chat::Recipient bob = Contact("bob", "鲍勃");
    chat::ChatService service(context, chat::ChatMode::InstantMessage, quota);
    const std::vector<chat::Recipient> recipients{bob};
    const std::string line(chat::kSeparatorLine);
    const std::string refused = line + "\r\n您不能频繁发送闪屏振动\r\n" + line;

    EXPECT_EQ(service.CheckShake(recipients), std::nullopt);
    service.Send(Message(std::string(chat::kShakeBody)), recipients, feedback);
    ASSERT_EQ(feedback.events.size(), 1u);
    EXPECT_GBK_EQ(feedback.events[0], "queued:" + line + "\r\n" + service.NowText() +
                                          " 您发送了一个闪屏振动\r\n" + line);
    EXPECT_EQ(Calls("SendChatMessage").size(), 1u);

    struct Step {
        os::Millis advance;
        bool refused;
    };
    const Step steps[] = {{9999, true}, {1, false}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.advance);
        world.clock().Advance(step.advance);
        feedback.events.clear();
        const std::size_t sentBefore = Calls("SendChatMessage").size();
        const std::optional<chat::Refusal> check = service.CheckShake(recipients);
        service.Send(Message(std::string(chat::kShakeBody)), recipients, feedback);
        if (step.refused) {
            ASSERT_TRUE(check.has_value());
            EXPECT_EQ(check->shown, chat::Refusal::Shown::QueuedNotice);
            EXPECT_GBK_EQ(check->text, refused);
            EXPECT_EQ(feedback.Events(), (std::vector<Gbk>{"queued:" + refused}));
            EXPECT_EQ(Calls("SendChatMessage").size(), sentBefore);
        } else {
            EXPECT_EQ(check, std::nullopt);
            EXPECT_EQ(Calls("SendChatMessage").size(), sentBefore + 1);
        }
    }
}

TEST_F(ChatServiceTest, AShakeNeedsAPeerThatIsOnlineWhenItIsTheOnlyOne) {
    chat::Recipient bob = Contact("bob", "鲍勃");
    chat::Recipient carol = Contact("carol", "卡罗");
    bob.offline = true;
    chat::ChatService service(context, chat::ChatMode::InstantMessage, quota);
    const std::vector<chat::Recipient> alone{bob};
    const std::vector<chat::Recipient> both{bob, carol};
    EXPECT_EQ(service.CheckShake(alone),
              (chat::Refusal{chat::Refusal::Shown::RedNotice, "对方不在线，您不能发送闪屏振动"}));
    EXPECT_EQ(service.CheckShake(both), std::nullopt);
}

TEST_F(ChatServiceTest, AnSmsGoesToEveryNumberAndIsStored) {
    context.config.SmsHasNickName = 1;
    chat::Recipient nobody = Contact("bob", "鲍勃");
    chat::Recipient dan = Contact("dan", "丹", "13800138000");
    chat::ChatService service(context, chat::ChatMode::Sms, quota);
    const std::vector<chat::Recipient> recipients{nobody, dan};
    service.Send(Message("开会"), recipients, feedback);

    EXPECT_EQ(feedback.Events(),
              (std::vector<Gbk>{"own:" + std::string(chat::kDefaultHeader) + "开会",
                                "red:该用户手机信息为空，不能发送短信!", "tip:信息已提交！"}));
    const auto sms = Calls("SendTelMessage");
    ASSERT_EQ(sms.size(), 1u);
    EXPECT_EQ(sms[0].args, (std::vector<std::string>{SmsJid("13800138000"), "开会", "1", "0"}));
    EXPECT_TRUE(Calls("SendChatMessage").empty());
    EXPECT_EQ(Stored(), (std::vector<Record>{{SmsJid("13800138000"), "开会", "11"}}));
}

TEST_F(ChatServiceTest, ATimedSmsNeedsAFutureTimeAndGoesToThePeerOnly) {
    struct Case {
        const char* time;
        bool sent;
    };
    // The test clock stands at 2026-01-05 09:00 UTC.
    const Case cases[] = {
        {"2020-01-01 08:00:00", false},
        {"2026-02-30 08:00:00", false},
        {"2026-02-01 08:30", true},
    };
    context.config.SmsHasNickName = 0;
    chat::Recipient dan = Contact("dan", "丹", "13800138000");
    chat::Recipient eve = Contact("eve", "伊芙", "13900139000");
    const std::vector<chat::Recipient> recipients{dan, eve};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        feedback.events.clear();
        world.simSession().calls().Clear();
        chat::ChatService service(context, chat::ChatMode::Sms, quota);
        chat::Outgoing message = Message("提醒");
        message.timed = true;
        message.sendTime = c.time;
        service.Send(message, recipients, feedback);
        const auto timed = Calls("SendTimerSMS");
        if (c.sent) {
            EXPECT_EQ(feedback.Events(),
                      (std::vector<Gbk>{"own:" + std::string(chat::kDefaultHeader) + "提醒",
                                        "tip:信息已提交！", "taken"}));
            ASSERT_EQ(timed.size(), 1u);
            EXPECT_EQ(timed[0].args, (std::vector<std::string>{SmsJid("13800138000"), "提醒",
                                                               "2026-02-01 08:30:00", "0", "1"}));
        } else {
            EXPECT_EQ(feedback.Events(), (std::vector<Gbk>{"box:时间范围错误，请从新选择！"}));
            EXPECT_TRUE(timed.empty());
        }
        EXPECT_TRUE(Calls("SendTelMessage").empty());
    }
    EXPECT_EQ(Stored(), (std::vector<Record>{{SmsJid("13800138000"), "提醒", "11"}}));
}

TEST_F(ChatServiceTest, AFailedStoreShowsTheStoresErrorAfterTheMessageWent) {
    // A file where the user folder should be: the store cannot open.
    std::ofstream(common.path() / "me") << "not a folder";
    chat::Recipient bob = Contact("bob", "鲍勃");
    chat::ChatService service(context, chat::ChatMode::InstantMessage, quota);
    const std::vector<chat::Recipient> recipients{bob};
    service.Send(Message("你好"), recipients, feedback);

    EXPECT_EQ(Calls("SendChatMessage").size(), 1u);
    ASSERT_EQ(feedback.events.size(), 2u);
    EXPECT_EQ(feedback.events[1].rfind("box:", 0), 0u) << feedback.events[1];
    EXPECT_GT(feedback.events[1].size(), 4u) << "the store says why";
}

TEST_F(ChatServiceTest, AnAccountNameThatNamesNoFolderSendsButStoresNothing) {
    platform::SimAccount odd;
    odd.loginName = "odd";
    odd.password = "pw";
    odd.limitName = "..";
    world.server().AddAccount(odd);
    world.simSession().Logout();
    ASSERT_EQ(world.simSession().Login("odd", "pw", 1, "", 0), platform::kLoginAccepted);
    chat::Recipient bob = Contact("bob", "鲍勃");
    chat::ChatService service(context, chat::ChatMode::InstantMessage, quota);
    const std::vector<chat::Recipient> recipients{bob};
    service.Send(Message("你好"), recipients, feedback);

    EXPECT_EQ(Calls("SendChatMessage").size(), 1u);
    EXPECT_EQ(feedback.events.size(), 1u) << "no message box";
    EXPECT_TRUE(world.log().HasCaptured("用户名不能作为目录名:.."));
    EXPECT_FALSE(
        std::filesystem::exists(common.path().parent_path() / CClientDB::kDatabaseFileName));
}

TEST_F(ChatServiceTest, PicturesGoToThePeerAndAnyFailureIsReportedOnce) {
    chat::ChatService service(context, chat::ChatMode::InstantMessage, quota);
    const std::vector<std::string> pictures{"0123abcd.jpg", "plain"};
    ASSERT_TRUE(os::CreateDirectories(common.str() + "temp"));
    for (const std::string& name : pictures) {
        ASSERT_TRUE(os::WriteFileAtomically(common.str() + "temp/" + name, "picture"));
    }
    service.SendPictures("bob@h", pictures, feedback);
    const auto files = Calls("SendFile");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].args, (std::vector<std::string>{"bob@h", common.str() + "temp/0123abcd.jpg",
                                                       "0123abcd", "0"}));
    EXPECT_EQ(files[1].args[2], "plain");
    EXPECT_TRUE(feedback.events.empty());

    world.simSession().Logout();  // the engine refuses every transfer now
    service.SendPictures("bob@h", pictures, feedback);
    EXPECT_EQ(feedback.Events(), (std::vector<Gbk>{"red:文件传输服务异常,发送截屏文件失败!"}));
}

TEST_F(ChatServiceTest, AfterASendPeersHearTheUserIsActiveOrTheQuotaIsAskedAgain) {
    struct Case {
        chat::ChatMode mode;
        int hasSmsLimit;
        bool timed;
        std::size_t states;
        std::vector<std::string> quotaQueries;
    };
    const Case cases[] = {
        {chat::ChatMode::InstantMessage, 1, false, 2, {}},
        {chat::ChatMode::Sms, 1, false, 0, {"0"}},
        {chat::ChatMode::Sms, 1, true, 0, {"1"}},
        {chat::ChatMode::Sms, 0, false, 0, {}},
    };
    const std::vector<std::string> jids{"bob@h", "carol@h"};
    for (const Case& c : cases) {
        world.simSession().calls().Clear();
        context.config.HasSmsLimit = c.hasSmsLimit;
        chat::ChatService service(context, c.mode, quota);
        service.AfterSend(c.timed, jids);
        const auto states = Calls("SendInputStateMessage");
        ASSERT_EQ(states.size(), c.states);
        for (std::size_t i = 0; i < states.size(); ++i) {
            EXPECT_EQ(states[i].args, (std::vector<std::string>{myJid, jids[i], "active"}));
        }
        std::vector<std::string> queries;
        for (const auto& call : Calls("QuerySmsLimitInfo")) queries.push_back(call.args[0]);
        EXPECT_EQ(queries, c.quotaQueries);
    }
}

TEST_F(ChatServiceTest, RecentMessagesStopBeforeTheNewestUnreadOneFromThePeer) {
    chat::Recipient bob = Contact("bob", "鲍勃");
    chat::ConversationStore store(context);
    ASSERT_EQ(store.StoreSent(bob.jid, "一", CClientDB::kTypeChat).stored,
              chat::ConversationStore::Stored::Yes);
    {
        const std::unique_ptr<CClientDB> db = context.OpenUserStore();
        ASSERT_NE(db, nullptr);
        ASSERT_TRUE(db->AddMsg(bob.jid.c_str(), myJid.c_str(), "2026-01-05 09:00:01", "二", "", "",
                               "", 0, false, "", "", CClientDB::kStateUnhandled, nullptr));
    }
    ASSERT_EQ(store.StoreSent(bob.jid, "三", CClientDB::kTypeChat).stored,
              chat::ConversationStore::Stored::Yes);

    context.config.CountOfRecentChatContent = 10;
    chat::ChatService service(context, chat::ChatMode::InstantMessage, quota);
    const auto messages = service.RecentMessages(bob.jid, "鲍勃");
    ASSERT_TRUE(messages.has_value());
    ASSERT_EQ(messages->size(), 1u);
    EXPECT_GBK_EQ((*messages)[0].speaker, "我自己");
    EXPECT_GBK_EQ((*messages)[0].text, "一");

    context.config.CountOfRecentChatContent = 0;
    EXPECT_EQ(service.RecentMessages(bob.jid, "鲍勃"), std::nullopt);
    EXPECT_TRUE(world.log().HasCaptured("显示最近聊天内容时配置错误:CountOfRecentChatContent=0"));
}

}  // namespace
