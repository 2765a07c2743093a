// SMS mode: the 300-byte limit, the hint and counter, immediate and timed SMS end to end.

#include <gtest/gtest.h>

#include "chat_fixture.h"
#include "config/client_config.h"
#include "os/controls/check_box.h"
#include "os/controls/edit.h"
#include "os/prompt/scripted_prompter.h"
#include "platform/session/sim_server.h"
#include "support/gbk_print.h"

namespace chat_test {
namespace {

namespace id = chat::control;

class ChatSmsTest : public ChatTest {
  protected:
    static std::string SmsJid(const std::string& mobile) {
        return mobile + "@sms." + platform::kDefaultSimHost;
    }
};

TEST_F(ChatSmsTest, AnSmsGoesThroughTheGatewayAndIsStored) {
    context.config.SmsHasNickName = 1;
    Contact bob = AddContact("bob", "鲍勃", true, "13800138000");
    CDlgChat& chat = Open(bob.jid, chat::ChatMode::Sms);
    EXPECT_GBK_EQ(*driver.Text(Handle(chat), id::kHeaderLine),
                  "此消息将作为短信发送至：13800138000");
    ASSERT_NO_FATAL_FAILURE(Type(chat, "开会"));
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));

    const std::vector<platform::SimSms> sent = world.server().SmsSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (platform::SimSms{myJid, SmsJid("13800138000"), "开会", "", 1, 0}));
    EXPECT_EQ(Tips(), (std::vector<std::string>{"信息已提交！"}));
    const std::vector<MsgFields> stored = Stored();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][msg_field::kTo], SmsJid("13800138000"));
    EXPECT_EQ(stored[0][msg_field::kType], "11");
    EXPECT_GBK_EQ(stored[0][msg_field::kContents], "开会");
    EXPECT_TRUE(ChatsReceived(*bob.session).empty()) << "no chat message in SMS mode";
}

TEST_F(ChatSmsTest, AFailingGatewayIsReportedInRed) {
    Contact bob = AddContact("bob", "鲍勃", true, "13800138000");
    world.server().SetSmsGatewayFailing(true);
    CDlgChat& chat = Open(bob.jid, chat::ChatMode::Sms);
    ASSERT_NO_FATAL_FAILURE(Type(chat, "开会"));
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));
    EXPECT_NE(ViewText(chat).find("网络繁忙，无法将短信 开会 发送给 鲍勃"), std::string::npos);
    EXPECT_TRUE(Tips().empty());
}

TEST_F(ChatSmsTest, TypingPastThreeHundredBytesIsCutAtAWholeCharacter) {
    struct Case {
        const char* name;
        bool signature;
        std::string typed;
        std::size_t kept;
    };
    const Case cases[] = {
        {"ascii", false, std::string(305, 'a'), 300},
        {"a Chinese character at the edge", false, std::string(299, 'a') + "中文", 299},
        {"exactly 300", false, std::string(298, 'a') + "中", 300},
        {"signature takes its share", true, std::string(300, 'a'), 300 - 8},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        context.config.HasSmsReply = c.signature ? 1 : 0;
        Contact bob = AddContact("bob" + std::to_string(n++), "鲍勃", true, "13800138000");
        CDlgChat& chat = Open(bob.jid, chat::ChatMode::Sms);
        if (c.signature) {
            EXPECT_GBK_EQ(*driver.Text(Handle(chat), id::kSignature), "[我自己]");  // 8 bytes
        }
        ASSERT_NO_FATAL_FAILURE(Type(chat, c.typed));
        EXPECT_EQ(chat.input().GetTextByteLength(), c.kept);
        EXPECT_EQ(chat.input().GetText(), c.typed.substr(0, c.kept));
        EXPECT_EQ(chat.input().GetSel().start, chat.input().GetTextLength()) << "caret at the end";
        const int left = 300 - static_cast<int>(c.kept) - (c.signature ? 8 : 0);
        EXPECT_GBK_EQ(*driver.Text(Handle(chat), id::kSmsHint),
                      " 请在下方输入短信内容 (还可输入 " + std::to_string(left) + " 个字符，  )");
        chat.DestroyWindow();
    }
}

TEST_F(ChatSmsTest, ABodyOverThreeHundredBytesIsRefusedAtSend) {
    Contact bob = AddContact("bob", "鲍勃", true, "13800138000");
    CDlgChat& chat = Open(bob.jid, chat::ChatMode::Sms);
    // A face pasted from elsewhere is one character in the box and six in the body.
    ASSERT_NO_FATAL_FAILURE(Type(chat, std::string(295, 'a')));
    chat.input().SetSel(-1, -1);
    chat.input().InsertObject(os::RichObject{os::RichObjectKind::Face, 5, "face/5.gif"});
    world.prompter().AnswerMessageBox(os::IDOK, os::PromptMatch{std::nullopt, "短信太长"});
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_GBK_EQ(boxes[0].text, "短信太长(不能超过 300 个英文字符,一个汉字算2个英文字符)");
    EXPECT_TRUE(world.server().SmsSent().empty());
}

TEST_F(ChatSmsTest, TheHintNamesTheSendKey) {
    struct Case {
        int sendKey;
        const char* hint;
    };
    const Case cases[] = {
        {0, " 请在下方输入短信内容，点击发送按钮或使用 Enter 键直接发送短信"},
        {1, " 请在下方输入短信内容，点击发送按钮或使用 Ctrl + Enter 键直接发送短信"},
    };
    int n = 0;
    for (const Case& c : cases) {
        context.config.SendKey = c.sendKey;
        Contact bob = AddContact("bob" + std::to_string(n++), "鲍勃", true, "13800138000");
        CDlgChat& chat = Open(bob.jid, chat::ChatMode::Sms);
        EXPECT_GBK_EQ(*driver.Text(Handle(chat), id::kSmsHint), c.hint);
        chat.DestroyWindow();
    }
}

TEST_F(ChatSmsTest, TimedSmsNeedsAFutureTimeFrom2010On) {
    struct Case {
        const char* time;
        bool sent;
        const char* tip;
        const char* box;
    };
    // The test clock stands at 2026-01-05 09:00 UTC.
    const Case cases[] = {
        {"2026-02-01 08:30:00", true, "信息已提交！", nullptr},
        {"2009-12-31 23:00:00", false, "不能发送定时短信或未开通该功能。", nullptr},
        {"2020-01-01 08:00:00", false, nullptr, "时间范围错误，请从新选择！"},
        {"2026-02-30 08:00:00", false, nullptr, "时间范围错误，请从新选择！"},
        {"soon", false, "不能发送定时短信或未开通该功能。", nullptr},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        world.prompter().ClearRecords();
        Contact bob = AddContact("bob" + std::to_string(n++), "鲍勃", true, "13800138000");
        CDlgChat& chat = Open(bob.jid, chat::ChatMode::Sms);
        const std::size_t tipsBefore = Tips().size();
        const std::size_t smsBefore = world.server().SmsSent().size();
        ASSERT_TRUE(driver.Click(Handle(chat), id::kTimedSms));
        ASSERT_TRUE(driver.TypeText(Handle(chat), id::kSendTime, c.time));
        if (c.box)
            world.prompter().AnswerMessageBox(os::IDOK, os::PromptMatch{std::nullopt, c.box});
        ASSERT_NO_FATAL_FAILURE(Type(chat, "提醒"));
        ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSend));

        const std::vector<platform::SimSms> sent = world.server().SmsSent();
        ASSERT_EQ(sent.size(), smsBefore + (c.sent ? 1 : 0));
        if (c.sent) {
            EXPECT_EQ(sent.back().sendTime, c.time);
            EXPECT_EQ(sent.back().timedFlag, 1);
            EXPECT_EQ(chat.input().GetText(), "");
            EXPECT_NE(ViewText(chat).find("提醒"), std::string::npos);
        } else {
            EXPECT_GBK_EQ(chat.input().GetText(), "提醒") << "nothing lost";
        }
        const std::vector<std::string> tips = Tips();
        if (c.tip) {
            ASSERT_EQ(tips.size(), tipsBefore + 1);
            EXPECT_GBK_EQ(tips.back(), c.tip);
        } else {
            EXPECT_EQ(tips.size(), tipsBefore);
        }
        chat.DestroyWindow();
    }
    EXPECT_EQ(world.server().SmsSent().size(), 1u);
}

}  // namespace
}  // namespace chat_test
