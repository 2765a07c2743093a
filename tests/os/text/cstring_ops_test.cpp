#include "os/text/cstring_ops.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/gbk_print.h"

// Characters with an ASCII trail byte (checked in gbk_chars_test): 丂 = 81 '@', 誠 = D5 '\\',
// 丄 = 81 'A', 乤 = 81 'a'.

namespace os {
namespace {

using testing_support::DisplayGbk;

std::string FormatThroughVaList(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatThroughVaList(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string out = FormatV(fmt, args);
    va_end(args);
    return out;
}

TEST(Format, PrintfStyle) {
    EXPECT_GBK_EQ(Format("%s登录%d次 %.1f%%", "张三", 3, 99.5), "张三登录3次 99.5%");
    EXPECT_GBK_EQ(Format("%s", ""), "");
    EXPECT_GBK_EQ(FormatThroughVaList("%s-%05d", "用户", 42), "用户-00042");
    const std::string longText(5000, 'x');
    EXPECT_EQ(Format("[%s]", longText.c_str()), "[" + longText + "]");
}

TEST(Find, SubstringMatchesOnlyOnCharacterBoundaries) {
    struct Case {
        std::string_view s;
        std::string_view sub;
        int start;
        int expected;
    };
    const Case cases[] = {
        {"hello", "l", 0, 2},
        {"hello", "l", 3, 3},
        {"hello", "lo", 0, 3},
        {"hello", "z", 0, -1},
        {"hello", "", 2, 2},
        {"hello", "", 5, 5},
        {"hello", "o", 5, -1},
        {"hello", "h", 6, -1},  // start past the end
        {"hello", "h", -1, -1},
        {"丂@", "@", 0, 2},  // the trail byte '@' of 丂 is not a match
        {"丂", "@", 0, -1},
        {"丂@", "@", 1, 2},  // a start inside a character moves to the next one
        {"誠\\x", "\\", 0, 2},
        {"a丂b", "@b", 0, -1},
        {"user@丂", "@", 0, 4},
        {"中文中文", "文", 0, 2},
        {"中文中文", "文", 3, 6},
        {"丂", "\x81", 0, -1},          // a match may not end inside a character either
        {"\x81\x81@", "\x81@", 0, -1},  // 81 81 | 40: the pair 81 40 is not in this text
        {"\x81\x81@", "@", 0, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Find(c.s, c.sub, c.start), c.expected)
            << DisplayGbk(c.s) << " / " << DisplayGbk(c.sub) << " from " << c.start;
    }
}

TEST(Find, CharacterAndReverse) {
    struct Case {
        std::string_view s;
        char ch;
        int start;
        int expected;
    };
    const Case cases[] = {
        {"丂@", '@', 0, 2},  {"誠", '\\', 0, -1},  {"abc", 'c', 2, 2},
        {"abc", 'c', 3, -1}, {"abc", 'a', -1, -1}, {"", 'a', 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Find(c.s, c.ch, c.start), c.expected) << DisplayGbk(c.s) << " from " << c.start;
    }

    EXPECT_EQ(ReverseFind("a@丂", '@'), 1);
    EXPECT_EQ(ReverseFind("丂", '@'), -1);
    EXPECT_EQ(ReverseFind("path\\to\\誠", '\\'), 7);
    EXPECT_EQ(ReverseFind("", 'a'), -1);
}

TEST(Substrings, ClampLikeCString) {
    const std::string_view s = "abcdef";
    struct Case {
        std::string actual;
        std::string_view expected;
    };
    const Case cases[] = {
        {Mid(s, 2), "cdef"},
        {Mid(s, -3), "abcdef"},
        {Mid(s, 6), ""},
        {Mid(s, 7), ""},
        {Mid(s, 2, 2), "cd"},
        {Mid(s, -1, 2), "ab"},
        {Mid(s, 4, 10), "ef"},
        {Mid(s, 1, -1), ""},
        {Mid(s, INT_MAX, INT_MAX), ""},
        {Mid(s, 2, INT_MAX), "cdef"},
        {Left(s, 3), "abc"},
        {Left(s, -1), ""},
        {Left(s, 10), "abcdef"},
        {Right(s, 2), "ef"},
        {Right(s, -2), ""},
        {Right(s, 10), "abcdef"},
        {Right(s, INT_MAX), "abcdef"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].actual, cases[i].expected) << "case " << i;
    }
}

TEST(Trim, WhitespaceCharacterAndSet) {
    struct Case {
        std::string actual;
        std::string_view expected;
    };
    const Case cases[] = {
        {Trim("  a b \t\r\n\v\f"), "a b"},
        {TrimLeft(" x "), "x "},
        {TrimRight(" x "), " x"},
        {Trim(""), ""},
        {Trim(" \t "), ""},
        {Trim(" 中文 "), "中文"},
        // The trail byte of 誠 is '\\' and must survive trimming backslashes.
        {TrimRight("誠", '\\'), "誠"},
        {TrimRight("誠\\\\", '\\'), "誠"},
        {TrimLeft("@@丂", '@'), "丂"},
        {TrimRight("丂", '@'), "丂"},
        {Trim("--a-b--", '-'), "a-b"},
        {Trim("xy中文yx", "xy"), "中文"},
        {Trim("中a中", "中"), "a"},
        {TrimLeft("中中a", "中"), "a"},
        {TrimRight("a文文", "文"), "a"},
        // The set is GBK text too: "@\x81" holds the single bytes '@' and 0x81, which do not
        // match the character 81 40; "\x81@" is that character itself.
        {Trim("丂", "@\x81"), "丂"},
        {Trim("丂a", "\x81@"), "a"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_GBK_EQ(cases[i].actual, cases[i].expected) << "case " << i;
    }
}

TEST(Replace, SubstringsInPlace) {
    struct Case {
        std::string_view s;
        std::string_view old;
        std::string_view with;
        std::string_view expected;
        int count;
    };
    const Case cases[] = {
        {"a.b.c", ".", "::", "a::b::c", 2},
        {"aaa", "aa", "b", "ba", 1},
        {"abc", "", "x", "abc", 0},
        {"abc", "z", "x", "abc", 0},
        {"abab", "ab", "", "", 2},
        {"丂@", "@", "#", "丂#", 1},
        {"誠\\誠", "\\", "/", "誠/誠", 1},
        {"中文中文", "文", "字", "中字中字", 2},
        {"", "a", "b", "", 0},
    };
    for (const Case& c : cases) {
        std::string s(c.s);
        EXPECT_EQ(Replace(s, c.old, c.with), c.count) << DisplayGbk(c.s);
        EXPECT_GBK_EQ(s, c.expected);
    }
}

TEST(Replace, CharactersAndRemove) {
    std::string path = "a\\b\\誠";
    EXPECT_EQ(Replace(path, '\\', '/'), 2);
    EXPECT_GBK_EQ(path, "a/b/誠");

    std::string mail = "丂@a@";
    EXPECT_EQ(Remove(mail, '@'), 2);
    EXPECT_GBK_EQ(mail, "丂a");

    std::string untouched = "丂誠";
    EXPECT_EQ(Remove(untouched, '@'), 0);
    EXPECT_EQ(Replace(untouched, '\\', '/'), 0);
    EXPECT_GBK_EQ(untouched, "丂誠");
}

TEST(CaseChange, OnlyAsciiLettersOutsideDoubleByteCharacters) {
    EXPECT_GBK_EQ(MakeLower("ABC丄xyZ"), "abc丄xyz");
    EXPECT_GBK_EQ(MakeUpper("乤abc丄"), "乤ABC丄");
    EXPECT_GBK_EQ(MakeLower("\xFF"
                            "A"),
                  "\xFF"
                  "a");  // 0xFF leads nothing
    EXPECT_GBK_EQ(MakeUpper("1-2_x"), "1-2_X");
}

TEST(MbsICmp, CaseInsensitiveForAsciiOnly) {
    struct Case {
        std::string_view a;
        std::string_view b;
        int expected;
    };
    const Case cases[] = {
        {"abc", "ABC", 0},
        {"abc", "abd", -1},
        {"b", "A", 1},
        {"a", "ab", -1},
        {"ab", "a", 1},
        {"", "", 0},
        {"_", "A", -1},  // letters fold to lower case, as _mbsicmp does
        {"丄x", "丄X", 0},
        {"丄", "乤", -1},  // 81 41 and 81 61 differ: trail bytes are not letters
        {"中", "z", 1},    // a double-byte character sorts after every single byte
        {"Common Setting", "common setting", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MbsICmp(c.a, c.b), c.expected) << DisplayGbk(c.a) << " vs " << DisplayGbk(c.b);
        EXPECT_EQ(CompareNoCase(c.a, c.b), c.expected);
        EXPECT_EQ(EqualsNoCase(c.a, c.b), c.expected == 0);
    }
}

}  // namespace
}  // namespace os
