// The recent-history block a chat window opens with.

#include <gtest/gtest.h>

#include "chat/encoding/markers.h"
#include "chat_fixture.h"
#include "config/client_config.h"
#include "os/services/log.h"
#include "platform/store/client_db.h"
#include "support/gbk_print.h"

namespace chat_test {
namespace {

class ChatRecentHistoryTest : public ChatTest {
  protected:
    void Store(const std::string& from, const std::string& to, const char* time,
               const std::string& text, int state) {
        const std::unique_ptr<CClientDB> db = context.OpenUserStore();
        ASSERT_NE(db, nullptr);
        ASSERT_TRUE(db->AddMsg(from.c_str(), to.c_str(), time, text.c_str(), "", "", "", 0, false,
                               "", "", state, nullptr))
            << db->GetErrorInfo();
    }
};

TEST_F(ChatRecentHistoryTest, ShowsTheStoredConversationUpToTheFirstUnreadMessage) {
    context.config.HasRecentChatContentShow = 1;
    context.config.CountOfRecentChatContent = 10;
    Contact bob = AddContact("bob", "鲍勃", true);
    Contact carol = AddContact("carol", "卡罗", true);
    Store(myJid, bob.jid, "2026-01-04 10:00:00", std::string(chat::kDefaultHeader) + " 早 ", 1);
    Store(bob.jid + "/pc", myJid, "2026-01-04 10:01:00", "#(-1)#", 0);
    Store(carol.jid, myJid, "2026-01-04 10:02:00", "别人的", 0);
    Store(bob.jid, myJid, "2026-01-04 10:03:00", "#(-3)#[a.txt|3|k]", 0);
    Store(bob.jid, myJid, "2026-01-04 10:04:00", "未读", 1);
    Store(myJid, bob.jid, "2026-01-04 10:05:00", "之后", 1);

    CDlgChat& chat = Open(bob.jid);
    EXPECT_GBK_EQ(ViewText(chat),
                  "我自己 2026-01-04 10:00:00\r\n早\r\n"
                  "鲍勃 2026-01-04 10:01:00\r\n[闪屏振动]\r\n" +
                      std::string(70, '-') + "\r\n");
    EXPECT_EQ(chat.view().GetCharFormatAt(0).color, os::Rgb(128, 128, 128));
}

TEST_F(ChatRecentHistoryTest, ACountBelowOneIsLoggedAndShowsNothing) {
    context.config.HasRecentChatContentShow = 1;
    context.config.CountOfRecentChatContent = 0;
    Contact bob = AddContact("bob", "鲍勃", true);
    Store(myJid, bob.jid, "2026-01-04 10:00:00", "早", 0);
    CDlgChat& chat = Open(bob.jid);
    EXPECT_EQ(ViewText(chat), "");
    EXPECT_TRUE(world.log().HasCaptured("显示最近聊天内容时配置错误:CountOfRecentChatContent=0"));
}

}  // namespace
}  // namespace chat_test
