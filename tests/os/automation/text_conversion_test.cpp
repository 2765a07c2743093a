// GBK <-> UTF-8 helpers of the automation interface.

#include <gtest/gtest.h>

#include "qorvdesk/automation.h"
#include "support/gbk_print.h"

namespace {

namespace automation = qorvdesk::automation;

constexpr const char* kHelloUtf8 = "\xE4\xBD\xA0\xE5\xA5\xBD";  // 你好 in UTF-8

TEST(AutomationTextTest, GbkAndUtf8RoundTrip) {
    EXPECT_EQ(automation::ToUtf8("你好, a"), std::string(kHelloUtf8) + ", a");
    auto gbk = automation::FromUtf8(kHelloUtf8);
    ASSERT_TRUE(gbk);
    EXPECT_GBK_EQ(*gbk, "你好");
    EXPECT_EQ(automation::FromUtf8(""), "");
}

TEST(AutomationTextTest, BadInputIsShownAsQuestionMarksOrRefused) {
    EXPECT_EQ(automation::ToUtf8("a\x81"), "a?");                       // a lone GBK lead byte
    EXPECT_EQ(automation::FromUtf8("\xFF"), std::nullopt);              // not UTF-8
    EXPECT_EQ(automation::FromUtf8("\xF0\x9F\x98\x80"), std::nullopt);  // no GBK for 😀
}

}  // namespace
