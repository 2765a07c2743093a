#include "core/text_utilities.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/case_name.h"
#include "support/gbk_print.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(UrlEncode, KeepsLettersAndDigitsAndEncodesEveryOtherByte) {
    EXPECT_EQ(core::UrlEncode("abcXYZ019"), "abcXYZ019");
    EXPECT_EQ(core::UrlEncode("a b"), "a%20b");
    EXPECT_EQ(core::UrlEncode("-_.~&=%"), "%2D%5F%2E%7E%26%3D%25");
    EXPECT_EQ(core::UrlEncode("中"), "%D6%D0");  // one GBK character, two groups
    EXPECT_EQ(core::UrlEncode(std::string("\0\xFF", 2)), "%00%FF");
    EXPECT_EQ(core::UrlEncode(""), "");
}

struct SplitCase {
    const char* text;
    const char* separators;
    core::EmptyTokens empty;
    std::vector<std::string> tokens;
};

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, SplitsAtAnyOfTheSeparators) {
    const SplitCase& c = GetParam();
    std::vector<std::string> out{"kept"};
    const int count = core::SplitStringToArray(c.text, c.separators, out, c.empty);
    EXPECT_EQ(count, static_cast<int>(c.tokens.size()));
    ASSERT_EQ(out.size(), c.tokens.size() + 1);
    EXPECT_EQ(out[0], "kept") << "tokens are appended";
    EXPECT_EQ(std::vector<std::string>(out.begin() + 1, out.end()), c.tokens);
}

using core::EmptyTokens;
INSTANTIATE_TEST_SUITE_P(
    Table, SplitTest,
    ::testing::Values(
        SplitCase{"a;;b;", ";", EmptyTokens::Keep, {"a", "", "b"}},
        SplitCase{"a;;b;", ";", EmptyTokens::Skip, {"a", "b"}},
        SplitCase{";a", ";", EmptyTokens::Keep, {"", "a"}},
        SplitCase{"a,b;c", ";,", EmptyTokens::Keep, {"a", "b", "c"}},
        SplitCase{"abc", ";", EmptyTokens::Keep, {"abc"}},
        SplitCase{"abc", "", EmptyTokens::Keep, {"abc"}}, SplitCase{"", ";", EmptyTokens::Keep, {}},
        SplitCase{";;", ";", EmptyTokens::Keep, {"", ""}},
        // 0x81 0x7C is one Chinese character; its second byte is a '|' only to a byte reader.
        SplitCase{"\x81\x7C|x", "|", EmptyTokens::Keep, {"\x81\x7C", "x"}},
        // A separator set may hold Chinese characters.
        SplitCase{"甲和乙和丙", "和", EmptyTokens::Keep, {"甲", "乙", "丙"}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) {
        return testing_support::IndexedName(info.index, info.param.text);
    });

TEST(ConvertUtf8ToGBK, ConvertsInPlaceAndMarksWhatGbkLacks) {
    std::string text = "\xE4\xB8\xAD\xE6\x96\x87 ok";  // "中文 ok"
    core::ConvertUtf8ToGBK(text);
    EXPECT_GBK_EQ(text, "中文 ok");

    std::string emoji =
        "a\xF0\x9F\x98\x80"
        "b";  // a character GBK has no form for
    core::ConvertUtf8ToGBK(emoji);
    EXPECT_EQ(emoji, "a?b");

    std::string broken = "x\xC3";  // cut in the middle of a character
    core::ConvertUtf8ToGBK(broken);
    EXPECT_EQ(broken, "x?");

    std::string empty;
    core::ConvertUtf8ToGBK(empty);
    EXPECT_THAT(empty, IsEmpty());
}

}  // namespace
