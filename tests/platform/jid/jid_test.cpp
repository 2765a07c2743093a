#include "platform/jid/jid.h"

#include <gtest/gtest.h>

#include "support/case_name.h"
#include "support/gbk_print.h"

namespace {

using platform::Jid;
using platform::JidKind;
using platform::JidMatch;

// A session engine's rule for SMS addresses, as the tests need it.
int UserType(std::string_view jid) {
    return jid.find("@sms.") != std::string_view::npos ||
                   jid.find("@SMS.") != std::string_view::npos
               ? platform::kUserTypeSms
               : platform::kUserTypeOther;
}

const char* KindName(JidKind kind) {
    switch (kind) {
        case JidKind::Plain:
            return "Plain";
        case JidKind::Government:
            return "Government";
        case JidKind::Public:
            return "Public";
        case JidKind::Sms:
            return "Sms";
        case JidKind::Room:
            return "Room";
        case JidKind::Occupant:
            return "Occupant";
        case JidKind::Msn:
            return "Msn";
    }
    return "?";
}

// Every form of one address.
struct Forms {
    const char* text;
    const char* bare;
    const char* resource;
    const char* local;
    const char* domain;
    const char* userId;
    JidKind kind;
    int userType;
    const char* exactKey;
    const char* loose;     // LooseForm without a session engine
    const char* looseSms;  // LooseForm with one
    const char* storeKey;
};

class JidFormsTest : public ::testing::TestWithParam<Forms> {};

TEST_P(JidFormsTest, EveryFormAsTheRulesSay) {
    const Forms& f = GetParam();
    const Jid jid(f.text);
    SCOPED_TRACE(testing_support::DisplayGbk(f.text));
    EXPECT_GBK_EQ(jid.text(), f.text);
    EXPECT_GBK_EQ(jid.Bare(), f.bare);
    EXPECT_GBK_EQ(jid.Resource(), f.resource);
    EXPECT_GBK_EQ(jid.LocalPart(), f.local);
    EXPECT_GBK_EQ(jid.Domain(), f.domain);
    EXPECT_GBK_EQ(jid.UserId(), f.userId);
    EXPECT_STREQ(KindName(jid.Kind()), KindName(f.kind));
    EXPECT_EQ(jid.UserType(), f.userType);
    EXPECT_GBK_EQ(jid.ExactKey(), f.exactKey);
    EXPECT_GBK_EQ(jid.LooseForm(nullptr), f.loose);
    EXPECT_GBK_EQ(jid.LooseForm(UserType), f.looseSms);
    EXPECT_GBK_EQ(jid.StoreKey(), f.storeKey);
    // The keys are the forms in lower case, and a key is a fixed point of its own form.
    EXPECT_GBK_EQ(jid.LooseKey(UserType), Jid(f.looseSms).ExactKey());
    EXPECT_GBK_EQ(jid.Key(JidMatch::Loose, nullptr), Jid(f.loose).ExactKey());
    EXPECT_GBK_EQ(jid.Key(JidMatch::Exact, UserType), f.exactKey);
    EXPECT_GBK_EQ(Jid(jid.StoreKey()).StoreKey(), f.storeKey);
    EXPECT_GBK_EQ(Jid(jid.LooseKey(UserType)).LooseKey(UserType), jid.LooseKey(UserType));
}

// 丂 is 0x81 0x40 (its trail byte is '@'), 誠 is 0xD5 0x5C (its trail byte is '\'), Ａ is
// 0xA3 0xC1; "\x81\x41" is a character whose trail byte is 'A'.
INSTANTIATE_TEST_SUITE_P(
    Table, JidFormsTest,
    ::testing::Values(
        // Upper case and a resource.
        Forms{"Wang$GOV@Host/PC", "Wang$GOV@Host", "PC", "Wang$GOV", "Host", "Wang",
              JidKind::Government, 1, "wang$gov@host/pc", "Wang$gov@Host", "Wang$gov@Host",
              "wang$gov@host"},
        // The second spelling of directory users, in either case.
        Forms{"wang@gover.host", "wang@gover.host", "", "wang", "gover.host", "wang",
              JidKind::Government, 1, "wang@gover.host", "wang$gov@host", "wang$gov@host",
              "wang$gov@host"},
        Forms{"A@GOVER.H", "A@GOVER.H", "", "A", "GOVER.H", "A", JidKind::Government, 1,
              "a@gover.h", "A$gov@H", "A$gov@H", "a$gov@h"},
        Forms{" li@gover.host/PC", " li@gover.host", "PC", " li", "gover.host", " li",
              JidKind::Government, 1, " li@gover.host/pc", "li$gov@host", "li$gov@host",
              "li$gov@host"},
        Forms{"li@PUBER.host/desk", "li@PUBER.host", "desk", "li", "PUBER.host", "li",
              JidKind::Public, 2, "li@puber.host/desk", "li$pub@host", "li$pub@host",
              "li$pub@host"},
        Forms{"li$pub@host", "li$pub@host", "", "li$pub", "host", "li", JidKind::Public, 2,
              "li$pub@host", "li$pub@host", "li$pub@host", "li$pub@host"},
        // One way and back again: "$gov@gover." stays what it is.
        Forms{"a$gov@gover.h", "a$gov@gover.h", "", "a$gov", "gover.h", "a", JidKind::Government, 1,
              "a$gov@gover.h", "a$gov@gover.h", "a$gov@gover.h", "a$gov@gover.h"},
        // SMS gateway addresses: only the session engine makes the last 11 digits count.
        Forms{"8613800138000@sms.host/PC", "8613800138000@sms.host", "PC", "8613800138000",
              "sms.host", "8613800138000", JidKind::Sms, 3, "8613800138000@sms.host/pc",
              "8613800138000@sms.host", "13800138000@sms.host", "8613800138000@sms.host"},
        Forms{"13800138000@SMS.host", "13800138000@SMS.host", "", "13800138000", "SMS.host",
              "13800138000", JidKind::Sms, 3, "13800138000@sms.host", "13800138000@SMS.host",
              "13800138000@SMS.host", "13800138000@sms.host"},
        // Rooms and occupants.
        Forms{"team@conference.host", "team@conference.host", "", "team", "conference.host", "team",
              JidKind::Room, 0, "team@conference.host", "team@conference.host",
              "team@conference.host", "team@conference.host"},
        Forms{"Team@Conference.host/王伟", "Team@Conference.host", "王伟", "Team",
              "Conference.host", "Team", JidKind::Occupant, 0, "team@conference.host/王伟",
              "Team@Conference.host", "Team@Conference.host", "team@conference.host"},
        Forms{"team@conference.host/", "team@conference.host", "", "team", "conference.host",
              "team", JidKind::Room, 0, "team@conference.host/", "team@conference.host",
              "team@conference.host", "team@conference.host"},
        Forms{"zhang$gov@conference.host", "zhang$gov@conference.host", "", "zhang$gov",
              "conference.host", "zhang", JidKind::Room, 1, "zhang$gov@conference.host",
              "zhang$gov@conference.host", "zhang$gov@conference.host",
              "zhang$gov@conference.host"},
        // MSN.
        Forms{"someone%hotmail.com@MSN.host", "someone%hotmail.com@MSN.host", "",
              "someone%hotmail.com", "MSN.host", "someone%hotmail.com", JidKind::Msn, 0,
              "someone%hotmail.com@msn.host", "someone%hotmail.com@MSN.host",
              "someone%hotmail.com@MSN.host", "someone%hotmail.com@msn.host"},
        // A room or gateway marker needs a name before it.
        Forms{"@conference.host", "@conference.host", "", "", "conference.host", "", JidKind::Plain,
              0, "@conference.host", "@conference.host", "@conference.host", "@conference.host"},
        Forms{"@msn.host/pc", "@msn.host", "pc", "", "msn.host", "", JidKind::Plain, 0,
              "@msn.host/pc", "@msn.host", "@msn.host", "@msn.host"},
        // Empty, no '@', a leading '/', blanks.
        Forms{"", "", "", "", "", "", JidKind::Plain, 0, "", "", "", ""},
        Forms{"13800138000", "13800138000", "", "13800138000", "", "13800138000", JidKind::Plain, 0,
              "13800138000", "13800138000", "13800138000", "13800138000"},
        Forms{"/x@host", "/x@host", "", "/x", "host", "/x", JidKind::Plain, 0, "/x@host", "/x@host",
              "/x@host", "/x@host"},
        Forms{"  li@Host ", "  li@Host ", "", "  li", "Host ", "  li", JidKind::Plain, 0,
              "  li@host ", "li@Host ", "li@Host ", "li@host "},
        Forms{" /x", " ", "x", " ", "", " ", JidKind::Plain, 0, " /x", "", "", ""},
        // GBK local parts: trail bytes '@', '\' and 'A' stay inside their characters.
        Forms{"誠丂@gover.Host/R", "誠丂@gover.Host", "R", "誠丂", "gover.Host", "誠丂",
              JidKind::Government, 1, "誠丂@gover.host/r", "誠丂$gov@Host", "誠丂$gov@Host",
              "誠丂$gov@host"},
        Forms{"a\x81@gover.h", "a\x81@gover.h", "", "a\x81@gover.h", "", "a\x81@gover.h",
              JidKind::Plain, 0, "a\x81@gover.h", "a\x81@gover.h", "a\x81@gover.h",
              "a\x81@gover.h"},
        Forms{"\x81\x41Ａ@HOST", "\x81\x41Ａ@HOST", "", "\x81\x41Ａ", "HOST", "\x81\x41Ａ",
              JidKind::Plain, 0, "\x81\x41Ａ@host", "\x81\x41Ａ@HOST", "\x81\x41Ａ@HOST",
              "\x81\x41Ａ@host"},
        // The 11-byte cut never starts inside a double-byte character.
        Forms{"\x81\x40"
              "1234567890@sms.host",
              "\x81\x40"
              "1234567890@sms.host",
              "",
              "\x81\x40"
              "1234567890",
              "sms.host",
              "\x81\x40"
              "1234567890",
              JidKind::Sms, 3,
              "\x81\x40"
              "1234567890@sms.host",
              "\x81\x40"
              "1234567890@sms.host",
              "\x81\x40"
              "1234567890@sms.host",
              "\x81\x40"
              "1234567890@sms.host"},
        Forms{"9\x81\x40"
              "123456789@sms.host",
              "9\x81\x40"
              "123456789@sms.host",
              "",
              "9\x81\x40"
              "123456789",
              "sms.host",
              "9\x81\x40"
              "123456789",
              JidKind::Sms, 3,
              "9\x81\x40"
              "123456789@sms.host",
              "9\x81\x40"
              "123456789@sms.host",
              "\x81\x40"
              "123456789@sms.host",
              "9\x81\x40"
              "123456789@sms.host"}),
    [](const ::testing::TestParamInfo<Forms>& info) {
        return testing_support::IndexedName(info.index, info.param.text);
    });

struct Pair {
    const char* a;
    const char* b;
    bool exact;
    bool loose;  // with a session engine
    bool store;  // StoreKey, which is also the loose rule without an engine
};

class JidEqualityTest : public ::testing::TestWithParam<Pair> {};

TEST_P(JidEqualityTest, ComparesAsTheRuleSays) {
    const Pair& c = GetParam();
    SCOPED_TRACE(testing_support::DisplayGbk(c.a) + " / " + testing_support::DisplayGbk(c.b));
    EXPECT_EQ(Jid::Equal(c.a, c.b, JidMatch::Exact, UserType), c.exact);
    EXPECT_EQ(Jid::Equal(c.a, c.b, JidMatch::Loose, UserType), c.loose);
    EXPECT_EQ(Jid::Equal(c.b, c.a, JidMatch::Loose, UserType), c.loose);
    EXPECT_EQ(Jid::Equal(c.a, c.b, JidMatch::Loose, nullptr), c.store);
    // The keys agree with the comparisons.
    EXPECT_EQ(Jid(c.a).Key(JidMatch::Exact, UserType) == Jid(c.b).Key(JidMatch::Exact, UserType),
              c.exact);
    EXPECT_EQ(Jid(c.a).LooseKey(UserType) == Jid(c.b).LooseKey(UserType), c.loose);
    EXPECT_EQ(Jid(c.a).StoreKey() == Jid(c.b).StoreKey(), c.store);
    EXPECT_EQ(Jid(c.a).LooseKey(nullptr) == Jid(c.b).LooseKey(nullptr), c.store);
}

INSTANTIATE_TEST_SUITE_P(
    Table, JidEqualityTest,
    ::testing::Values(
        Pair{"wang$gov@host", "wang$gov@host", true, true, true},
        Pair{"Wang$GOV@Host", "wang$gov@host", true, true, true},
        // The two notations of directory users.
        Pair{"wang$gov@host", "wang@gover.host", false, true, true},
        Pair{"wang$pub@host", "wang@puber.host", false, true, true},
        Pair{"wang$gov@host", "wang@GOVER.host", false, true, true},
        Pair{"wang$gov@host", "wang$pub@host", false, false, false},
        // The resource goes, unless the '/' comes first.
        Pair{"wang$gov@host/PC", "wang$gov@host", false, true, true},
        Pair{"li$gov@host/PC", "li@gover.host", false, true, true},
        Pair{"/x@host", "", false, false, false},
        Pair{"a@conference.host/nick", "a@conference.host/other", false, true, true},
        // Leading blanks go, trailing ones stay.
        Pair{"  li@host", "li@host", false, true, true},
        Pair{"li@host ", "li@host", false, false, false},
        // SMS addresses compare by the last 11 digits before '@', with an engine only.
        Pair{"13800138000@sms.host/PC", "8613800138000@sms.host", false, true, false},
        Pair{"013800138000@sms.host", "13800138000@sms.host", false, true, false},
        Pair{"13800138000@sms.host", "13800138001@sms.host", false, false, false},
        Pair{"8613800138000@host", "13800138000@host", false, false, false},
        // Case folding stays out of double-byte characters: 0x81 'A' and 0x81 'a' differ.
        Pair{"\x81\x41@host", "\x81\x61@host", false, false, false},
        Pair{"张三@host", "张三@HOST", true, true, true},
        // A '@' that is a trail byte starts no spelling of a directory user.
        Pair{"a\x81@gover.h", "a\x81\x40$gov@h", false, false, false}),
    [](const ::testing::TestParamInfo<Pair>& info) {
        return testing_support::IndexedName(info.index, info.param.a);
    });

TEST(JidStoreKeyTest, MakesTheSpellingsOfOneUserEqual) {
    EXPECT_EQ(Jid("a$gov@h/PC").Bare(), "a$gov@h");
    EXPECT_EQ(Jid("a$gov@h").Bare(), "a$gov@h");
    EXPECT_EQ(Jid("/odd").Bare(), "/odd");
    const std::string key = Jid("zhang$gov@host").StoreKey();
    EXPECT_EQ(Jid("ZHANG@gover.host/PC").StoreKey(), key);
    EXPECT_EQ(Jid(" zhang$GOV@HOST").StoreKey(), key);
    EXPECT_EQ(Jid("li@puber.host").StoreKey(), Jid("li$pub@host").StoreKey());
    EXPECT_NE(Jid("zhang$pub@host").StoreKey(), key);
    // "丂" is 0x81 0x40: its trail byte is '@' and must stay part of the character, and a
    // trail byte in the letter range is not lowered.
    EXPECT_GBK_EQ(Jid("丂Ａ@host").StoreKey(), "丂Ａ@host");
}

TEST(JidBuildersTest, BuildTheFormsTheClientUses) {
    EXPECT_EQ(Jid::Government("wang", "im.example").text(), "wang$gov@im.example");
    EXPECT_EQ(Jid::Public("li", "im.example").text(), "li$pub@im.example");
    EXPECT_EQ(Jid::Sms("13800138000", "im.example").text(), "13800138000@sms.im.example");
    struct Case {
        const char* account;
        int userType;
        const char* jid;
    };
    const Case cases[] = {
        {"zhang", platform::kUserTypeGovernment, "zhang$gov@h"},
        {"zhang", platform::kUserTypePublic, "zhang$pub@h"},
        {"13800138000", platform::kUserTypeSms, "13800138000@sms.h"},
        {"zhang", platform::kUserTypeOther, "zhang@h"},
        {"zhang", 9, "zhang@h"},
        {"zhang$gov@elsewhere", platform::kUserTypePublic, "zhang$gov@elsewhere"},
        // 丂's trail byte is no '@': the name is no JID yet.
        {"丂", platform::kUserTypeGovernment, "丂$gov@h"},
    };
    for (const Case& c : cases) {
        EXPECT_GBK_EQ(Jid::ForAccount(c.account, c.userType, "h").text(), c.jid) << c.account;
    }
    // Every built form is of the kind it was built as.
    EXPECT_EQ(Jid::Government("wang", "h").Kind(), JidKind::Government);
    EXPECT_EQ(Jid::Public("wang", "h").Kind(), JidKind::Public);
    EXPECT_EQ(Jid::Sms("13800138000", "h").Kind(), JidKind::Sms);
    EXPECT_EQ(Jid::Government("wang", "h").UserId(), "wang");
}

}  // namespace
