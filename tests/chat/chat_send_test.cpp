// Sending from a chat window: checks, the message on the wire and in the store, failures.

#include <gtest/gtest.h>

#include "chat/chat_controls.h"
#include "chat/encoding/markers.h"
#include "chat_fixture.h"
#include "config/client_config.h"
#include "os/prompt/scripted_prompter.h"
#include "platform/session/sim_server.h"
#include "platform/store/client_db.h"
#include "support/gbk_print.h"

namespace chat_test {
namespace {

namespace id = chat::control;

class ChatSendTest : public ChatTest {};

TEST_F(ChatSendTest, AMessageGoesToThePeerIsShownAndStored) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    ASSERT_NO_FATAL_FAILURE(Type(chat, "你好"));
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));

    const std::vector<platform::MessageData> received = ChatsReceived(*bob.session);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_GBK_EQ(received[0].content, "你好");
    EXPECT_GBK_EQ(received[0].font, chat::kDefaultHeader);

    EXPECT_NE(ViewText(chat).find("我自己 说 2026-01-05"), std::string::npos) << ViewText(chat);
    EXPECT_NE(ViewText(chat).find("你好"), std::string::npos);
    EXPECT_EQ(chat.input().GetText(), "") << "the input box is emptied";
    EXPECT_EQ(chat.GetFocus(), id::kInput);

    const std::vector<MsgFields> stored = Stored();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][msg_field::kFrom], myJid);
    EXPECT_EQ(stored[0][msg_field::kTo], bob.jid);
    EXPECT_GBK_EQ(stored[0][msg_field::kContents], std::string(chat::kDefaultHeader) + "你好");
    EXPECT_EQ(stored[0][msg_field::kType], "0");
    EXPECT_EQ(stored[0][msg_field::kState], "1");

    const auto states = world.simSession().calls().Named("SendInputStateMessage");
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back().args, (std::vector<std::string>{myJid, bob.jid, "active"}));
}

TEST_F(ChatSendTest, AnEmptyInputSendsNothingAndSaysSo) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));
    EXPECT_EQ(Tips(), (std::vector<std::string>{"请输入消息内容"}));
    EXPECT_TRUE(ChatsReceived(*bob.session).empty());
    EXPECT_TRUE(Stored().empty());
}

TEST_F(ChatSendTest, ABodyOverAThousandBytesIsRefused) {
    struct Case {
        std::string body;
        bool sent;
    };
    const Case cases[] = {
        {std::string(1000, 'a'), true},
        {std::string(1001, 'a'), false},
        {std::string(999, 'a') + "中", false},  // a Chinese character counts two bytes
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.size());
        Contact bob = AddContact("bob" + std::to_string(n++), "鲍勃", true);
        CDlgChat& chat = Open(bob.jid);
        if (!c.sent)
            world.prompter().AnswerMessageBox(os::IDOK, os::PromptMatch{std::nullopt, "消息太长"});
        ASSERT_NO_FATAL_FAILURE(Type(chat, c.body));
        ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));
        EXPECT_EQ(ChatsReceived(*bob.session).size(), c.sent ? 1u : 0u);
        if (!c.sent) {
            const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
            ASSERT_FALSE(boxes.empty());
            EXPECT_GBK_EQ(boxes.back().text, "消息太长(不能超过 1000 个字符)");
            EXPECT_EQ(chat.input().GetText(), c.body) << "the text stays for the user to shorten";
        }
        chat.DestroyWindow();
    }
}

TEST_F(ChatSendTest, AFailingFirstParticipantDoesNotStopTheSecondAndBothAreStored) {
    Contact bob = AddContact("bob", "鲍勃", true);
    Contact carol = AddContact("carol", "卡罗", true);
    world.server().RefuseChatTo(bob.jid);
    CDlgChat& chat = Open(bob.jid);
    ASSERT_TRUE(chat.AddParticipant(carol.jid));
    EXPECT_FALSE(chat.AddParticipant(carol.jid + "/pc")) << "already there";

    ASSERT_NO_FATAL_FAILURE(Type(chat, "大家好"));
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));

    EXPECT_TRUE(ChatsReceived(*bob.session).empty());
    ASSERT_EQ(ChatsReceived(*carol.session).size(), 1u);
    EXPECT_NE(ViewText(chat).find("网络繁忙，无法将消息 大家好 发送给 鲍勃"), std::string::npos)
        << ViewText(chat);
    EXPECT_EQ(ViewText(chat).find("发送给 卡罗"), std::string::npos);

    const std::vector<MsgFields> stored = Stored();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0][msg_field::kTo], bob.jid);
    EXPECT_EQ(stored[1][msg_field::kTo], carol.jid);
}

TEST_F(ChatSendTest, AnOfflineContactWhoAsksForCopiesGetsTheMessageBySmsToo) {
    struct Case {
        bool wantsCopies;
        bool online;
        const char* mobile;
        bool copied;
    };
    const Case cases[] = {
        {true, false, "13800138000", true},
        {true, true, "13800138000", false},    // online: the chat reaches the contact
        {false, false, "13800138000", false},  // no copies asked for
        {true, false, "", false},              // no number to send to
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        Contact dan = AddContact("dan" + std::to_string(n++), "丹", c.online, c.mobile);
        dan.user->SetWantsSmsCopiesWhileOffline(c.wantsCopies);
        const std::size_t smsBefore = world.server().SmsSent().size();
        const std::size_t storedBefore = Stored().size();
        CDlgChat& chat = Open(dan.jid);
        ASSERT_NO_FATAL_FAILURE(Type(chat, "在吗"));
        ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));

        const std::vector<platform::SimSms> sms = world.server().SmsSent();
        const std::vector<MsgFields> stored = Stored();
        if (c.copied) {
            const std::string smsJid = std::string(c.mobile) + "@sms." + platform::kDefaultSimHost;
            ASSERT_EQ(sms.size(), smsBefore + 1);
            EXPECT_EQ(sms.back().to, smsJid);
            EXPECT_GBK_EQ(sms.back().text, "在吗");
            ASSERT_EQ(stored.size(), storedBefore + 2);
            EXPECT_EQ(stored[storedBefore][msg_field::kTo], smsJid);
            EXPECT_EQ(stored[storedBefore][msg_field::kType], "11");
            EXPECT_GBK_EQ(stored[storedBefore][msg_field::kContents], "在吗");
            EXPECT_EQ(stored[storedBefore + 1][msg_field::kType], "0");
        } else {
            EXPECT_EQ(sms.size(), smsBefore);
            EXPECT_EQ(stored.size(), storedBefore + 1);
        }
        chat.DestroyWindow();
    }
}

TEST_F(ChatSendTest, AFailedSmsCopyIsReportedInRed) {
    Contact dan = AddContact("dan", "丹", false, "13800138000");
    dan.user->SetWantsSmsCopiesWhileOffline(true);
    world.server().SetSmsGatewayFailing(true);
    CDlgChat& chat = Open(dan.jid);
    ASSERT_NO_FATAL_FAILURE(Type(chat, "在吗"));
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));
    EXPECT_NE(ViewText(chat).find("网络繁忙，无法将短信 在吗 发送给 丹"), std::string::npos);
    EXPECT_EQ(Stored().size(), 2u) << "what the user wrote is kept";
}

TEST_F(ChatSendTest, ThePictureRuleAndTheFontSetting) {
    Contact bob = AddContact("bob", "鲍勃", false);
    settings.SetMessageFont("FONT(黑体,134,2,240,1,0,0,0,255,0,0)");
    CDlgChat& chat = Open(bob.jid);
    chat.pictures()["10001"] = "0123456789abcdef0123456789abcdef.jpg";
    chat.input().InsertObject(os::RichObject{os::RichObjectKind::Picture, 10001, "x"});
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));
    EXPECT_NE(ViewText(chat).find("对方不在线，您不能发送图片"), std::string::npos);
    EXPECT_TRUE(Stored().empty());

    chat.input().Clear();
    ASSERT_NO_FATAL_FAILURE(Type(chat, "粗体"));
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));
    const std::vector<MsgFields> stored = Stored();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_GBK_EQ(stored[0][msg_field::kContents], settings.MessageFont() + "粗体");
    EXPECT_TRUE(chat.input().GetCharFormatAt(0).Has(os::char_effect::kBold) ||
                chat.input().GetSelectionCharFormat().Has(os::char_effect::kBold))
        << "the setting is applied to the emptied input box again";
}

}  // namespace
}  // namespace chat_test
