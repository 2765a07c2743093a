// The engine's rooms as they read the wire: what the conference service's stanzas mean, and
// that hostile or malformed ones are only logged, never shown nor acted on.

#include "platform/xmpp/xmpp_rooms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "os/text/gbk_codec.h"
#include "platform/xmpp/xmpp_rooms_reader.h"
#include "support/gbk_print.h"

namespace platform::xmpp {
namespace {

constexpr char kConference[] = "conference.example.org";

class XmppRoomsTest : public ::testing::Test {
  protected:
    XmppRoomsTest() : ctx_(xmpp_ctx_new(nullptr, nullptr)) {
        RoomsWire wire;
        wire.ctx = ctx_;
        wire.send = [this](xmpp_stanza_t* stanza) {
            char* text = nullptr;
            std::size_t length = 0;
            if (xmpp_stanza_to_text(stanza, &text, &length) == XMPP_EOK) {
                sent_.emplace_back(text, length);
                xmpp_free(ctx_, text);
            }
            xmpp_stanza_release(stanza);
        };
        wire.notify = [this](NotifyRecord record) { records_.push_back(std::move(record)); };
        wire.log = [this](int, const std::string& text) { logged_.push_back(text); };
        wire.localTimeNow = [] { return std::string("2026-01-02 03:04:05"); };
        rooms_ = std::make_unique<Rooms>(std::move(wire), "alice$gov@example.org", "艾丽丝",
                                         kConference);
    }
    ~XmppRoomsTest() override {
        rooms_.reset();
        xmpp_ctx_free(ctx_);
    }

    xmpp_stanza_t* Parse(const std::string& gbkXml) {
        xmpp_stanza_t* stanza =
            xmpp_stanza_new_from_string(ctx_, os::GbkToUtf8Lossy(gbkXml).c_str());
        EXPECT_NE(stanza, nullptr) << gbkXml;
        return stanza;
    }
    RoomStanza Read(const std::string& gbkXml) {
        xmpp_stanza_t* stanza = Parse(gbkXml);
        if (stanza == nullptr) return RoomStanzaRefused{"unparsed"};
        RoomStanza read = ReadRoomStanza(stanza, kConference);
        xmpp_stanza_release(stanza);
        return read;
    }
    // Hands a stanza to the rooms; answers whether they took it.
    bool Feed(const std::string& gbkXml) {
        xmpp_stanza_t* stanza = Parse(gbkXml);
        if (stanza == nullptr) return false;
        const bool taken = rooms_->OnStanza(stanza);
        xmpp_stanza_release(stanza);
        return taken;
    }

    xmpp_ctx_t* ctx_;
    std::unique_ptr<Rooms> rooms_;
    std::vector<std::string> sent_;
    std::vector<NotifyRecord> records_;
    std::vector<std::string> logged_;
};

TEST_F(XmppRoomsTest, AnOccupantsPresenceGivesNicknameRealJidAffiliationRoleAndWhyItWent) {
    RoomStanza read = Read(
        "<presence from='proj@conference.example.org/鲍勃'><x "
        "xmlns='http://jabber.org/protocol/muc#user'><item affiliation='member' "
        "role='participant' jid='bob$gov@example.org/Qorvdesk-1'/></x></presence>");
    const auto* presence = std::get_if<RoomPresenceIn>(&read);
    ASSERT_NE(presence, nullptr);
    EXPECT_EQ(presence->room, "proj@conference.example.org");
    EXPECT_GBK_EQ(presence->nick, "鲍勃");
    EXPECT_EQ(presence->realJid, "bob$gov@example.org");
    EXPECT_EQ(presence->affiliation, "member");
    EXPECT_EQ(presence->role, "participant");
    EXPECT_TRUE(presence->available);
    EXPECT_FALSE(presence->self);

    struct Case {
        const char* what;
        const char* inside;  // the muc#user children after the item
        const char* status;
    };
    const Case cases[] = {
        {"left", "", "left"},
        {"kicked", "<status code='307'/>", "kicked"},
        {"removed from the members", "<status code='321'/>", "removed"},
        {"banned", "<status code='301'/>", "removed"},
        {"the service shut down", "<status code='332'/>", "offline"},
        {"the room destroyed", "<destroy/>", "destroyed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        read = Read(std::string("<presence type='unavailable' "
                                "from='proj@conference.example.org/bob'><x "
                                "xmlns='http://jabber.org/protocol/muc#user'><item "
                                "affiliation='none' role='none'/>") +
                    c.inside + "</x></presence>");
        presence = std::get_if<RoomPresenceIn>(&read);
        ASSERT_NE(presence, nullptr);
        EXPECT_FALSE(presence->available);
        EXPECT_EQ(presence->role, "none");
        EXPECT_EQ(presence->status, c.status);
    }
}

TEST_F(XmppRoomsTest, MalformedRoomStanzasAreRefusedWithALogLine) {
    const char* const stanzas[] = {
        // no nickname
        "<presence from='proj@conference.example.org'><x "
        "xmlns='http://jabber.org/protocol/muc#user'><item affiliation='none' "
        "role='participant'/></x></presence>",
        // no item
        "<presence from='proj@conference.example.org/bob'><x "
        "xmlns='http://jabber.org/protocol/muc#user'/></presence>",
        // a role no room gives
        "<presence from='proj@conference.example.org/bob'><x "
        "xmlns='http://jabber.org/protocol/muc#user'><item affiliation='member' "
        "role='king'/></x></presence>",
        // an affiliation missing
        "<presence from='proj@conference.example.org/bob'><x "
        "xmlns='http://jabber.org/protocol/muc#user'><item role='visitor'/></x></presence>",
        // an invitation without its inviter
        "<message from='proj@conference.example.org'><x "
        "xmlns='http://jabber.org/protocol/muc#user'><invite/></x></message>",
        // an invitation from an occupant rather than the room
        "<message from='proj@conference.example.org/bob'><x "
        "xmlns='http://jabber.org/protocol/muc#user'><invite "
        "from='bob$gov@example.org'/></x></message>",
        // a voice request without the nickname
        "<message from='proj@conference.example.org'><x xmlns='jabber:x:data' "
        "type='form'><field var='FORM_TYPE'><value>http://jabber.org/protocol/muc#request"
        "</value></field></x></message>",
        // the service itself
        "<presence from='conference.example.org'/>",
    };
    for (const char* xml : stanzas) {
        SCOPED_TRACE(xml);
        const RoomStanza read = Read(xml);
        const auto* refused = std::get_if<RoomStanzaRefused>(&read);
        ASSERT_NE(refused, nullptr);
        EXPECT_FALSE(refused->why.empty());
        EXPECT_TRUE(Feed(xml)) << "taken, so that no other reading acts on it";
    }
    EXPECT_TRUE(records_.empty());
    EXPECT_TRUE(sent_.empty());
    EXPECT_EQ(logged_.size(), std::size(stanzas));
}

TEST_F(XmppRoomsTest, StanzasOfOtherAddressesAreLeftToTheEngine) {
    for (const char* xml : {
             "<presence from='bob$gov@example.org/Qorvdesk-1'><x "
             "xmlns='http://jabber.org/protocol/muc#user'><item affiliation='owner' "
             "role='moderator'/></x></presence>",
             "<message type='chat' from='bob$gov@example.org/x'><body>hi</body></message>",
             "<iq type='result' id='roster-login' from='example.org'/>",
         }) {
        SCOPED_TRACE(xml);
        EXPECT_TRUE(std::holds_alternative<NotARoomStanza>(Read(xml)));
        EXPECT_FALSE(Feed(xml));
    }
    EXPECT_TRUE(records_.empty());
}

TEST_F(XmppRoomsTest, ARoomThisSessionIsNotInIsAStrangerWhoseStanzasAreOnlyLogged) {
    const char* const stanzas[] = {
        "<presence from='proj@conference.example.org/bob'><x "
        "xmlns='http://jabber.org/protocol/muc#user'><item affiliation='owner' "
        "role='moderator'/></x></presence>",
        "<message type='groupchat' from='proj@conference.example.org/bob'><body>hi</body>"
        "</message>",
        "<message type='groupchat' from='proj@conference.example.org'><subject>x</subject>"
        "</message>",
        // an answer with one of our ids from nobody we asked
        "<iq type='result' id='muc-1' from='proj@conference.example.org'/>",
    };
    for (const char* xml : stanzas) {
        SCOPED_TRACE(xml);
        EXPECT_TRUE(Feed(xml));
    }
    EXPECT_TRUE(records_.empty());
    EXPECT_TRUE(sent_.empty());
    EXPECT_EQ(logged_.size(), std::size(stanzas));
}

TEST_F(XmppRoomsTest, EnteringAsksWhetherTheRoomExistsAndAnAnswerFromElsewhereIsDropped) {
    rooms_->Enter("proj@conference.example.org", "", RoomEntry::Enter, {}, "EnterConferenceRoom");
    ASSERT_EQ(sent_.size(), 1u);
    EXPECT_NE(sent_[0].find("disco#info"), std::string::npos) << sent_[0];
    // The answer's id, from an address other than the room: dropped, nothing entered.
    EXPECT_TRUE(Feed("<iq type='result' id='muc-1' from='evil@example.org'/>"));
    EXPECT_EQ(sent_.size(), 1u);
    // The room's own answer: the room exists, the join goes out under the own nickname.
    EXPECT_TRUE(
        Feed("<iq type='result' id='muc-1' from='proj@conference.example.org'><query "
             "xmlns='http://jabber.org/protocol/disco#info'/></iq>"));
    ASSERT_EQ(sent_.size(), 2u);
    EXPECT_NE(sent_[1].find(os::GbkToUtf8Lossy("proj@conference.example.org/艾丽丝")),
              std::string::npos)
        << sent_[1];
    EXPECT_TRUE(records_.empty());

    // Entering a room off the conference service is refused here.
    rooms_->Enter("proj@example.org", "", RoomEntry::Enter, {}, "EnterConferenceRoom");
    ASSERT_EQ(records_.size(), 1u);
    EXPECT_EQ(records_[0].type, notify_type::kRoomError);
    EXPECT_EQ(sent_.size(), 2u);
}

}  // namespace
}  // namespace platform::xmpp
