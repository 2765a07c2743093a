// The text rules every editing dialog applies.
#include "contacts/editing/text_rules.h"

#include <gtest/gtest.h>

namespace text_rules_test {
namespace {

using contacts::editing::HasIllegalChars;
using contacts::editing::IsValidEmail;
using contacts::editing::IsValidMobile;

struct TextCase {
    const char* text;
    bool expected;
};

TEST(TextRulesTest, IllegalCharactersAtTheStartOrAnywhere) {
    const TextCase cases[] = {
        {"", false},         {"张三", false},        {"a-b", false},       {"a+b=c", false},
        {"a/b*c", false},    {"=SUM(A1)", true},     {"+86", true},        {"-1", true},
        {"*x", true},        {"/x", true},           {"a&b", true},        {"&", true},
        {"a<b", true},       {"a>b", true},          {"say \"hi\"", true}, {"it's", true},
        {"同事&朋友", true}, {"abc@def.com", false}, {" =a", false},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(HasIllegalChars(c.text), c.expected) << c.text;
    }
}

TEST(TextRulesTest, AMobileIsFourOrMoreDigits) {
    const TextCase cases[] = {
        {"", false},      {"123", false},        {"1234", true},
        {"123a", false},  {"13800138000", true}, {" 1234", false},
        {"1234 ", false}, {"１２３４", false},   {"+8613800138000", false},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(IsValidMobile(c.text), c.expected) << c.text;
    }
}

TEST(TextRulesTest, AnEmailNeedsTheAtSignUnlessEmpty) {
    const TextCase cases[] = {{"", true}, {"a@b", true}, {"@", true}, {"ab.com", false}};
    for (const TextCase& c : cases) {
        EXPECT_EQ(IsValidEmail(c.text), c.expected) << c.text;
    }
}

}  // namespace
}  // namespace text_rules_test
