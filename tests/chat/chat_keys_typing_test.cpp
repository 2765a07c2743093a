// Send keys, typing notices, the character counter and presence notices.

#include <gtest/gtest.h>

#include "chat_fixture.h"
#include "config/client_config.h"
#include "support/gbk_print.h"

namespace chat_test {
namespace {

namespace id = chat::control;

class ChatKeysTest : public ChatTest {};

TEST_F(ChatKeysTest, SendKeysFollowTheSetting) {
    struct Case {
        int sendKey;
        int modifiers;
        bool sends;
    };
    const Case cases[] = {
        {0, 0, true},                // Enter sends
        {0, chat::kKeyCtrl, false},  // Ctrl+Enter breaks the line
        {1, 0, false},               // Enter breaks the line
        {1, chat::kKeyCtrl, true},   // Ctrl+Enter sends
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        context.config.SendKey = c.sendKey;
        Contact bob = AddContact("bob" + std::to_string(n++), "鲍勃", true);
        CDlgChat& chat = Open(bob.jid);
        ASSERT_NO_FATAL_FAILURE(Type(chat, "第一行"));
        Press(chat, os::VK_RETURN, c.modifiers);
        if (c.sends) {
            EXPECT_EQ(ChatsReceived(*bob.session).size(), 1u);
            EXPECT_EQ(chat.input().GetText(), "");
        } else {
            EXPECT_TRUE(ChatsReceived(*bob.session).empty());
            EXPECT_GBK_EQ(chat.input().GetText(), "第一行\r\n");
        }
        chat.DestroyWindow();
    }
}

TEST_F(ChatKeysTest, AltSAlwaysSendsAndTheManagersHookTakesTheSameKeys) {
    context.config.SendKey = 1;
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    ASSERT_NO_FATAL_FAILURE(Type(chat, "一"));
    ASSERT_TRUE(driver.PressKey(Handle(chat), 'S', qorvdesk::automation::KeyModifier::Alt));
    driver.Pump();
    EXPECT_EQ(ChatsReceived(*bob.session).size(), 1u);

    ASSERT_NO_FATAL_FAILURE(Type(chat, "二"));
    EXPECT_FALSE(chat.OnChatKeyDown(os::VK_RETURN, 0)) << "a line break is the box's own";
    world.windows().SetHeldModifiers(os::MOD_CONTROL);  // as a host that holds Ctrl says
    EXPECT_TRUE(chat.OnChatKeyDown(os::VK_RETURN, 0));
    EXPECT_EQ(ChatsReceived(*bob.session).size(), 1u);
    EXPECT_FALSE(chat.OnChatKeyDown('A', 0));
}

TEST_F(ChatKeysTest, ATypingNoticeShowsAndClearsAfterFiveSecondsOfSilence) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    const std::string typing = "鲍勃 正在输入....";

    chat.OnInputState("composing", bob.jid);
    EXPECT_GBK_EQ(chat.StatusLine(), " " + typing);
    Advance(3000);
    chat.OnInputState("composing", bob.jid);  // the silence starts again
    Advance(4999);
    EXPECT_GBK_EQ(chat.StatusLine(), " " + typing);
    Advance(1);
    EXPECT_EQ(chat.StatusLine(), " ");

    chat.OnInputState("composing", bob.jid);
    chat.OnInputState("active", bob.jid);
    EXPECT_EQ(chat.StatusLine(), " ");
}

TEST_F(ChatKeysTest, TypingTellsThePeerAndTwoSecondsLaterWhetherTheUserStillTypes) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    ASSERT_NO_FATAL_FAILURE(Type(chat, "h"));
    EXPECT_EQ(TypingReceived(*bob.session), (std::vector<std::string>{"composing"}));
    Advance(1999);
    EXPECT_TRUE(TypingReceived(*bob.session).empty());
    Advance(1);
    EXPECT_EQ(TypingReceived(*bob.session), (std::vector<std::string>{"composing"}));

    ASSERT_TRUE(driver.TypeText(Handle(chat), id::kInput, ""));  // the user deletes it all
    TypingReceived(*bob.session);
    Advance(2000);
    EXPECT_EQ(TypingReceived(*bob.session), (std::vector<std::string>{"active"}));
    Advance(10000);
    EXPECT_TRUE(TypingReceived(*bob.session).empty()) << "timer 2 stops after it fired";
}

TEST_F(ChatKeysTest, TheCounterCountsBytes) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    EXPECT_EQ(chat.StatusLine(), " ");
    ASSERT_NO_FATAL_FAILURE(Type(chat, "ab中"));
    EXPECT_GBK_EQ(chat.StatusLine(), "已输入 4 字符 ");
}

TEST_F(ChatKeysTest, PresenceNoticesStopOnceThePeerWasSeenOffline) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    chat.OnPeerPresence("online");
    chat.OnPeerPresence("away");
    chat.OnPeerPresence("dnd");
    chat.OnPeerPresence("busy");
    chat.OnPeerPresence("offline");
    chat.OnPeerPresence("away");
    const std::string view = ViewText(chat);
    EXPECT_EQ(view,
              "\n对方现在离开，可能无法立即回复\r\n"
              "\n对方现在忙碌，可能无法立即回复\r\n"
              "\n对方现在忙碌，可能无法立即回复\r\n");
}

}  // namespace
}  // namespace chat_test
