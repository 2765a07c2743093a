// Shakes: sending (at most one every 10 s), receiving (one window shake per contact every
// 12 s) and the window moving about.

#include <gtest/gtest.h>

#include "chat/encoding/markers.h"
#include "chat_fixture.h"
#include "os/sys/clock.h"
#include "support/gbk_print.h"

namespace chat_test {
namespace {

namespace id = chat::control;

class ChatShakeTest : public ChatTest {
  protected:
    static std::size_t Count(const std::string& text, const std::string& part) {
        std::size_t n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos;
             at = text.find(part, at + 1)) {
            ++n;
        }
        return n;
    }
    static int Shakes(const std::vector<platform::MessageData>& chats) {
        int n = 0;
        for (const auto& chat : chats) n += chat.content == chat::kShakeBody ? 1 : 0;
        return n;
    }
};

TEST_F(ChatShakeTest, ASecondShakeWithinTenSecondsIsRefused) {
    struct Case {
        os::Millis gap;
        int sent;
    };
    const Case cases[] = {{9000, 1}, {9999, 1}, {10000, 2}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gap);
        Contact bob = AddContact("bob" + std::to_string(n++), "鲍勃", true);
        CDlgChat& chat = Open(bob.jid);
        ASSERT_NO_FATAL_FAILURE(Click(chat, id::kShake));
        Advance(c.gap);
        ASSERT_NO_FATAL_FAILURE(Click(chat, id::kShake));

        EXPECT_EQ(Shakes(ChatsReceived(*bob.session)), c.sent);
        const std::string view = ViewText(chat);
        EXPECT_EQ(Count(view, "您发送了一个闪屏振动"), static_cast<std::size_t>(c.sent));
        EXPECT_EQ(Count(view, "您不能频繁发送闪屏振动"), c.sent == 1 ? 1u : 0u);
        EXPECT_NE(view.find(std::string(chat::kSeparatorLine)), std::string::npos);
        EXPECT_EQ(view.find(" 说 "), std::string::npos) << "a shake has no speaker line";
        EXPECT_EQ(chat.WindowShakes(), c.sent);
        chat.DestroyWindow();
    }
}

TEST_F(ChatShakeTest, NoShakeToAnOfflinePeer) {
    Contact bob = AddContact("bob", "鲍勃", false);
    CDlgChat& chat = Open(bob.jid);
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kShake));
    EXPECT_NE(ViewText(chat).find("对方不在线，您不能发送闪屏振动"), std::string::npos);
    EXPECT_TRUE(world.simSession().calls().Named("SendChatMessage").empty());
    EXPECT_EQ(chat.WindowShakes(), 0);
}

TEST_F(ChatShakeTest, ReceivedShakesShakeTheWindowOncePerContactEveryTwelveSeconds) {
    struct Case {
        const char* name;
        os::Millis gap;
        bool otherSender;
        int shakes;
    };
    const Case cases[] = {
        {"same contact 11 s apart", 11000, false, 1},
        {"same contact 12 s apart", 12000, false, 2},
        {"another contact at once", 0, true, 2},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shakes.Reset();
        Contact bob = AddContact("bob" + std::to_string(n++), "鲍勃", true);
        CDlgChat& chat = Open(bob.jid);
        core::QueuedMessage shake;
        shake.from = bob.jid;
        shake.content = std::string(chat::kShakeBody);
        shake.time = "2026-01-05 17:00:00";
        chat.OnIncomingMessage(shake);
        Advance(c.gap);
        if (c.otherSender) shake.from = "carol$gov@im.qorvdesk.test";
        chat.OnIncomingMessage(shake);

        EXPECT_EQ(chat.WindowShakes(), c.shakes);
        EXPECT_EQ(Count(ViewText(chat), "2026-01-05 17:00:00 您收到了一个闪屏振动"), 2u)
            << "every shake is noted";
        chat.DestroyWindow();
    }
}

TEST_F(ChatShakeTest, TheWindowStepsAsideAndBackTenTimesThenRests) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    const os::Rect home = chat.GetWindowRect();
    core::QueuedMessage shake = Incoming(bob.jid, std::string(chat::kShakeBody));
    chat.OnIncomingMessage(shake);

    int aside = 0;
    for (int step = 0; step < 20; ++step) {
        const os::Rect now = chat.GetWindowRect();
        const int dx = now.left - home.left;
        const int dy = now.top - home.top;
        EXPECT_GE(dx, -10);
        EXPECT_LE(dx, 19);
        EXPECT_GE(dy, -10);
        EXPECT_LE(dy, 19);
        EXPECT_EQ(now.Width(), home.Width());
        if (step % 2 == 1) {
            EXPECT_EQ(now, home) << "every other step goes back";
        }
        aside += now != home ? 1 : 0;
        Advance(chat::kShakeStepMs);
    }
    EXPECT_GT(aside, 0);
    EXPECT_EQ(chat.GetWindowRect(), home);
    Advance(1000);
    EXPECT_EQ(chat.GetWindowRect(), home);
}

}  // namespace
}  // namespace chat_test
