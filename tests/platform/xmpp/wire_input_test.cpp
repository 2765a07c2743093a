// What another program on the network sends the engine through the server: a plain message
// shows with the default header; requests we do not serve, a roster push from a stranger,
// a message with nothing for us and an oversized one leave a log line and nothing else.

#include <gtest/gtest.h>

#include <algorithm>

#include "os/sys/event.h"
#include "platform/session/notify_record.h"
#include "raw_peer.h"
#include "xmpp_world.h"

namespace xmpp_testing {
namespace {

namespace nt = platform::notify_type;

// One client's engine with the events its pump would own.
struct WireClient {
    explicit WireClient(XmppWorld& world)
        : lost(world.clock(), os::EventReset::Auto),
          notify(world.clock(), os::EventReset::Auto),
          core(world.NewSession()) {
        core->Init(&lost, &notify, std::this_thread::get_id());
    }
    ~WireClient() { core->Free(); }

    std::vector<platform::NotifyRecord> Drain(std::uint32_t onlyType = ~0u) {
        std::vector<platform::NotifyRecord> records;
        while (platform::NotifyRecord* record = core->GetNotify()) {
            if (onlyType == ~0u || record->type == onlyType) records.push_back(*record);
            core->FreeNotify(record);
        }
        return records;
    }

    os::Event lost;
    os::Event notify;
    std::unique_ptr<platform::SessionCore> core;
};

bool Logged(os::Log& log, std::string_view part) {
    for (const std::string& text : log.CapturedTexts()) {
        if (text.find(part) != std::string::npos) return true;
    }
    return false;
}

TEST(XmppWireInput, AnotherProgramsStanzasAreShownOrRefusedWithALogLine) {
    if (!testing_support::ProsodyServer::Installed()) GTEST_SKIP() << "prosody is not installed";
    XmppWorld world;
    ASSERT_TRUE(world.ok()) << world.error();
    const std::string alice = world.AddAccount({"alice", "pw-a", "艾丽丝"});
    const std::string mallory = world.AddAccount({"mallory", "pw-m", "M"});
    // Mallory sees Alice, so it learns her full address from her presence.
    world.SetRoster(alice, {{mallory, "M", "", "from"}});
    world.SetRoster(mallory, {{alice, "A", "", "to"}});

    WireClient client(world);
    ASSERT_EQ(client.core->Login("alice", "pw-a", 1, "", 0), platform::kLoginAccepted);
    world.Settle();
    std::vector<platform::NotifyRecord> login = client.Drain();
    ASSERT_FALSE(login.empty());
    ASSERT_EQ(login[0].As<platform::LoginResultData>()->result, 1);

    RawPeer peer(Utf8(mallory) + "/raw", "pw-m", world.server().caFile(), world.server().port());
    ASSERT_TRUE(peer.WaitConnected());
    ASSERT_TRUE(peer.connected());
    const std::string aliceBare = Utf8(alice);
    ASSERT_TRUE(peer.RunUntil([&] { return peer.Received("from=\"" + aliceBare + "/"); },
                              "Alice's presence"));
    std::string aliceFull;
    for (const std::string& text : peer.received()) {
        const std::size_t at = text.find("from=\"" + aliceBare + "/");
        if (at != std::string::npos) {
            const std::size_t start = at + 6;
            aliceFull = text.substr(start, text.find('"', start) - start);
        }
    }
    ASSERT_FALSE(aliceFull.empty());

    const std::string to = " to='" + aliceFull + "'";
    peer.Send("<iq type='set' id='push-1'" + to +
              "><query xmlns='jabber:iq:roster'><item jid='mallory$gov@localhost' "
              "name='trusted' subscription='both'/></query></iq>");
    peer.Send("<iq type='get' id='odd-1'" + to + "><query xmlns='urn:example:odd'/></iq>");
    peer.Send("<message type='chat'" + to + "><x xmlns='urn:example:odd'>?</x></message>");
    peer.Send("<message type='chat'" + to + "><body>" + std::string(100 * 1024, 'x') +
              "</body></message>");
    // A plain message of a client without our font header.
    peer.Send("<message type='chat'" + to + "><body>hello from elsewhere</body></message>");
    ASSERT_TRUE(peer.Echo());
    world.Settle();
    ASSERT_TRUE(peer.RunUntil([&] { return peer.Received("odd-1"); }, "the refusal"));

    std::vector<platform::NotifyRecord> records = client.Drain();
    ASSERT_EQ(records.size(), 1u) << "only the plain message";
    ASSERT_EQ(records[0].type, nt::kChatMessage);
    const auto* message = records[0].As<platform::MessageData>();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->content, "hello from elsewhere");
    EXPECT_EQ(message->font, "") << "the window shows its default header";
    EXPECT_EQ(message->fromName, "M") << "the roster's name for a sender without a nickname";

    for (const char* line : {"roster push from a stranger refused",
                             "request of an unknown namespace refused: urn:example:odd",
                             "message with nothing for the client", "oversized stanza"}) {
        EXPECT_TRUE(Logged(world.log(), line)) << line;
    }
    for (const char* id : {"push-1", "odd-1"}) {
        EXPECT_TRUE(std::any_of(peer.received().begin(), peer.received().end(),
                                [&](const std::string& text) {
                                    return text.find(id) != std::string::npos &&
                                           text.find("type=\"error\"") != std::string::npos;
                                }))
            << id << " is answered with an error";
    }
    // The stranger's push changed nothing: the list the client asks for is the server's.
    EXPECT_NE(client.core->RefreshRoster(0), 0);
    world.Settle();
    std::vector<platform::NotifyRecord> list = client.Drain(nt::kContactListLoading);
    ASSERT_EQ(list.size(), 1u);
    const auto* roster = list[0].As<platform::ContactListData>();
    ASSERT_NE(roster, nullptr);
    ASSERT_EQ(roster->users.size(), 1u);
    EXPECT_EQ(roster->users[0].name, "M");
}

}  // namespace
}  // namespace xmpp_testing
