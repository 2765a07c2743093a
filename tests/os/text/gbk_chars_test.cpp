#include "os/text/gbk_chars.h"

#include <gtest/gtest.h>

#include "os/text/gbk_codec.h"
#include "support/gbk_print.h"

namespace os {
namespace {

std::string FromUtf8(const char8_t* utf8) {
    std::string out;
    EXPECT_TRUE(Utf8ToGbk(reinterpret_cast<const char*>(utf8), out));
    return out;
}

// The tests of this folder rely on these characters having an ASCII trail byte; the literals
// are compiled to GBK, the u8 literals stay UTF-8, so this also checks the build's charset.
TEST(GbkSamples, TrailBytesThatLookLikeAscii) {
    struct Case {
        const char* literal;
        const char8_t* utf8;
        const char* bytes;
    };
    const Case cases[] = {
        {"丂", u8"丂", "\x81@"},
        {"誠", u8"誠", "\xD5\\"},
        {"乚", u8"乚", "\x81]"},
        {"丄", u8"丄",
         "\x81"
         "A"},
        {"乤", u8"乤",
         "\x81"
         "a"},
        {"亅", u8"亅", "\x81|"},
    };
    for (const Case& c : cases) {
        EXPECT_GBK_EQ(c.literal, c.bytes);
        EXPECT_GBK_EQ(FromUtf8(c.utf8), c.bytes);
    }
}

TEST(GbkChars, LeadAndTrailRanges) {
    EXPECT_FALSE(IsGbkLeadByte(0x80));
    EXPECT_TRUE(IsGbkLeadByte(0x81));
    EXPECT_TRUE(IsGbkLeadByte(0xFE));
    EXPECT_FALSE(IsGbkLeadByte(0xFF));
    EXPECT_FALSE(IsGbkTrailByte(0x3F));
    EXPECT_TRUE(IsGbkTrailByte(0x40));
    EXPECT_TRUE(IsGbkTrailByte(0x7E));
    EXPECT_FALSE(IsGbkTrailByte(0x7F));
    EXPECT_TRUE(IsGbkTrailByte(0x80));
    EXPECT_TRUE(IsGbkTrailByte(0xFE));
    EXPECT_FALSE(IsGbkTrailByte(0xFF));
}

TEST(GbkChars, CharLength) {
    struct Case {
        std::string_view s;
        std::size_t pos;
        int length;
    };
    const Case cases[] = {
        {"a", 0, 1},
        {"丂", 0, 2},
        {"丂", 1, 1},     // seen from its trail byte, '@' is a
                          // character of its own
        {"\x81", 0, 1},   // lone lead byte at the end
        {"\x81 ", 0, 1},  // lead byte before a byte that cannot be a trail
        {"\x81\x7F", 0, 1},
        {"\xFF@", 0, 1},  // 0xFF leads nothing
        {"\x80@", 0, 1},
        {"\xFE\xFE", 0, 2},
        {"", 0, 0},
        {"a", 5, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GbkCharLength(c.s, c.pos), c.length)
            << testing_support::DisplayGbk(c.s) << " at " << c.pos;
    }
}

TEST(GbkChars, BoundaryAtOrBefore) {
    const std::string_view text = "a丂b";  // 61 81 40 62
    const std::size_t expected[] = {0, 1, 1, 3, 4, 4, 4};
    for (std::size_t pos = 0; pos < std::size(expected); ++pos) {
        EXPECT_EQ(CharBoundaryAtOrBefore(text, pos), expected[pos]) << "pos " << pos;
    }
    // 0x81 is also a trail byte: 81 81 | 40. Looking backwards from the 0x40 would pair it with
    // the 0x81 before it; scanning from the start shows it stands alone.
    EXPECT_EQ(CharBoundaryAtOrBefore("\x81\x81@", 2), 2u);
    EXPECT_EQ(CharBoundaryAtOrBefore("\x81\x81@", 1), 0u);
    EXPECT_EQ(CharBoundaryAtOrBefore("", 3), 0u);
}

TEST(GbkChars, LeftBytesNeverSplitsACharacter) {
    struct Case {
        std::string_view s;
        std::size_t max;
        std::string_view expected;
    };
    const Case cases[] = {
        {"ab中文", 3, "ab"},       {"ab中文", 4, "ab中"},
        {"ab中文", 5, "ab中"},     {"ab中文", 6, "ab中文"},
        {"ab中文", 100, "ab中文"}, {"ab中文", 0, ""},
        {"a\x81", 2, "a\x81"},     {"", 4, ""},
    };
    for (const Case& c : cases) {
        EXPECT_GBK_EQ(LeftBytes(c.s, c.max), c.expected) << "max " << c.max;
    }
}

TEST(GbkChars, CountAndValidity) {
    struct Case {
        std::string_view s;
        std::size_t count;
        bool valid;
    };
    const Case cases[] = {
        {"", 0, true},         {"abc", 3, true},     {"中文", 2, true},
        {"a誠b", 3, true},     {"\x80", 1, true},  // the euro sign of code page 936
        {"a中\x81", 3, false},                     // lone lead byte at the end
        {"\x81 x", 3, false},                      // lead byte without its trail
        {"\xFF", 1, false},    {"中\xA1", 2, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GbkCharCount(c.s), c.count) << testing_support::DisplayGbk(c.s);
        EXPECT_EQ(IsValidGbk(c.s), c.valid) << testing_support::DisplayGbk(c.s);
    }
}

}  // namespace
}  // namespace os
