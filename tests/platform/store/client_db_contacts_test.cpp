#include <gtest/gtest.h>

#include "platform/store/client_db.h"
#include "store_test_support.h"

namespace store_test {
namespace {

class ContactsTest : public StoreTest {
  protected:
    // A card with every slot set to a distinct value.
    static CContactPersonInfo FullCard(const std::string& jid) {
        CContactPersonInfo card;
        for (int slot = 0; slot < CContactPersonInfo::kSlotCount; ++slot) {
            if (std::string* text = card.TextSlot(slot)) *text = "值" + std::to_string(slot);
        }
        card.jid = jid;
        card.videoCapable = 1;
        card.flags = -7;
        return card;
    }
};

TEST_F(ContactsTest, SlotsMapOneToOneOntoTheFields) {
    CContactPersonInfo card;
    int texts = 0;
    for (int slot = 0; slot < CContactPersonInfo::kSlotCount; ++slot) {
        bool isText = card.TextSlot(slot) != nullptr;
        bool isInt = card.IntSlot(slot) != nullptr;
        EXPECT_NE(isText, isInt) << "slot " << slot;
        texts += isText;
    }
    EXPECT_EQ(texts, 37);
    EXPECT_EQ(card.TextSlot(2), &card.mobile);
    EXPECT_EQ(card.TextSlot(17), &card.vcardTexts[0]);
    EXPECT_EQ(card.TextSlot(29), &card.vcardTexts[12]);
    EXPECT_EQ(card.TextSlot(33), &card.subscription);
    EXPECT_EQ(card.TextSlot(35), &card.phone2);
    EXPECT_EQ(card.IntSlot(16), &card.videoCapable);
    EXPECT_EQ(card.TextSlot(39), nullptr);
    EXPECT_EQ(card.TextSlot(-1), nullptr);
}

TEST_F(ContactsTest, ContactVcardRoundTripsEverySlot) {
    CClientDB db("alice", Folder().c_str());
    CContactPersonInfo card = FullCard("bob$gov@h");
    ASSERT_TRUE(db.SetContactVcard("bob$gov@h", card)) << db.GetErrorInfo();
    CContactPersonInfo read;
    ASSERT_TRUE(db.GetContactVcard("BOB$gov@h", read)) << db.GetErrorInfo();
    EXPECT_EQ(read, card);
}

TEST_F(ContactsTest, SetReplacesTheCardAndMissingCardIsReported) {
    CClientDB db("alice", Folder().c_str());
    CContactPersonInfo card = FullCard("bob@h");
    ASSERT_TRUE(db.SetContactVcard("bob@h", card));
    card.name = "新名字";
    ASSERT_TRUE(db.SetContactVcard("bob@h", card));
    CContactPersonInfo read;
    ASSERT_TRUE(db.GetContactVcard("bob@h", read));
    EXPECT_EQ(read.name, "新名字");

    CContactPersonInfo untouched = FullCard("x");
    EXPECT_FALSE(db.GetContactVcard("carol@h", untouched));
    EXPECT_NE(db.GetErrorInfo().find("carol@h"), std::string::npos) << db.GetErrorInfo();
    EXPECT_EQ(untouched, FullCard("x")) << "a failed read leaves the record alone";
}

TEST_F(ContactsTest, OwnVcardIsKeptApartFromTheContactCache) {
    CClientDB db("alice", Folder().c_str());
    CContactPersonInfo mine = FullCard("alice@h");
    mine.name = "我";
    CContactPersonInfo cached = FullCard("alice@h");
    cached.name = "缓存";
    ASSERT_TRUE(db.SetVcard("alice@h", mine));
    ASSERT_TRUE(db.SetContactVcard("alice@h", cached));
    CContactPersonInfo read;
    ASSERT_TRUE(db.GetVcard("alice@h", read));
    EXPECT_EQ(read.name, "我");
    ASSERT_TRUE(db.GetContactVcard("alice@h", read));
    EXPECT_EQ(read.name, "缓存");
}

TEST_F(ContactsTest, CardWithoutAnyJidOrWithBadGbkIsRefused) {
    CClientDB db("alice", Folder().c_str());
    CContactPersonInfo card;
    EXPECT_FALSE(db.SetContactVcard("", card));
    EXPECT_FALSE(db.GetErrorInfo().empty());
    card.jid = "bob@h";
    EXPECT_TRUE(db.SetContactVcard(nullptr, card)) << "the record's own JID is the key";
    card.duty = "\x81";
    EXPECT_FALSE(db.SetContactVcard("bob@h", card));
    EXPECT_NE(db.GetErrorInfo().find("GBK"), std::string::npos);
    CContactPersonInfo read;
    ASSERT_TRUE(db.GetContactVcard("bob@h", read));
    EXPECT_EQ(read.duty, "") << "the refused card did not replace the stored one";
}

CContactMobilePersonInfo MobileCard(const std::string& group, const std::string& name) {
    CContactMobilePersonInfo card;
    card.jid = "13800000000@sms.h";
    card.group = group;
    card.name = name;
    card.email = "a@b";
    card.telephone = "1";
    card.profession = "2";
    card.company = "公司";
    card.title = "3";
    card.position = "4";
    card.mobile = "13800000000";
    card.mobile2 = "5";
    card.telephone2 = "6";
    card.officeFax = "7";
    card.address = "地址";
    card.homePhone = "8";
    card.memo = "备注";
    return card;
}

TEST_F(ContactsTest, MobileCardsPerGroupAndPresence) {
    CClientDB db("alice", Folder().c_str());
    const char* jid = "13800000000@sms.h";
    ASSERT_TRUE(db.SetContactMobileVcard(jid, MobileCard("同事", "甲"))) << db.GetErrorInfo();
    ASSERT_TRUE(db.SetContactMobileVcard(jid, MobileCard("未分组", "乙")));

    CContactMobilePersonInfo read;
    read.group = "同事";
    ASSERT_TRUE(db.GetContactMobileVcard(jid, read)) << db.GetErrorInfo();
    EXPECT_EQ(read, MobileCard("同事", "甲"));
    CContactMobilePersonInfo latest;
    ASSERT_TRUE(db.GetContactMobileVcard(jid, latest));
    EXPECT_EQ(latest.name, "乙") << "without a group, the card stored last";

    struct Case {
        const char* group;
        bool expected;
    };
    const Case before[] = {
        {"同事", true}, {"未分组", true}, {"朋友", false}, {"", true}, {nullptr, true}};
    for (const Case& c : before) {
        EXPECT_EQ(db.IsContactInDB(jid, c.group), c.expected) << (c.group ? c.group : "null");
    }
    EXPECT_FALSE(db.IsContactInDB("other@sms.h", nullptr));

    ASSERT_TRUE(db.DeleteSingleContact(jid, "同事")) << db.GetErrorInfo();
    EXPECT_FALSE(db.IsContactInDB(jid, "同事"));
    EXPECT_TRUE(db.IsContactInDB(jid, "未分组"));
    ASSERT_TRUE(db.DeleteSingleContact(jid, nullptr));
    EXPECT_FALSE(db.IsContactInDB(jid, nullptr));
    CContactMobilePersonInfo gone;
    EXPECT_FALSE(db.GetContactMobileVcard(jid, gone));
}

TEST_F(ContactsTest, SettingTheSameGroupAgainReplacesTheCard) {
    CClientDB db("alice", Folder().c_str());
    const char* jid = "13800000000@sms.h";
    ASSERT_TRUE(db.SetContactMobileVcard(jid, MobileCard("同事", "旧")));
    ASSERT_TRUE(db.SetContactMobileVcard(jid, MobileCard("同事", "新")));
    CContactMobilePersonInfo read;
    read.group = "同事";
    ASSERT_TRUE(db.GetContactMobileVcard(jid, read));
    EXPECT_EQ(read.name, "新");
    ASSERT_TRUE(db.DeleteSingleContact(jid, "同事"));
    EXPECT_FALSE(db.IsContactInDB(jid, nullptr)) << "only one card was kept for the group";
}

}  // namespace
}  // namespace store_test
