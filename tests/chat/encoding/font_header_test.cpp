#include "chat/encoding/font_header.h"

#include <gtest/gtest.h>

#include "chat/encoding/markers.h"
#include "os/controls/rich_edit.h"
#include "support/case_name.h"
#include "support/gbk_print.h"

namespace chat {
namespace {

using os::char_effect::kAutoColor;
using os::char_effect::kBold;
using os::char_effect::kItalic;
using os::char_effect::kStrikeOut;
using os::char_effect::kUnderline;

struct ReadCase {
    const char* header;
    const char* face;  // nullptr: not read
    int charSet;       // -1: not read
    int height;        // -1: not read
    std::uint32_t effects;
    std::uint32_t color;
};

class ReadFontHeaderTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadFontHeaderTest, ReadsFieldsAsReceiversDo) {
    const ReadCase& c = GetParam();
    std::optional<FontHeaderValues> values = ReadFontHeader(c.header);
    ASSERT_TRUE(values.has_value());
    if (c.face) {
        ASSERT_TRUE(values->face.has_value());
        EXPECT_GBK_EQ(*values->face, c.face);
    } else {
        EXPECT_FALSE(values->face.has_value());
    }
    EXPECT_EQ(values->charSet.value_or(-1), c.charSet);
    EXPECT_EQ(values->height.value_or(-1), c.height);
    EXPECT_EQ(values->Effects(), c.effects);
    EXPECT_EQ(values->Color(), c.color);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, ReadFontHeaderTest,
    testing::Values(
        ReadCase{"FONT(宋体,134,2,180,0,0,0,0,0,0,0)", "宋体", 134, 180, 0, 0},
        ReadCase{"FONT(宋体,134,2,180,0,0,0,0,0,0,255)", "宋体", 134, 180, 0, os::Rgb(0, 0, 255)},
        ReadCase{"FONT(宋体,134,2,180,1,0,0,0,255,0,0)", "宋体", 134, 180, kBold,
                 os::Rgb(255, 0, 0)},
        ReadCase{"FONT(Arial,0,34,240,0,2,4,0,0,128,0)", "Arial", 0, 240, kItalic | kUnderline,
                 os::Rgb(0, 128, 0)},
        // Any flag other than "0" sets its effect, whatever its value.
        ReadCase{"FONT(Arial,0,0,200,1,1,1,1,1,2,3)", "Arial", 0, 200,
                 kBold | kItalic | kUnderline | kStrikeOut, os::Rgb(1, 2, 3)},
        ReadCase{"FONT(Arial,0,0,200,00,x, ,8,0,0,0)", "Arial", 0, 200,
                 kBold | kItalic | kUnderline | kStrikeOut, 0},
        // An empty face field stops every later comma field: only blue is read, as 0.
        ReadCase{"FONT(,134,2,180,1,0,0,0,255,0,0", nullptr, -1, -1, 0, 0},
        // An empty field in the middle: what follows is not read; blue reads the rest.
        ReadCase{"FONT(宋体,134,,180,1,0,0,0,255,0,0)", "宋体", 134, -1, 0, 0},
        // Fewer fields than eleven: the missing ones stay unread; blue reads the rest.
        ReadCase{"FONT(宋体,134,2,180)", "宋体", 134, -1, 0, os::Rgb(0, 0, 180)},
        ReadCase{"FONT(", nullptr, -1, -1, 0, 0},
        // Colour parts out of range are held to 0..255 rather than spilling into the next.
        ReadCase{"FONT(A,0,0,180,0,0,0,0,300,-5,999)", "A", 0, 180, 0, os::Rgb(255, 0, 255)},
        // A number field reads like atoi: blanks, sign, leading digits.
        ReadCase{"FONT(A, 134x,0,-40,0,0,0,0,0,0,12)", "A", 134, -40, 0, os::Rgb(0, 0, 12)},
        // A number too large for an int is held at the largest one, not overflowed.
        ReadCase{"FONT(A,0,0,99999999999,0,0,0,0,0,0,0)", "A", 0, 2147483647, 0, 0}),
    [](const testing::TestParamInfo<ReadCase>& info) {
        return testing_support::IndexedName(info.index, info.param.header);
    });

TEST(ReadFontHeader, ShortHeaderReadsNothing) {
    EXPECT_FALSE(ReadFontHeader("").has_value());
    EXPECT_FALSE(ReadFontHeader("FONT").has_value());
}

TEST(ReadFontHeader, LongFaceIsCutWithoutSplittingACharacter) {
    // 15 Chinese characters (30 bytes) and one more: 32 bytes, cut to 31 -> 30.
    std::string face;
    for (int i = 0; i < 16; ++i) face += "宋";
    auto values = ReadFontHeader("FONT(" + face + ",134,2,180,0,0,0,0,0,0,0)");
    ASSERT_TRUE(values && values->face);
    EXPECT_EQ(values->face->size(), 30u);
    auto ascii = ReadFontHeader("FONT(" + std::string(40, 'x') + ",134,2,180,0,0,0,0,0,0,0)");
    ASSERT_TRUE(ascii && ascii->face);
    EXPECT_EQ(ascii->face->size(), 31u);
}

TEST(ReadFontHeader, FaceEndsAtANulLikeAFontName) {
    auto values = ReadFontHeader(std::string("FONT(Ari\0al,0,0,180,0,0,0,0,0,0,0)", 34));
    ASSERT_TRUE(values && values->face);
    EXPECT_EQ(*values->face, "Ari");
}

TEST(FormatFontHeader, WritesEffectsAsTheirMaskedBits) {
    os::CharFormat format;
    format.faceName = "宋体";
    format.charSet = 134;
    format.pitchAndFamily = 2;
    format.height = 180;
    format.effects = kBold | kItalic | kUnderline | kStrikeOut;
    format.color = os::Rgb(10, 20, 30);
    EXPECT_GBK_EQ(FormatFontHeader(format), "FONT(宋体,134,2,180,1,2,4,8,10,20,30)");

    format.effects = kItalic;
    format.color = os::Rgb(0, 128, 0);
    EXPECT_GBK_EQ(FormatFontHeader(format), "FONT(宋体,134,2,180,0,2,0,0,0,128,0)");
}

TEST(FormatFontHeader, AutomaticColourIsWrittenAsBlack) {
    os::CharFormat format;
    format.effects = kAutoColor;
    format.color = os::Rgb(1, 2, 3);
    EXPECT_GBK_EQ(FormatFontHeader(format), kDefaultHeader);
}

class ApplyFontHeaderTest : public testing::Test {
  protected:
    ApplyFontHeaderTest() : edit_(1) {
        os::CharFormat start;
        start.faceName = "Arial";
        start.height = 240;
        start.charSet = 0;
        start.effects = kStrikeOut;
        start.color = os::Rgb(9, 9, 9);
        edit_.SetDefaultCharFormat(start);
        edit_.SetText("你好abc");
        edit_.SetSel(0, -1);
    }

    os::CharFormat FormatAt(int position) const { return edit_.GetCharFormatAt(position); }

    os::RichEdit edit_;
};

TEST_F(ApplyFontHeaderTest, BoldRedNinePoint) {
    ApplyFontHeader(edit_, "FONT(宋体,134,2,180,1,0,0,0,255,0,0)");
    for (int position = 0; position < edit_.GetTextLength(); ++position) {
        os::CharFormat f = FormatAt(position);
        EXPECT_GBK_EQ(f.faceName, "宋体");
        EXPECT_EQ(f.height, 180);
        EXPECT_EQ(f.effects, kBold);
        EXPECT_EQ(f.color, os::Rgb(255, 0, 0));
        EXPECT_EQ(f.charSet, 0) << "the charset is not applied";
    }
}

TEST_F(ApplyFontHeaderTest, ItalicUnderlineGreen) {
    ApplyFontHeader(edit_, "FONT(宋体,134,2,180,0,2,4,0,0,128,0)");
    os::CharFormat f = FormatAt(2);
    EXPECT_EQ(f.effects, kItalic | kUnderline);
    EXPECT_EQ(f.color, os::Rgb(0, 128, 0));
}

TEST_F(ApplyFontHeaderTest, EmptyFaceFieldKeepsFaceAndSizeAndMakesTextBlack) {
    ApplyFontHeader(edit_, "FONT(,134,2,180,1,0,0,0,255,0,0)");
    os::CharFormat f = FormatAt(0);
    EXPECT_EQ(f.faceName, "Arial");
    EXPECT_EQ(f.height, 240);
    EXPECT_EQ(f.charSet, 0);
    EXPECT_EQ(f.effects, 0u) << "no effect set, the old strike-out cleared";
    EXPECT_EQ(f.color, 0u);
}

TEST_F(ApplyFontHeaderTest, ShortHeaderChangesNothing) {
    os::CharFormat before = FormatAt(0);
    ApplyFontHeader(edit_, "FONT");
    EXPECT_EQ(FormatAt(0), before);
}

TEST_F(ApplyFontHeaderTest, GreyNoticeHeaderKeepsHeightZeroAndStaysReadable) {
    ApplyFontHeader(edit_, kGreyHeader);
    os::CharFormat f = FormatAt(0);
    EXPECT_EQ(f.height, 0);
    EXPECT_GT(f.DisplayHeight(), 0);
    EXPECT_EQ(f.color, os::Rgb(128, 128, 128));
}

TEST_F(ApplyFontHeaderTest, MakeFontHeaderReadsBackWhatWasApplied) {
    const char* header = "FONT(宋体,134,2,200,1,2,0,8,12,34,56)";
    edit_.SetSel(0, -1);
    os::CharFormat charset;
    charset.mask = os::char_mask::kCharSet;
    charset.charSet = 134;
    edit_.SetSelectionCharFormat(charset);
    ApplyFontHeader(edit_, header);
    edit_.SetSel(1, 2);
    EXPECT_GBK_EQ(MakeFontHeader(edit_), header);
}

}  // namespace
}  // namespace chat
