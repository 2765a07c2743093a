// Two clients with their real subsystems on one real XMPP server: both log in through the
// login panel, see each other come online in the contact tree, and chat through the chat
// window (typed, sent with the Send button), the typing notice and the face arriving on the
// other side, each message stored once in its receiver's message store.

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "chat/chat_controls.h"
#include "config/client_config.h"
#include "contacts/main_panel_trees.h"
#include "support/gbk_print.h"
#include "xmpp_clients_fixture.h"

namespace host_api_test {
namespace {

using XmppEndToEndTest = XmppClientsTest;

TEST_F(XmppEndToEndTest, TwoClientsSeeEachOtherOnlineAndChatThroughTheirChatWindows) {
    XmppClient me(*server, "me", "我");
    XmppClient bob(*server, "bob", "Bob");
    me.SetRoster(bob.jid, "Bob");
    bob.SetRoster(me.jid, "我");
    ASSERT_TRUE(server->Ready()) << server->error();
    const std::vector<XmppClient*> both{&me, &bob};

    ASSERT_NO_FATAL_FAILURE(me.Start(bob.jid, "Bob"));
    ASSERT_NO_FATAL_FAILURE(bob.Start(me.jid, "我"));
    ASSERT_TRUE(me.ClickLogin());
    ASSERT_TRUE(PumpClientsUntil(
        both, [&] { return me.MainPanelShown(); }, "me's main panel"))
        << server->ReadLog();
    EXPECT_EQ(me.peerInTree->presence(), "offline");
    ASSERT_TRUE(bob.ClickLogin());
    ASSERT_TRUE(PumpClientsUntil(
        both,
        [&] {
            return bob.MainPanelShown() && me.peerInTree->presence() == "online" &&
                   bob.peerInTree->presence() == "online";
        },
        "both online in each other's tree"))
        << "me sees bob " << me.peerInTree->presence() << ", bob sees me "
        << bob.peerInTree->presence();

    CDlgChat* mine = me.OpenChatFromTree();
    ASSERT_NE(mine, nullptr);
    CDlgChat* bobs = bob.OpenChatFromTree();
    ASSERT_NE(bobs, nullptr);
    const auto myWindow = mine->hwnd().value();
    const auto bobsWindow = bobs->hwnd().value();

    // Typing shows on Bob's side; the message with its face follows.
    ASSERT_TRUE(me.driver.AppendText(myWindow, chat::control::kInput, "你好#(14)#"))
        << me.driver.LastError();
    ASSERT_TRUE(PumpClientsUntil(
        both, [&] { return bobs->StatusLine().find("正在输入") != std::string::npos; },
        "the typing notice"));
    ASSERT_TRUE(me.driver.Click(myWindow, chat::control::kSend)) << me.driver.LastError();
    ASSERT_TRUE(PumpClientsUntil(
        both, [&] { return bob.ViewHolds(*bobs, "你好"); }, "the greeting"));
    EXPECT_TRUE(bob.ViewHasFace(*bobs, 14))
        << bob.driver.ReadRichText(bobsWindow, chat::control::kView)->description;
    EXPECT_TRUE(me.ViewHolds(*mine, "你好"));
    ASSERT_TRUE(PumpClientsUntil(
        both, [&] { return bobs->StatusLine().find("正在输入") == std::string::npos; },
        "the typing notice to go once the message is sent"));

    // Bob answers the same way.
    ASSERT_TRUE(bob.driver.AppendText(bobsWindow, chat::control::kInput, "收到#(05)#"))
        << bob.driver.LastError();
    ASSERT_TRUE(bob.driver.Click(bobsWindow, chat::control::kSend)) << bob.driver.LastError();
    ASSERT_TRUE(PumpClientsUntil(
        both, [&] { return me.ViewHolds(*mine, "收到"); }, "the answer"));
    EXPECT_TRUE(me.ViewHasFace(*mine, 5))
        << me.driver.ReadRichText(myWindow, chat::control::kView)->description;

    // Each message is in its receiver's store once, from its sender.
    const std::vector<MsgFields> greeting = bob.StoredHolding("你好");
    ASSERT_EQ(greeting.size(), 1u);
    EXPECT_EQ(platform::Jid(greeting[0][msg_field::kFrom]).Bare(), me.jid);
    const std::vector<MsgFields> answer = me.StoredHolding("收到");
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(platform::Jid(answer[0][msg_field::kFrom]).Bare(), bob.jid);

    // Bob leaves: the tree shows it.
    bob.manager->UserLogout();
    ASSERT_TRUE(PumpClientsUntil(
        both, [&] { return me.peerInTree->presence() == "offline"; }, "bob offline in me's tree"));
}

TEST_F(XmppEndToEndTest, TheRecentContactsAreKeptOnTheServerForTheNextLogin) {
    XmppClient me(*server, "me", "我");
    XmppClient bob(*server, "bob", "Bob");
    me.SetRoster(bob.jid, "Bob");
    ASSERT_TRUE(server->Ready()) << server->error();
    const std::vector<XmppClient*> clients{&me};
    ASSERT_NO_FATAL_FAILURE(me.Start(bob.jid, "Bob"));
    me.world.context().config.HasRecentContact = 1;  // after the start, which reads the settings
    const auto recentOutline = [&] {
        const auto* recent =
            me.manager->mainPanel()->GetControl<contacts::CIMTree>(contacts::kRecentTreeId);
        std::string lines;
        if (recent == nullptr) return lines;
        recent->ForEachItem([&](os::TreeItem item, int depth) {
            lines += std::string(static_cast<std::size_t>(depth) * 2, ' ') +
                     recent->GetItemText(item) + "\n";
        });
        return lines;
    };
    ASSERT_TRUE(me.ClickLogin());
    ASSERT_TRUE(PumpClientsUntil(
        clients, [&] { return me.MainPanelShown(); }, "the login"));
    // The buddy list comes after the own vCard, which holds nothing of ours yet.
    const auto rosterHoldsBob = [&] {
        auto* roster =
            me.manager->mainPanel()->GetControl<contacts::CIMTree>(contacts::kRosterTreeId);
        return roster != nullptr && roster->FindUser(bob.jid, {}, platform::JidMatch::Loose);
    };
    ASSERT_TRUE(PumpClientsUntil(clients, rosterHoldsBob, "the buddy list"));
    EXPECT_GBK_EQ(recentOutline(), "");

    // A message to Bob puts him in the list, which goes to the server.
    CDlgChat* chat = me.OpenChatFromTree();
    ASSERT_NE(chat, nullptr);
    ASSERT_TRUE(me.driver.AppendText(chat->hwnd().value(), chat::control::kInput, "明天见"))
        << me.driver.LastError();
    ASSERT_TRUE(me.driver.Click(chat->hwnd().value(), chat::control::kSend))
        << me.driver.LastError();
    me.driver.Pump();
    const std::string withBob = "最近IM联系人 (0/1)\n  Bob(离线)\n最近手机联系人\n  无数据\n";
    EXPECT_GBK_EQ(recentOutline(), withBob);

    // The next login reads the list back from the server.
    me.manager->UserLogout();
    me.driver.Pump();
    ASSERT_TRUE(me.ClickLogin());
    ASSERT_TRUE(PumpClientsUntil(
        clients, [&] { return me.MainPanelShown() && recentOutline() == withBob; },
        "Bob in the recent contacts after the next login"))
        << testing_support::DisplayGbk(recentOutline());
}

}  // namespace
}  // namespace host_api_test
