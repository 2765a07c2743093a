#include "chat/encoding/plain_text.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace chat {
namespace {

// A GBK character whose second byte is ']' (0x5D): a byte search for "]" would cut it in half.
const std::string kBracketTrail = "\xB0\x5D";

struct Case {
    std::string in;
    std::string out;
};

TEST(FacesToLabel, ReplacesOnlyTwoDigitMarkers) {
    const Case cases[] = {
        {"你好#(14)#", "你好[表情]"}, {"#(05)##(79)#", "[表情][表情]"},
        {"#(5)#", "#(5)#"},           {"#(ab)#", "#(ab)#"},
        {"a#(-1)#b", "a#(-1)#b"},     {"##(05)#", "#[表情]"},
        {"#(05)", "#(05)"},  // fewer than six characters left
        {"x#(99)#", "x[表情]"},       {"", ""},
    };
    for (const Case& c : cases) EXPECT_GBK_EQ(FacesToLabel(c.in), c.out) << c.in;
}

TEST(HistoryText, PicturesHeaderAndFaces) {
    const Case cases[] = {
        {"abc#(-2)#[x.jpg]def", "abc[图片]def"},
        {"#(-2)#[a.jpg]#(-2)#[b.jpg]", "[图片][图片]"},
        {"看#(-2)#[x.jpg", "看#(-2)#[x.jpg"},  // no "]": stays
        {"#(-2)#[a.jpg] #(-2)#[b", "[图片] #(-2)#[b"},
        {"FONT(宋体,134,2,180,1,0,0,0,255,0,0)你好#(14)#", "你好[表情]"},
        {"前FONT(宋体,0,0,0,0,0,0,0,0,0,0)后", "前后"},
        {"FONT(a)x FONT(b)y", "x FONT(b)y"},  // only the first header
        // The "]" of a picture is a character of its own, never the trail byte of one.
        {"#(-2)#[" + kBracketTrail + ".jpg]z", "[图片]z"},
        {"#(-2)#[" + kBracketTrail, "#(-2)#[" + kBracketTrail},
    };
    for (const Case& c : cases) EXPECT_GBK_EQ(ToHistoryText(c.in), c.out) << c.in;
}

TEST(StripFontHeader, RemovesUpToTheFirstParenthesis) {
    const Case cases[] = {
        {"FONT(宋体,134,2,180,0,0,0,0,0,0,0)你好", "你好"},
        {"你好", "你好"},
        {"FONT(no close", "FONT(no close"},
        {"x)FONT(a)b", "FONT(a)b"},  // everything up to the first ")" goes
        {"FONT()", ""},
    };
    for (const Case& c : cases) EXPECT_GBK_EQ(StripFontHeader(c.in), c.out) << c.in;
}

TEST(RecentHistory, PreparesStoredMessages) {
    const Case cases[] = {
        {"  你好 \r\n", "你好"},
        {"#(-1)#", "[闪屏振动]"},
        {" #(-1)#\r\n", "[闪屏振动]"},
        {"FONT(宋体,134,2,180,0,0,0,0,0,0,0)#(-1)#", "[闪屏振动]"},
        {"FONT(宋体,134,2,180,0,0,0,0,0,0,0)你好#(14)#", "你好#(14)#"},
        {"#(-3)#[a.txt|12|key]", ""},
        {"see #(-3)# here", ""},
        {"   ", ""},
    };
    for (const Case& c : cases) EXPECT_GBK_EQ(PrepareRecentHistoryBody(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace chat
