// vCards on a real server: our own extension (signature, picture, recent contacts) is kept in
// our vCard and comes back at the next login with the rest of the card untouched; another
// user's vCard is answered as the client's person vCard record.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/xmpp/person_vcard.h"
#include "platform/xmpp/stanza_reader.h"
#include "platform/xmpp/stanza_writer.h"
#include "support/gbk_print.h"
#include "support/session_conformance/session_conformance.h"
#include "xmpp_world.h"

namespace {

using platform::NotifyRecord;
using session_conformance::Client;
namespace nt = platform::notify_type;

// ---- The stanzas

class VcardStanzaTest : public ::testing::Test {
  protected:
    VcardStanzaTest() : ctx_(xmpp_ctx_new(nullptr, nullptr)) {}
    ~VcardStanzaTest() override { xmpp_ctx_free(ctx_); }

    platform::xmpp::VcardIn ReadCard(const std::string& xml) {
        xmpp_stanza_t* stanza = xmpp_stanza_new_from_string(ctx_, xml.c_str());
        EXPECT_NE(stanza, nullptr) << xml;
        if (stanza == nullptr) return {};
        const platform::xmpp::InboundEvent event = platform::xmpp::ReadStanza(stanza, context_);
        xmpp_stanza_release(stanza);
        const auto* vcard = std::get_if<platform::xmpp::VcardIn>(&event);
        EXPECT_NE(vcard, nullptr) << xml;
        return vcard != nullptr ? *vcard : platform::xmpp::VcardIn{};
    }

    xmpp_ctx_t* ctx_;
    platform::xmpp::ReadContext context_{"alice$gov@example.org", "example.org",
                                         "2026-01-02 03:04:05"};
};

TEST_F(VcardStanzaTest, AnotherUsersCardBecomesThePersonRecordsSlots) {
    const platform::xmpp::VcardIn card = ReadCard(
        "<iq type='result' id='vcard-person' from='bob$gov@example.org'>"
        "<vCard xmlns='vcard-temp'><FN>Robert</FN><NICKNAME>Bob</NICKNAME>"
        "<TEL><HOME/><NUMBER>111</NUMBER></TEL><TEL><CELL/><NUMBER>139</NUMBER></TEL>"
        "<TEL><WORK/><VOICE/><NUMBER>010-1</NUMBER></TEL><EMAIL><USERID>b@x.cn</USERID></EMAIL>"
        "<ORG><ORGNAME>Unit</ORGNAME></ORG><TITLE>Eng</TITLE><ROLE>Lead</ROLE>"
        "<EXTENSION xmlns='urn:qorvdesk:extension'>&lt;SIGNATURE&gt;s&lt;/SIGNATURE&gt;"
        "</EXTENSION></vCard></iq>");
    ASSERT_TRUE(card.found);
    EXPECT_EQ(card.from, "bob$gov@example.org");
    const platform::SlotData data = platform::xmpp::PersonVcardSlots(card, card.from, "both");
    ASSERT_EQ(data.slots.size(), platform::xmpp::kPersonVcardSlots);
    struct Slot {
        int number;
        const char* value;
    };
    for (const Slot& slot :
         {Slot{0, "bob$gov@example.org"}, Slot{1, "Bob"}, Slot{2, "139"}, Slot{3, "010-1"},
          Slot{4, "b@x.cn"}, Slot{5, "Unit"}, Slot{8, "Eng"}, Slot{10, "Lead"},
          Slot{31, "<SIGNATURE>s</SIGNATURE>"}, Slot{33, "both"}}) {
        EXPECT_EQ(data.slots[slot.number], slot.value) << "slot " << slot.number;
    }

    // Without a nickname the full name names the user; an error is no card.
    EXPECT_EQ(platform::xmpp::PersonVcardSlots(
                  ReadCard("<iq type='result' id='vcard-person' from='c@example.org'>"
                           "<vCard xmlns='vcard-temp'><FN>Carol</FN></vCard></iq>"),
                  "c@example.org", "")
                  .slots[1],
              "Carol");
    EXPECT_FALSE(ReadCard("<iq type='error' id='vcard-person' from='nobody@example.org'>"
                          "<vCard xmlns='vcard-temp'/><error type='cancel'/></iq>")
                     .found);
}

TEST_F(VcardStanzaTest, OurCardIsSentWithEveryOtherPartKeptAndTheNewExtension) {
    const std::string old =
        "<vCard xmlns=\"vcard-temp\"><NICKNAME>Alice</NICKNAME><TEL><CELL/><NUMBER>138</NUMBER>"
        "</TEL><EXTENSION xmlns=\"urn:qorvdesk:extension\">old</EXTENSION></vCard>";
    xmpp_stanza_t* iq =
        platform::xmpp::OwnVcardSet(ctx_, "vcard-set", old, "<RECENTIM>a</RECENTIM>");
    char* text = nullptr;
    std::size_t size = 0;
    ASSERT_EQ(xmpp_stanza_to_text(iq, &text, &size), XMPP_EOK);
    const std::string sent(text, size);
    xmpp_free(ctx_, text);
    xmpp_stanza_release(iq);
    EXPECT_NE(sent.find("<NICKNAME>Alice</NICKNAME>"), std::string::npos) << sent;
    EXPECT_NE(sent.find("<NUMBER>138</NUMBER>"), std::string::npos) << sent;
    EXPECT_EQ(sent.find(">old<"), std::string::npos) << sent;
    EXPECT_NE(sent.find("&lt;RECENTIM&gt;a&lt;/RECENTIM&gt;"), std::string::npos) << sent;

    // Read back as the server would hand it over.
    const platform::xmpp::VcardIn card =
        ReadCard("<iq type='result' id='vcard-own'>" + sent.substr(sent.find("<vCard")));
    EXPECT_EQ(card.extension, "<RECENTIM>a</RECENTIM>");
    EXPECT_EQ(card.nickname, "Alice");
}

// ---- On Prosody

class XmppVcardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testing_support::ProsodyServer::Installed())
            GTEST_SKIP() << "prosody is not installed";
        world_ = std::make_unique<xmpp_testing::XmppWorld>();
        if (!world_->ok()) GTEST_SKIP() << "prosody could not start: " << world_->error();
        aliceJid_ = world_->AddAccount({"alice", "pw-a", "艾丽丝"});
        bobJid_ = world_->AddAccount({"bob", "pw-b", "鲍勃"});
        world_->SetRoster(aliceJid_, {{bobJid_, "鲍勃", "同事", "both"}});
    }

    std::unique_ptr<Client> LoggedIn(const char* login, const char* password,
                                     std::vector<NotifyRecord>* records = nullptr) {
        auto client = std::make_unique<Client>(*world_);
        EXPECT_EQ(client->core->Login(login, password, 1, "", 0), platform::kLoginAccepted);
        world_->Settle();
        std::vector<NotifyRecord> got = client->Drain();
        EXPECT_FALSE(got.empty());
        if (!got.empty()) {
            const auto* result = got[0].As<platform::LoginResultData>();
            EXPECT_TRUE(result != nullptr && result->result == 1) << "login of " << login;
        }
        if (records != nullptr) *records = std::move(got);
        return client;
    }

    static std::vector<platform::SlotData> Vcards(const std::vector<NotifyRecord>& records) {
        std::vector<platform::SlotData> cards;
        for (const NotifyRecord& record : records)
            if (record.type == nt::kVcard && record.As<platform::SlotData>() != nullptr)
                cards.push_back(*record.As<platform::SlotData>());
        return cards;
    }

    std::unique_ptr<xmpp_testing::XmppWorld> world_;
    std::string aliceJid_, bobJid_;
};

TEST_F(XmppVcardTest, OurExtensionComesBackAtTheNextLoginWithTheRestOfTheCard) {
    const std::string extension =
        "<SIGNATURE>今天开会</SIGNATURE><PHOTO><TYPE></TYPE><BINVAL></BINVAL></PHOTO>"
        "<RECENTIM>" +
        bobJid_ + "||鲍勃</RECENTIM><RECENTSMS></RECENTSMS>";
    {
        std::vector<NotifyRecord> first;
        auto alice = LoggedIn("alice", "pw-a", &first);
        EXPECT_TRUE(Vcards(first).empty());  // nothing of ours kept yet
        ASSERT_EQ(alice->core->UpdateMyExtendInfo(extension), 1);
        world_->Settle();
        ASSERT_EQ(alice->core->Logout(), 1);
        world_->Settle();
    }
    std::vector<NotifyRecord> again;
    auto alice = LoggedIn("alice", "pw-a", &again);
    const std::vector<platform::SlotData> cards = Vcards(again);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].slots[0], aliceJid_);
    EXPECT_GBK_EQ(cards[0].slots[31], extension);
    // The nickname the card held before is still there.
    EXPECT_GBK_EQ(alice->core->GetCurrentUserNickName(), "艾丽丝");
    // Not while logged out.
    EXPECT_EQ(Client(*world_).core->UpdateMyExtendInfo(extension), 0);
}

TEST_F(XmppVcardTest, AnotherUsersCardIsAnsweredAsAPersonRecord) {
    auto alice = LoggedIn("alice", "pw-a");
    ASSERT_EQ(alice->core->QueryPersonInfo(bobJid_, 0, 0), 1);
    // A user the server does not know answers nothing.
    ASSERT_EQ(alice->core->QueryPersonInfo("nobody$gov@" + world_->server().domain(), 0, 0), 1);
    world_->Settle();
    const std::vector<platform::SlotData> cards = Vcards(alice->Drain());
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].slots[0], bobJid_);
    EXPECT_GBK_EQ(cards[0].slots[1], "鲍勃");
    EXPECT_EQ(cards[0].slots[33], "both");
    EXPECT_EQ(Client(*world_).core->QueryPersonInfo(bobJid_, 0, 0), 0);
}

}  // namespace
