#include "support/gbk_print.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <sstream>

#include "support/test_files.h"

namespace testing_support {
namespace {

using testing_support::U8;

TEST(GbkPrint, ShowsTextAsUtf8WithEscapes) {
    EXPECT_EQ(DisplayGbk("中文\r\n"), U8(u8"\"中文\\r\\n\""));
    EXPECT_EQ(DisplayGbk("a\"b\\"), "\"a\\\"b\\\\\"");
    EXPECT_EQ(DisplayGbk("a\x81"), "\"a\\x81\"");  // lone lead byte
    EXPECT_EQ(DisplayGbk("\xFF"), "\"\\xFF\"");    // no character
    EXPECT_EQ(DisplayGbk(std::string_view("\0\x7F", 2)), "\"\\x00\\x7F\"");

    std::ostringstream printed;
    PrintTo(Gbk("誠"), &printed);
    EXPECT_EQ(printed.str(), U8(u8"\"誠\""));
}

TEST(GbkPrint, FailureMessageIsUtf8) {
    // 中 is E4 B8 AD in UTF-8, 文 is E6 96 87; written as escapes so they stay UTF-8 here.
    EXPECT_NONFATAL_FAILURE(EXPECT_GBK_EQ("中", "文"), "\"\xE4\xB8\xAD\"");
    EXPECT_NONFATAL_FAILURE(EXPECT_GBK_EQ("中", "文"), "\"\xE6\x96\x87\"");
    EXPECT_FATAL_FAILURE(ASSERT_GBK_EQ("a", "b"), "Expected equality of these GBK values");
    EXPECT_GBK_EQ(std::string("中"), "中");
}

}  // namespace
}  // namespace testing_support
