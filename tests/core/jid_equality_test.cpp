#include "core/jid_equality.h"

#include <gtest/gtest.h>

#include "support/case_name.h"
#include "support/gbk_print.h"

namespace {

using core::JidMatch;

// The session engine's rule for SMS addresses, as the tests need it.
int UserType(std::string_view jid) { return jid.find("@sms.") != std::string_view::npos ? 3 : 0; }

struct Case {
    const char* a;
    const char* b;
    bool exact;
    bool loose;
};

class JidEqualityTest : public ::testing::TestWithParam<Case> {};

TEST_P(JidEqualityTest, ComparesAsTheRuleSays) {
    const Case& c = GetParam();
    EXPECT_EQ(core::JidsEqual(c.a, c.b, JidMatch::Exact, UserType), c.exact);
    EXPECT_EQ(core::JidsEqual(c.a, c.b, JidMatch::Loose, UserType), c.loose);
    // Symmetric, and the keys agree with the comparison.
    EXPECT_EQ(core::JidsEqual(c.b, c.a, JidMatch::Loose, UserType), c.loose);
    EXPECT_EQ(core::JidKey(c.a, JidMatch::Loose, UserType) ==
                  core::JidKey(c.b, JidMatch::Loose, UserType),
              c.loose);
    EXPECT_EQ(core::JidKey(c.a, JidMatch::Exact, UserType) ==
                  core::JidKey(c.b, JidMatch::Exact, UserType),
              c.exact);
}

INSTANTIATE_TEST_SUITE_P(
    Table, JidEqualityTest,
    ::testing::Values(
        Case{"wang$gov@host", "wang$gov@host", true, true},
        Case{"Wang$GOV@Host", "wang$gov@host", true, true},
        // The two notations of directory users.
        Case{"wang$gov@host", "wang@gover.host", false, true},
        Case{"wang$pub@host", "wang@puber.host", false, true},
        Case{"wang$gov@host", "wang$pub@host", false, false},
        // The resource goes, unless the '/' comes first.
        Case{"wang$gov@host/PC", "wang$gov@host", false, true}, Case{"/x@host", "", false, false},
        Case{"a@conference.host/nick", "a@conference.host/other", false, true},
        // Leading blanks go, trailing ones stay.
        Case{"  li@host", "li@host", false, true}, Case{"li@host ", "li@host", false, false},
        // SMS addresses compare by the last 11 digits before '@'.
        Case{"13800138000@sms.host/PC", "8613800138000@sms.host", false, true},
        Case{"013800138000@sms.host", "13800138000@sms.host", false, true},
        Case{"13800138000@sms.host", "13800138001@sms.host", false, false},
        Case{"8613800138000@host", "13800138000@host", false, false},
        // Case folding stays out of double-byte characters: 0x81 'A' and 0x81 'a' differ.
        Case{"\x81\x41@host", "\x81\x61@host", false, false},
        Case{"张三@host", "张三@HOST", true, true}),
    [](const ::testing::TestParamInfo<Case>& info) {
        return testing_support::IndexedName(info.index, info.param.a);
    });

TEST(JidEquality, WithoutUserTypesNoDigitsAreDropped) {
    EXPECT_FALSE(core::JidsEqual("13800138000@sms.host", "8613800138000@sms.host", JidMatch::Loose,
                                 nullptr));
    EXPECT_TRUE(core::JidsEqual("li$gov@host/PC", "li@gover.host", JidMatch::Loose, nullptr));
}

TEST(JidEquality, TheLooseFormIsTheDollarNotationWithoutResource) {
    EXPECT_GBK_EQ(core::LooseJidForm(" li@gover.host/PC", UserType), "li$gov@host");
    EXPECT_GBK_EQ(core::LooseJidForm("8613800138000@sms.host/PC", UserType),
                  "13800138000@sms.host");
    // 丂 is 0x81 0x40: its second byte is no '@', and the 11-byte cut never starts on it.
    EXPECT_GBK_EQ(core::LooseJidForm("\x81\x40"
                                     "1234567890@sms.host",
                                     UserType),
                  "\x81\x40"
                  "1234567890@sms.host");
    EXPECT_GBK_EQ(core::LooseJidForm("9\x81\x40"
                                     "123456789@sms.host",
                                     UserType),
                  "\x81\x40"
                  "123456789@sms.host");
}

}  // namespace
