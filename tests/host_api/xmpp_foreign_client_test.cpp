// Our client and another program's (a slixmpp client, which knows none of our extensions)
// chat through one real XMPP server: what we send reaches it as a plain body with the
// standard chat states and attention; what it sends, without our font header, shows in our
// chat window in the default font, and its typing and attention arrive as ours would.

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "support/gbk_print.h"
#include "support/prosody/foreign_peer.h"
#include "xmpp_clients_fixture.h"

namespace host_api_test {
namespace {

constexpr char kChatStates[] = "{http://jabber.org/protocol/chatstates}";
constexpr char kAttention[] = "{urn:xmpp:attention:0}attention";
constexpr char kBody[] = "{jabber:client}body";

class XmppForeignClientTest : public XmppClientsTest {
  protected:
    void SetUp() override {
        XmppClientsTest::SetUp();
        if (IsSkipped()) return;
        if (!testing_support::ForeignPeer::Installed())
            GTEST_SKIP() << "python3-slixmpp is not installed";
    }

    // The peer's messages that hold `tag`.
    static std::vector<testing_support::ForeignPeer::Received> Holding(
        testing_support::ForeignPeer& peer, const std::string& tag) {
        std::vector<testing_support::ForeignPeer::Received> found;
        for (const auto& message : peer.Messages())
            if (message.Has(tag)) found.push_back(message);
        return found;
    }
};

TEST_F(XmppForeignClientTest, ChatsBothWaysWithAClientThatKnowsNoneOfOurExtensions) {
    XmppClient me(*server, "me", "我");
    const std::string carol = "carol@" + server->domain();
    server->Register("carol", "pw-c");
    me.SetRoster(carol, "Carol");
    ASSERT_TRUE(server->SetRoster("carol", {{os::GbkToUtf8Lossy(me.jid), "me", "", "both"}}));
    ASSERT_TRUE(server->Ready()) << server->error();
    const std::vector<XmppClient*> clients{&me};

    ASSERT_NO_FATAL_FAILURE(me.Start(carol, "Carol"));
    ASSERT_TRUE(me.ClickLogin());
    ASSERT_TRUE(PumpClientsUntil(
        clients, [&] { return me.MainPanelShown(); }, "the main panel"));
    testing_support::ForeignPeer peer(carol, "pw-c", server->port(), server->caFile());
    ASSERT_TRUE(peer.started());
    ASSERT_TRUE(PumpClientsUntil(
        clients, [&] { return peer.Ready() && me.peerInTree->presence() == "online"; },
        "Carol online in the tree"))
        << peer.ErrorOutput();

    CDlgChat* chat = me.OpenChatFromTree();
    ASSERT_NE(chat, nullptr);
    const auto window = chat->hwnd().value();

    // Typing is a standard chat state; the message a plain body with <active/>.
    ASSERT_TRUE(me.driver.AppendText(window, chat::control::kInput, "你好#(14)#"))
        << me.driver.LastError();
    ASSERT_TRUE(me.driver.Click(window, chat::control::kSend)) << me.driver.LastError();
    ASSERT_TRUE(PumpClientsUntil(
        clients, [&] { return !Holding(peer, kBody).empty(); }, "the message at Carol"))
        << peer.ErrorOutput();
    const auto composing = Holding(peer, std::string(kChatStates) + "composing");
    ASSERT_FALSE(composing.empty()) << [&] {
        std::string all;
        for (const auto& m : peer.Messages()) {
            all += m.from + " [" + m.body + "]";
            for (const auto& c : m.children) all += " " + c;
            all += "\n";
        }
        return all;
    }();
    EXPECT_EQ(composing[0].body, "");
    EXPECT_EQ(composing[0].from, os::GbkToUtf8Lossy(me.jid));
    const auto bodies = Holding(peer, kBody);
    ASSERT_EQ(bodies.size(), 1u);
    EXPECT_EQ(bodies[0].body, os::GbkToUtf8Lossy("你好#(14)#"));
    EXPECT_TRUE(bodies[0].Has(std::string(kChatStates) + "active"));
    EXPECT_FALSE(bodies[0].Has(kAttention));

    // A shake carries the standard attention request.
    ASSERT_TRUE(me.driver.Click(window, chat::control::kShake)) << me.driver.LastError();
    ASSERT_TRUE(PumpClientsUntil(
        clients, [&] { return !Holding(peer, kAttention).empty(); },
        "the attention request at Carol"));

    // Carol types, then writes; her message has no font header of ours.
    peer.SendComposing(os::GbkToUtf8Lossy(me.jid));
    ASSERT_TRUE(PumpClientsUntil(
        clients, [&] { return chat->StatusLine().find("正在输入") != std::string::npos; },
        "Carol's typing notice"));
    peer.SendChat(os::GbkToUtf8Lossy(me.jid), os::GbkToUtf8Lossy("没有字体的回答"));
    ASSERT_TRUE(PumpClientsUntil(
        clients, [&] { return me.ViewHolds(*chat, "没有字体的回答"); },
        "Carol's message in the chat window"));
    const auto view = me.driver.ReadRichText(window, chat::control::kView);
    ASSERT_TRUE(view.has_value());
    const qorvdesk::automation::RichRun* run = nullptr;
    for (const auto& candidate : view->runs)
        if (candidate.text.find("没有字体的回答") != std::string::npos) run = &candidate;
    ASSERT_NE(run, nullptr) << view->description;
    EXPECT_GBK_EQ(run->faceName, "宋体");
    EXPECT_EQ(run->heightTwips, 180);
    EXPECT_EQ(run->color, 0u);
    EXPECT_EQ(me.StoredHolding("没有字体的回答").size(), 1u);

    // Her attention request (a headline without a body) shakes our window as ours would.
    const std::size_t storedBefore = me.StoredHolding("#(-1)#").size();
    peer.SendAttention(os::GbkToUtf8Lossy(me.jid));
    ASSERT_TRUE(PumpClientsUntil(
        clients, [&] { return me.StoredHolding("#(-1)#").size() == storedBefore + 1; },
        "Carol's attention request in the store"));
}

}  // namespace
}  // namespace host_api_test
