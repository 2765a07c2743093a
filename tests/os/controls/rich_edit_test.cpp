#include "os/controls/rich_edit.h"

#include <gtest/gtest.h>

#include "os/controls/notification_recorder.h"
#include "support/gbk_print.h"

namespace os {
namespace {

using testing::NotificationRecorder;

CharFormat Only(std::uint32_t mask, std::uint32_t effects = 0) {
    CharFormat format;
    format.mask = mask;
    format.effects = effects;
    return format;
}

CharFormat ColorOnly(std::uint32_t color) {
    CharFormat format = Only(char_mask::kColor);
    format.color = color;
    return format;
}

CharFormat LinkTo(std::string target) {
    CharFormat format = Only(char_mask::kLink, char_effect::kLink);
    format.linkTarget = std::move(target);
    return format;
}

RichObject Face(std::uint32_t number) {
    return RichObject{RichObjectKind::Face, number, "face/14.gif"};
}

void Append(RichEdit& edit, std::string_view text) {
    edit.SetSel(-1, -1);
    edit.ReplaceSel(text);
}

// ---- Positions ------------------------------------------------------------------------------

TEST(RichEditPositions, ChineseCharacterIsOnePositionOfTwoBytes) {
    RichEdit edit(1);
    edit.SetText("a你b好\r\n");
    EXPECT_EQ(edit.GetTextLength(), 6);
    EXPECT_EQ(edit.GetTextByteLength(), 8u);

    struct Case {
        int position;
        std::size_t offset;
    };
    for (Case c :
         {Case{0, 0}, Case{1, 1}, Case{2, 3}, Case{3, 4}, Case{4, 6}, Case{5, 7}, Case{6, 8}}) {
        EXPECT_EQ(edit.ByteOffsetFromPosition(c.position), c.offset) << c.position;
        EXPECT_EQ(edit.PositionFromByteOffset(c.offset), c.position) << c.offset;
    }
    // The second byte of "你" belongs to that character.
    EXPECT_EQ(edit.PositionFromByteOffset(2), 1);
    EXPECT_EQ(edit.PositionFromByteOffset(100), 6);
    EXPECT_GBK_EQ(edit.GetTextRange(1, 4), "你b好");
}

TEST(RichEditPositions, LoneLeadBytesBecomeQuestionMarksSoCharactersNeverFuse) {
    RichEdit edit(1);
    // "\xB0\xA1" together is one character; typed apart they were two broken bytes, and must
    // not fuse into a character the positions do not know about.
    edit.ReplaceSel("\xB0");
    edit.ReplaceSel("\xA1");
    EXPECT_EQ(edit.GetText(), "??");
    EXPECT_EQ(edit.GetTextLength(), 2);

    edit.SetText("x\xB0");
    EXPECT_EQ(edit.GetText(), "x?");
    edit.SetText("\xB0\x20");  // a lead byte before a blank starts no character
    EXPECT_EQ(edit.GetText(), "? ");
}

TEST(RichEditPositions, LineCountCountsEachKindOfBreakOnce) {
    struct Case {
        const char* text;
        int lines;
    };
    for (Case c : {Case{"", 1}, Case{"abc", 1}, Case{"a\r\nb", 2}, Case{"a\nb\rc", 3},
                   Case{"a\r\n\r\n", 3}, Case{"你\r好\n", 3}}) {
        RichEdit edit(1);
        edit.SetText(c.text);
        EXPECT_EQ(edit.GetLineCount(), c.lines) << c.text;
    }
}

// ---- Selection ------------------------------------------------------------------------------

TEST(RichEditSelection, SetSelFollowsEditControlRules) {
    struct Case {
        Selection before;
        int start;
        int end;
        Selection after;
    };
    // Text of 5 positions: "ab你cd".
    for (Case c : {
             Case{{0, 0}, 0, -1, {0, 5}},  // all
             Case{{1, 3}, -1, 0, {5, 5}},  // caret to the end of the text
             Case{{1, 3}, -1, -1, {5, 5}}, Case{{0, 0}, 4, 2, {2, 4}},  // reversed
             Case{{0, 0}, 2, 99, {2, 5}},                               // past the end
             Case{{0, 0}, 7, 9, {5, 5}},                                // both past the end
             Case{{0, 0}, -5, 2, {0, 2}},                               // before the start
         }) {
        RichEdit edit(1);
        edit.SetText("ab你cd");
        edit.SetSel(c.before.start, c.before.end);
        edit.SetSel(c.start, c.end);
        EXPECT_EQ(edit.GetSel(), c.after) << c.start << "," << c.end;
    }
}

TEST(RichEditSelection, CaretFollowsInsertedTextAndSelTextIsPlain) {
    RichEdit edit(1);
    edit.SetText("你好世界");
    edit.SetSel(1, 3);
    EXPECT_GBK_EQ(edit.GetSelText(), "好世");
    edit.ReplaceSel("们a");
    EXPECT_GBK_EQ(edit.GetText(), "你们a界");
    EXPECT_EQ(edit.GetSel(), (Selection{3, 3}));

    edit.InsertObject(Face(5));
    EXPECT_EQ(edit.GetSel(), (Selection{4, 4}));
}

TEST(RichEditSelection, HideSelectionKeepsTheSelection) {
    RichEdit edit(1);
    edit.SetText("abc");
    edit.SetSel(1, 2);
    edit.HideSelection(true);
    EXPECT_TRUE(edit.selectionHidden());
    EXPECT_EQ(edit.GetSel(), (Selection{1, 2}));
    edit.HideSelection(false);
    EXPECT_FALSE(edit.selectionHidden());
}

// ---- Objects --------------------------------------------------------------------------------

TEST(RichEditObjects, ObjectIsOnePositionShownAsABlank) {
    RichEdit edit(1);
    edit.ReplaceSel("你");
    edit.InsertObject(Face(14));
    edit.ReplaceSel("好");
    RichObject picture{RichObjectKind::Picture, 0xFFFFFFFFu, "temp/abc.jpg"};
    edit.InsertObject(picture);

    EXPECT_EQ(edit.GetTextLength(), 4);
    EXPECT_GBK_EQ(edit.GetText(), "你 好 ");
    ASSERT_EQ(edit.GetObjectCount(), 2);
    EXPECT_EQ(edit.GetObject(0), (PlacedObject{1, Face(14)}));
    EXPECT_EQ(edit.GetObject(1), (PlacedObject{3, picture}));
    EXPECT_EQ(edit.GetObject(2).position, -1);
    EXPECT_EQ(edit.GetObject(-1).position, -1);
    EXPECT_EQ(edit.ObjectAt(3), picture);
    EXPECT_FALSE(edit.ObjectAt(2).has_value());
    // A range across the object holds its blank.
    EXPECT_GBK_EQ(edit.GetTextRange(0, 3), "你 好");
    EXPECT_GBK_EQ(edit.GetTextRange(1, 2), " ");
    EXPECT_EQ(edit.PositionFromByteOffset(2), 1);  // the object's byte
}

TEST(RichEditObjects, ObjectsMoveWithTheTextAndGoWithADeletedRange) {
    RichEdit edit(1);
    edit.SetText("ab");
    edit.SetSel(1, 1);
    edit.InsertObject(Face(1));  // a[1]b
    edit.SetSel(-1, -1);
    edit.InsertObject(Face(2));  // a[1]b[2]

    edit.SetSel(0, 0);
    edit.ReplaceSel("你好");  // 你好a[1]b[2]
    ASSERT_EQ(edit.GetObjectCount(), 2);
    EXPECT_EQ(edit.GetObject(0).position, 3);
    EXPECT_EQ(edit.GetObject(1).position, 5);

    edit.SetSel(2, 4);  // "a" and face 1
    edit.ReplaceSel("");
    ASSERT_EQ(edit.GetObjectCount(), 1);
    EXPECT_EQ(edit.GetObject(0), (PlacedObject{3, Face(2)}));
    EXPECT_GBK_EQ(edit.GetText(), "你好b ");
}

TEST(RichEditObjects, SelectionIsObjectAndSetObjectAt) {
    RichEdit edit(1);
    edit.ReplaceSel("a");
    edit.InsertObject(RichObject{RichObjectKind::PicturePlaceholder, 10001, "x.jpg"});
    edit.SetSel(1, 2);
    EXPECT_TRUE(edit.SelectionIsObject());
    edit.SetSel(0, 2);
    EXPECT_FALSE(edit.SelectionIsObject());
    edit.SetSel(0, 1);
    EXPECT_FALSE(edit.SelectionIsObject());

    EXPECT_TRUE(edit.SetObjectAt(1, RichObject{RichObjectKind::Picture, 10001, "x.jpg"}));
    EXPECT_EQ(edit.ObjectAt(1)->kind, RichObjectKind::Picture);
    EXPECT_FALSE(edit.SetObjectAt(0, RichObject{}));
}

TEST(RichEditObjects, SetTextDropsObjects) {
    RichEdit edit(1);
    edit.InsertObject(Face(3));
    edit.SetText("x");
    EXPECT_EQ(edit.GetObjectCount(), 0);
    EXPECT_FALSE(edit.ObjectAt(0).has_value());
}

// ---- Formats --------------------------------------------------------------------------------

TEST(RichEditFormats, FormatSetAtTheCaretIsUsedByTheNextInsertion) {
    RichEdit edit(1);
    edit.ReplaceSel("ab");
    edit.SetSelectionCharFormat(Only(char_mask::kBold, char_effect::kBold));
    edit.SetSelectionCharFormat(ColorOnly(Rgb(255, 0, 0)));
    EXPECT_TRUE(edit.GetSelectionCharFormat().Has(char_effect::kBold));
    edit.ReplaceSel("红");
    edit.ReplaceSel("色");  // the caret did not move: still bold red

    CharFormat plain = edit.GetCharFormatAt(0);
    CharFormat red = edit.GetCharFormatAt(2);
    EXPECT_FALSE(plain.Has(char_effect::kBold));
    EXPECT_TRUE(red.Has(char_effect::kBold));
    EXPECT_EQ(red.color, 0x000000FFu);
    EXPECT_EQ(edit.GetCharFormatAt(3), red);
    EXPECT_EQ(edit.GetFormatRunCount(), 2);

    // Moving the caret drops the caret format: new text takes its neighbour's.
    edit.SetSel(1, 1);
    edit.ReplaceSel("x");
    EXPECT_EQ(edit.GetCharFormatAt(1), plain);
}

TEST(RichEditFormats, ReplaceSelKeepsTheFormatsAroundIt) {
    RichEdit edit(1);
    edit.SetText("abcdef");
    edit.SetSel(2, 4);
    edit.SetSelectionCharFormat(Only(char_mask::kItalic, char_effect::kItalic));

    // Replacing part of the italic text: the new text is italic, the rest keeps its formats.
    edit.SetSel(3, 5);
    edit.ReplaceSel("你好");
    EXPECT_GBK_EQ(edit.GetText(), "abc你好f");
    std::string pattern;
    for (int p = 0; p < edit.GetTextLength(); ++p)
        pattern += edit.GetCharFormatAt(p).Has(char_effect::kItalic) ? 'I' : '.';
    EXPECT_EQ(pattern, "..III.");
    EXPECT_EQ(edit.GetFormatRunCount(), 3);
}

TEST(RichEditFormats, AdjacentEqualFormatsMerge) {
    RichEdit edit(1);
    Append(edit, "ab");
    Append(edit, "cd");
    EXPECT_EQ(edit.GetFormatRunCount(), 1);

    edit.SetSel(1, 3);
    edit.SetSelectionCharFormat(Only(char_mask::kUnderline, char_effect::kUnderline));
    EXPECT_EQ(edit.GetFormatRunCount(), 3);
    edit.SetSelectionCharFormat(Only(char_mask::kUnderline, 0));
    EXPECT_EQ(edit.GetFormatRunCount(), 1);

    // Deleting the middle run joins equal neighbours.
    edit.SetSel(1, 3);
    edit.SetSelectionCharFormat(Only(char_mask::kBold, char_effect::kBold));
    edit.ReplaceSel("");
    EXPECT_EQ(edit.GetText(), "ad");
    EXPECT_EQ(edit.GetFormatRunCount(), 1);
}

TEST(RichEditFormats, SelectionFormatMasksFieldsThatDiffer) {
    RichEdit edit(1);
    edit.SetText("abcd");
    edit.SetSel(2, 4);
    CharFormat big = Only(char_mask::kSize | char_mask::kBold, char_effect::kBold);
    big.height = 240;
    edit.SetSelectionCharFormat(big);

    edit.SetSel(0, 4);
    CharFormat mixed = edit.GetSelectionCharFormat();
    EXPECT_EQ(mixed.mask & char_mask::kSize, 0u);
    EXPECT_EQ(mixed.mask & char_mask::kBold, 0u);
    EXPECT_NE(mixed.mask & char_mask::kFace, 0u);
    EXPECT_NE(mixed.mask & char_mask::kColor, 0u);
    EXPECT_EQ(mixed.height, 180);  // the first character's

    edit.SetSel(2, 4);
    CharFormat same = edit.GetSelectionCharFormat();
    EXPECT_EQ(same.mask, char_mask::kAll);
    EXPECT_EQ(same.height, 240);
}

TEST(RichEditFormats, MaskChoosesTheFieldsThatChange) {
    RichEdit edit(1);
    edit.SetText("x");
    edit.SetSel(0, 1);
    CharFormat change;
    change.mask = char_mask::kFace;
    change.faceName = "黑体";
    change.pitchAndFamily = 49;
    change.height = 400;                  // not in the mask
    change.effects = char_effect::kBold;  // not in the mask
    edit.SetSelectionCharFormat(change);

    CharFormat now = edit.GetCharFormatAt(0);
    EXPECT_GBK_EQ(now.faceName, "黑体");
    EXPECT_EQ(now.pitchAndFamily, 49);
    EXPECT_EQ(now.height, 180);
    EXPECT_FALSE(now.Has(char_effect::kBold));

    // Colour with the auto-colour effect cleared, as a font header applies it.
    edit.SetSelectionCharFormat(ColorOnly(Rgb(0, 128, 0)));
    EXPECT_EQ(edit.GetCharFormatAt(0).color, 0x00008000u);
    EXPECT_FALSE(edit.GetCharFormatAt(0).Has(char_effect::kAutoColor));
}

TEST(RichEditFormats, LongFaceNameIsCutAtAWholeCharacter) {
    RichEdit edit(1);
    CharFormat face = Only(char_mask::kFace);
    face.faceName = "abc" + std::string(15, 'x') + "微软雅黑字体名";  // 18 + 14 bytes
    edit.SetSelectionCharFormat(face);
    std::string name = edit.GetSelectionCharFormat().faceName;
    EXPECT_LE(name.size(), kMaxFaceNameBytes);
    EXPECT_GBK_EQ(name, "abc" + std::string(15, 'x') + "微软雅黑字体");  // 30 bytes, not 31
}

TEST(RichEditFormats, HeightZeroIsKeptButDrawnReadable) {
    RichEdit edit(1);
    CharFormat tiny = Only(char_mask::kSize);
    tiny.height = 0;
    edit.SetSelectionCharFormat(tiny);
    edit.ReplaceSel("notice");
    EXPECT_EQ(edit.GetCharFormatAt(0).height, 0);
    EXPECT_EQ(edit.GetCharFormatAt(0).DisplayHeight(), 180);
}

TEST(RichEditFormats, DefaultFormatGovernsSetTextAndAnEmptyControl) {
    RichEdit edit(1);
    CharFormat fmt;
    fmt.faceName = "Arial";
    fmt.height = 200;
    edit.SetDefaultCharFormat(fmt);
    EXPECT_EQ(edit.GetSelectionCharFormat().faceName, "Arial");
    edit.ReplaceSel("a");
    EXPECT_EQ(edit.GetCharFormatAt(0).height, 200);
    edit.SetText("plain");
    EXPECT_EQ(edit.GetCharFormatAt(4).faceName, "Arial");
    EXPECT_EQ(edit.GetFormatRunCount(), 1);
}

// ---- Segments -------------------------------------------------------------------------------

TEST(RichEditSegments, RunsAndObjectsInTextOrder) {
    RichEdit edit(1);
    edit.ReplaceSel("你好");
    edit.InsertObject(Face(14));
    edit.SetSelectionCharFormat(Only(char_mask::kBold, char_effect::kBold));
    edit.ReplaceSel("ab");
    edit.InsertObject(Face(2));  // takes the bold caret format too

    std::vector<RichSegment> all = edit.Segments();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].type, RichSegment::Type::Text);
    EXPECT_GBK_EQ(all[0].text, "你好");
    EXPECT_EQ(all[0].start, 0);
    EXPECT_EQ(all[0].length, 2);
    EXPECT_FALSE(all[0].format.Has(char_effect::kBold));
    EXPECT_EQ(all[1].type, RichSegment::Type::Object);
    EXPECT_EQ(all[1].object, Face(14));
    EXPECT_EQ(all[1].start, 2);
    EXPECT_EQ(all[2].type, RichSegment::Type::Text);
    EXPECT_EQ(all[2].text, "ab");
    EXPECT_TRUE(all[2].format.Has(char_effect::kBold));
    EXPECT_EQ(all[3].object, Face(2));
    EXPECT_TRUE(all[3].format.Has(char_effect::kBold));

    // A range cuts the first and last segments.
    std::vector<RichSegment> part = edit.Segments(1, 4);
    ASSERT_EQ(part.size(), 3u);
    EXPECT_GBK_EQ(part[0].text, "好");
    EXPECT_EQ(part[1].type, RichSegment::Type::Object);
    EXPECT_EQ(part[2].text, "a");
    EXPECT_TRUE(edit.Segments(3, 3).empty());
}

// ---- Links ----------------------------------------------------------------------------------

TEST(RichEditLinks, ClickOnLinkRaisesItsTargetOrItsText) {
    RichEdit edit(7);
    edit.SetReadOnly(true);
    edit.SetText("see www.a.com and 首页 now");
    edit.SetSel(4, 13);
    edit.SetSelectionCharFormat(LinkTo(""));
    edit.SetSel(18, 20);
    edit.SetSelectionCharFormat(LinkTo("http://oa/index"));
    NotificationRecorder seen(edit);

    struct Case {
        int position;
        bool link;
        std::string text;
    };
    for (const Case& c :
         {Case{3, false, ""}, Case{4, true, "www.a.com"}, Case{12, true, "www.a.com"},
          Case{13, false, ""}, Case{19, true, "http://oa/index"}, Case{99, false, ""}}) {
        seen.Clear();
        EXPECT_EQ(edit.ClickAt(c.position), c.link) << c.position;
        if (!c.link) {
            EXPECT_TRUE(seen.all().empty()) << c.position;
            continue;
        }
        ASSERT_EQ(seen.all().size(), 1u);
        EXPECT_EQ(seen.all()[0].controlId, 7);
        EXPECT_EQ(seen.all()[0].code, notify::kLinkClicked);
        EXPECT_EQ(seen.all()[0].item, c.position);
        EXPECT_EQ(seen.all()[0].text, c.text);
    }

    std::optional<LinkRange> anchor = edit.LinkAt(18);
    ASSERT_TRUE(anchor.has_value());
    EXPECT_EQ(anchor->start, 18);
    EXPECT_EQ(anchor->end, 20);
    EXPECT_GBK_EQ(anchor->text, "首页");
}

TEST(RichEditLinks, LinkSpansRunsOfOtherFormatsButNotOtherTargets) {
    RichEdit edit(1);
    edit.SetText("abcdef");
    edit.SetSel(0, 4);
    edit.SetSelectionCharFormat(LinkTo("x"));
    edit.SetSel(1, 2);
    edit.SetSelectionCharFormat(Only(char_mask::kBold, char_effect::kBold));
    edit.SetSel(4, 6);
    edit.SetSelectionCharFormat(LinkTo("y"));

    std::optional<LinkRange> first = edit.LinkAt(0);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->end, 4);
    EXPECT_EQ(first->text, "abcd");
    std::optional<LinkRange> second = edit.LinkAt(5);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->start, 4);
    EXPECT_EQ(second->target, "y");
}

TEST(RichEditLinks, TextTypedAfterALinkIsNotPartOfIt) {
    RichEdit edit(1);
    edit.SetText("http://a");
    edit.SetSel(0, -1);
    edit.SetSelectionCharFormat(LinkTo(""));
    edit.SetSel(-1, -1);
    edit.ReplaceSel(" more");
    EXPECT_FALSE(edit.GetCharFormatAt(9).Has(char_effect::kLink));
    EXPECT_EQ(edit.LinkAt(0)->end, 8);
}

TEST(RichEditLinks, DisabledControlIgnoresClicks) {
    RichEdit edit(1);
    edit.SetText("link");
    edit.SetSel(0, -1);
    edit.SetSelectionCharFormat(LinkTo(""));
    NotificationRecorder seen(edit);
    edit.SetEnabled(false);
    EXPECT_FALSE(edit.ClickAt(1));
    EXPECT_TRUE(seen.all().empty());
}

// ---- Read-only, limit, notifications --------------------------------------------------------

TEST(RichEditEditing, ReadOnlyStopsTheUserNotTheProgram) {
    RichEdit edit(1);
    edit.SetReadOnly(true);
    EXPECT_FALSE(edit.TypeText("typed"));
    EXPECT_EQ(edit.GetText(), "");
    EXPECT_TRUE(edit.ReplaceSel("appended"));
    EXPECT_EQ(edit.GetText(), "appended");
}

TEST(RichEditEditing, LimitCutsAtAWholeCharacter) {
    RichEdit edit(1);
    edit.LimitText(7);
    EXPECT_TRUE(edit.TypeText("你好"));     // 4 bytes
    EXPECT_FALSE(edit.TypeText("ab你好"));  // room for "ab" and not half of "你"
    EXPECT_GBK_EQ(edit.GetText(), "你好ab");
    EXPECT_TRUE(edit.InsertObject(Face(1)));  // the last byte
    EXPECT_FALSE(edit.InsertObject(Face(2)));
    EXPECT_EQ(edit.GetObjectCount(), 1);

    // Replacing a selection frees its bytes.
    edit.SetSel(0, 1);
    EXPECT_TRUE(edit.TypeText("中"));
    edit.SetSel(0, 1);
    EXPECT_FALSE(edit.TypeText("abc"));
    EXPECT_GBK_EQ(edit.GetText(), "ab好ab ");
}

TEST(RichEditEditing, EveryContentChangeRaisesEditChange) {
    RichEdit edit(3);
    NotificationRecorder seen(edit);
    edit.SetText("abc");
    edit.ReplaceSel("x");
    edit.InsertObject(Face(1));
    edit.SetSel(0, 1);
    edit.ReplaceSel("");
    edit.Clear();
    EXPECT_EQ(seen.Count(notify::kEditChange), 5);

    seen.Clear();
    edit.ReplaceSel("");  // nothing selected, nothing inserted
    edit.SetSelectionCharFormat(Only(char_mask::kBold, char_effect::kBold));
    EXPECT_TRUE(seen.all().empty());
}

TEST(RichEditEditing, ClearEmptiesEverything) {
    RichEdit edit(1);
    edit.ReplaceSel("abc");
    edit.InsertObject(Face(1));
    edit.Clear();
    EXPECT_EQ(edit.GetTextLength(), 0);
    EXPECT_EQ(edit.GetObjectCount(), 0);
    EXPECT_EQ(edit.GetFormatRunCount(), 0);
    EXPECT_TRUE(edit.Segments().empty());
    EXPECT_EQ(edit.GetSel(), (Selection{0, 0}));
}

}  // namespace
}  // namespace os
