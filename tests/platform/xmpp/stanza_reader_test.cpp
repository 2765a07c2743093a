// What incoming stanzas mean to the client, read as the engine reads them.

#include "platform/xmpp/stanza_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "os/text/gbk_codec.h"
#include "support/gbk_print.h"

namespace platform::xmpp {
namespace {

class StanzaReaderTest : public ::testing::Test {
  protected:
    StanzaReaderTest() : ctx_(xmpp_ctx_new(nullptr, nullptr)) {}
    ~StanzaReaderTest() override { xmpp_ctx_free(ctx_); }

    // The event of a stanza (written here in GBK, sent as the wire's UTF-8); it must parse.
    InboundEvent Read(const std::string& gbkXml) {
        const std::string xml = os::GbkToUtf8Lossy(gbkXml);
        xmpp_stanza_t* stanza = xmpp_stanza_new_from_string(ctx_, xml.c_str());
        EXPECT_NE(stanza, nullptr) << xml;
        if (stanza == nullptr) return Ignored{"unparsed"};
        InboundEvent event = ReadStanza(stanza, context_);
        xmpp_stanza_release(stanza);
        return event;
    }

    xmpp_ctx_t* ctx_;
    ReadContext context_{"alice$gov@example.org", "example.org", "2026-01-02 03:04:05"};
};

TEST_F(StanzaReaderTest, ChatMessageTakesBodyFontNickAndDelayStamp) {
    InboundEvent event = Read(
        "<message type='chat' from='bob$gov@example.org/Qorvdesk-1' "
        "to='alice$gov@example.org/Qorvdesk-2'><body>你好 #(-1)#</body>"
        "<font xmlns='urn:qorvdesk:font'>FONT(宋体,10,0,0,0,0,0)</font>"
        "<nick xmlns='http://jabber.org/protocol/nick'>鲍勃</nick>"
        "<active xmlns='http://jabber.org/protocol/chatstates'/></message>");
    const auto* chat = std::get_if<ChatIn>(&event);
    ASSERT_NE(chat, nullptr);
    EXPECT_EQ(chat->message.from, "bob$gov@example.org/Qorvdesk-1");
    EXPECT_EQ(chat->message.to, "alice$gov@example.org");
    EXPECT_GBK_EQ(chat->message.content, "你好 #(-1)#");
    EXPECT_GBK_EQ(chat->message.font, "FONT(宋体,10,0,0,0,0,0)");
    EXPECT_GBK_EQ(chat->nick, "鲍勃");
    EXPECT_EQ(chat->message.time, "2026-01-02 03:04:05");

    // Another client's message: no font header, so the client shows its default one.
    event = Read(
        "<message type='chat' from='peer@example.org/phone'><body>hi</body>"
        "<delay xmlns='urn:xmpp:delay' stamp='2026-03-04T05:06:07Z'/></message>");
    chat = std::get_if<ChatIn>(&event);
    ASSERT_NE(chat, nullptr);
    EXPECT_EQ(chat->message.font, "");
    EXPECT_EQ(chat->message.content, "hi");
    EXPECT_EQ(chat->message.time, LocalTimeOfStamp("2026-03-04T05:06:07Z"));
    EXPECT_EQ(chat->message.time.size(), 19u);
}

TEST_F(StanzaReaderTest, AttentionWithoutBodyIsAShake) {
    struct Case {
        const char* what;
        std::string xml;
    };
    const Case cases[] = {
        {"normal message",
         "<message from='peer@example.org/x'>"
         "<attention xmlns='urn:xmpp:attention:0'/></message>"},
        // The type the attention protocol asks for, which other clients send.
        {"headline",
         "<message type='headline' from='peer@example.org/x'>"
         "<attention xmlns='urn:xmpp:attention:0'/></message>"},
        {"headline with an empty body",
         "<message type='headline' from='peer@example.org/x'>"
         "<body/><attention xmlns='urn:xmpp:attention:0'/></message>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InboundEvent event = Read(c.xml);
        const auto* chat = std::get_if<ChatIn>(&event);
        ASSERT_NE(chat, nullptr);
        EXPECT_EQ(chat->message.content, kShakeBody);
        EXPECT_EQ(chat->message.from, "peer@example.org/x");
    }
    // A headline without attention is a notice from a service, not a chat message.
    InboundEvent event =
        Read("<message type='headline' from='news.example.org'><body>news</body></message>");
    EXPECT_NE(std::get_if<Ignored>(&event), nullptr);
}

TEST_F(StanzaReaderTest, ChatStatesAreTypingNotices) {
    struct Case {
        const char* element;
        const char* state;
    };
    const Case cases[] = {{"composing", "composing"},
                          {"active", "active"},
                          {"paused", "active"},
                          {"inactive", "active"},
                          {"gone", "active"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        InboundEvent event =
            Read(std::string("<message type='chat' from='bob@example.org/r'><") + c.element +
                 " xmlns='http://jabber.org/protocol/chatstates'/></message>");
        const auto* typing = std::get_if<TypingIn>(&event);
        ASSERT_NE(typing, nullptr);
        EXPECT_EQ(typing->typing.state, c.state);
    }
}

TEST_F(StanzaReaderTest, PresenceWordsFromShowAndOurOwnWord) {
    struct Case {
        const char* children;
        const char* type;
        const char* word;
    };
    const Case cases[] = {
        {"", "", "online"},
        {"<show>chat</show>", "", "chat"},
        {"<show>away</show>", "", "away"},
        {"<show>xa</show>", "", "xa"},
        {"<show>dnd</show>", "", "dnd"},
        {"<show>dnd</show><word xmlns='urn:qorvdesk:presence'>busy</word>", "", "busy"},
        {"<show>nonsense</show>", "", "online"},
        {"<word xmlns='urn:qorvdesk:presence'>bogus</word>", "", "online"},
        {"", " type='unavailable'", "offline"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.children);
        InboundEvent event = Read(std::string("<presence from='Bob@Example.org/r1'") + c.type +
                                  ">" + c.children + "</presence>");
        const auto* presence = std::get_if<PresenceIn>(&event);
        ASSERT_NE(presence, nullptr);
        EXPECT_EQ(presence->word, c.word);
        EXPECT_EQ(presence->resource, "r1");
    }
    InboundEvent event = Read("<presence type='subscribe' from='carol@example.org'/>");
    const auto* subscription = std::get_if<SubscriptionIn>(&event);
    ASSERT_NE(subscription, nullptr);
    EXPECT_EQ(subscription->jid, "carol@example.org");
}

TEST_F(StanzaReaderTest, RosterResultAndPushFromOurOwnAccount) {
    InboundEvent event = Read(
        "<iq type='result' id='roster-login'><query xmlns='jabber:iq:roster' ver='v7'>"
        "<item jid='bob$gov@example.org' name='鲍勃' subscription='both'><group>同事</group></item>"
        "<item jid='carol@example.org' ask='subscribe'/></query></iq>");
    const auto* roster = std::get_if<RosterIn>(&event);
    ASSERT_NE(roster, nullptr);
    EXPECT_FALSE(roster->push);
    EXPECT_EQ(roster->version, "v7");
    ASSERT_EQ(roster->items.size(), 2u);
    EXPECT_GBK_EQ(roster->items[0].group, "同事");
    EXPECT_EQ(roster->items[1].subscription, "none");
    EXPECT_TRUE(roster->items[1].askSubscribe);

    // An unchanged roster (we hold its version) comes back without a query.
    event = Read("<iq type='result' id='roster-refresh'/>");
    ASSERT_NE(std::get_if<RosterIn>(&event), nullptr);
    EXPECT_TRUE(std::get_if<RosterIn>(&event)->unchanged);

    for (const char* from :
         {"", " from='alice$gov@example.org'", " from='ALICE$gov@example.org/x'"}) {
        SCOPED_TRACE(from);
        event = Read(std::string("<iq type='set' id='p1'") + from +
                     "><query xmlns='jabber:iq:roster'><item jid='d@example.org' "
                     "subscription='remove'/></query></iq>");
        ASSERT_NE(std::get_if<RosterIn>(&event), nullptr);
        EXPECT_TRUE(std::get_if<RosterIn>(&event)->push);
    }
}

// Bad input from the wire: refused or ignored with a reason for the log, never a notification.
TEST_F(StanzaReaderTest, BadInputIsRefusedWithAReason) {
    struct Case {
        const char* what;
        std::string xml;
        bool refusedIq;  // answered with an error, else only logged
    };
    const Case cases[] = {
        {"roster push from a stranger",
         "<iq type='set' id='x' from='mallory@example.org/m'><query xmlns='jabber:iq:roster'>"
         "<item jid='mallory@example.org' name='me' subscription='both'/></query></iq>",
         true},
        {"request of an unknown namespace",
         "<iq type='get' id='y' from='bob@example.org/r'><query xmlns='urn:example:unknown'/></iq>",
         true},
        {"roster push of two items",
         "<iq type='set' id='z'><query xmlns='jabber:iq:roster'><item jid='a@example.org'/>"
         "<item jid='b@example.org'/></query></iq>",
         false},
        {"message with only an unknown payload",
         "<message from='bob@example.org/r'><x xmlns='urn:example:unknown'>?</x></message>", false},
        {"message error", "<message type='error' from='bob@example.org/r'/>", false},
        {"message without a sender", "<message><body>hi</body></message>", false},
        {"presence without a sender", "<presence/>", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InboundEvent event = Read(c.xml);
        if (c.refusedIq) {
            const auto* refused = std::get_if<RefusedIq>(&event);
            ASSERT_NE(refused, nullptr);
            EXPECT_FALSE(refused->why.empty());
        } else {
            const auto* ignored = std::get_if<Ignored>(&event);
            ASSERT_NE(ignored, nullptr);
            EXPECT_FALSE(ignored->why.empty());
        }
    }
    // Malformed XML never becomes a stanza at all.
    EXPECT_EQ(xmpp_stanza_new_from_string(ctx_, "<message><body>unclosed</message>"), nullptr);
}

TEST_F(StanzaReaderTest, OversizedStanzasAreOverTheirKindsLimit) {
    const std::string big(kMaxSmallStanzaBytes + 1, 'x');
    struct Case {
        std::string xml;
        bool within;
    };
    const Case cases[] = {
        {"<message from='a@b/c'><body>" + big + "</body></message>", false},
        {"<presence from='a@b/c'><status>" + big + "</status></presence>", false},
        {"<message from='a@b/c' id='" + big + "'/>", false},
        {"<message from='a@b/c'><body>" + std::string(1000, 'x') + "</body></message>", true},
        // A roster result may be large.
        {"<iq type='result' id='roster-login'><query xmlns='jabber:iq:roster'><item jid='a@b' "
         "name='" +
             big + "'/></query></iq>",
         true},
    };
    for (const Case& c : cases) {
        xmpp_stanza_t* stanza = xmpp_stanza_new_from_string(ctx_, c.xml.c_str());
        ASSERT_NE(stanza, nullptr);
        EXPECT_EQ(WithinSizeLimit(stanza), c.within) << c.xml.substr(0, 60);
        xmpp_stanza_release(stanza);
    }
}

TEST(LocalTimeOfStamp, RefusesWhatIsNoStamp) {
    for (const char* stamp : {"", "yesterday", "2026-13-01T00:00:00Z", "2026-01-01T25:00:00Z"}) {
        EXPECT_EQ(LocalTimeOfStamp(stamp), "") << stamp;
    }
    // An offset names the same moment as its UTC form.
    EXPECT_EQ(LocalTimeOfStamp("2026-01-01T08:00:00+08:00"),
              LocalTimeOfStamp("2026-01-01T00:00:00Z"));
    EXPECT_EQ(LocalTimeOfStamp("2026-01-01T00:00:00.123Z"),
              LocalTimeOfStamp("2026-01-01T00:00:00Z"));
}

}  // namespace
}  // namespace platform::xmpp
