// MarkLinks works the link rules out on a copy and writes the range back once. These tests
// hold it to the rules applied the plain way, one link at a time in the view itself, on
// texts built from the pieces the rules react to (with objects, Chinese text, links already
// there and text after the range). Its cost is measured in bench/chat_encoding_bench.cpp.

#include "chat/encoding/links.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "chat/encoding/text_scan.h"
#include "os/controls/rich_edit.h"
#include "os/text/cstring_ops.h"
#include "support/case_name.h"
#include "support/gbk_print.h"

namespace chat_links_test {
namespace {

// The rules as written, applied in the view: each anchor replaced where it stands, then each
// address marked unless it starts inside a link.
int PlainMarkLinks(os::RichEdit& view, int start, int end) {
    if (end < 0 || end > view.GetTextLength()) end = view.GetTextLength();
    if (start >= end) return end;
    auto position = [&](std::size_t base, std::size_t offset) {
        return view.PositionFromByteOffset(base + offset);
    };
    std::size_t base = view.ByteOffsetFromPosition(start);
    std::string text = view.GetTextRange(start, end);
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = chat::scan::FindFrom(text, "<a", from);
        if (open == chat::scan::npos) break;
        const std::size_t href = chat::scan::FindFrom(text, "href=", open + 2);
        if (href == chat::scan::npos) break;
        const std::size_t close = chat::scan::FindFrom(text, ">", href + 5);
        if (close == chat::scan::npos) break;
        const std::size_t finish = chat::scan::FindFrom(text, "</a>", close + 1);
        if (finish == chat::scan::npos) break;
        std::string target = text.substr(href + 5, close - href - 5);
        os::Remove(target, '"');
        os::Remove(target, '\'');
        target = os::Trim(target);
        const int anchorStart = position(base, open);
        const int labelStart = position(base, close + 1);
        const int labelEnd = position(base, finish);
        const int anchorEnd = position(base, finish + 4);
        view.SetSel(labelEnd, anchorEnd);
        view.ReplaceSel("");
        view.SetSel(anchorStart, labelStart);
        view.ReplaceSel("");
        const int openTag = labelStart - anchorStart;
        if (labelEnd > labelStart) chat::MarkLink(view, anchorStart, labelEnd - openTag, target);
        end -= openTag + anchorEnd - labelEnd;
        text.erase(finish, 4);
        text.erase(open, close + 1 - open);
        from = finish - (close + 1 - open);
    }
    base = view.ByteOffsetFromPosition(start);
    text = view.GetTextRange(start, end);
    for (std::string_view prefix : {"http://", "ftp://", "www."}) {
        std::size_t found = chat::scan::FindFrom(text, prefix, 0);
        while (found != chat::scan::npos) {
            std::size_t stop = found + prefix.size();
            while (stop < text.size()) {
                const auto c = static_cast<unsigned char>(text[stop]);
                if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c >= 0x80) break;
                ++stop;
            }
            const int linkStart = position(base, found);
            if (!view.LinkAt(linkStart)) chat::MarkLink(view, linkStart, position(base, stop), {});
            found = chat::scan::FindFrom(text, prefix, stop);
        }
    }
    view.SetSel(-1, -1);
    return end;
}

// Everything a view holds, segment by segment: text or object, and the whole format.
std::string Picture(const os::RichEdit& view) {
    std::string out;
    view.ForEachSegment(0, -1, [&out](const os::RichSegment& s) {
        out += s.type == os::RichSegment::Type::Object
                   ? "{obj " + std::to_string(s.object.userValue) + "}"
                   : s.text;
        out += os::Format("[%x,%x,%d,%s,%s]", s.format.effects, s.format.color, s.format.height,
                          s.format.faceName.c_str(), s.format.linkTarget.c_str());
    });
    return out;
}

// Fills a view: text pieces in alternating formats, "@" an object, "L" a link already there.
void Fill(os::RichEdit& view, std::string_view pieces) {
    os::CharFormat bold;
    bold.mask = os::char_mask::kBold;
    bold.effects = os::char_effect::kBold;
    os::CharFormat plain;
    plain.mask = os::char_mask::kBold;
    bool odd = false;
    std::size_t at = 0;
    while (at < pieces.size()) {
        std::size_t next = pieces.find('|', at);
        if (next == std::string_view::npos) next = pieces.size();
        const std::string_view piece = pieces.substr(at, next - at);
        at = next + 1;
        view.SetSel(-1, -1);
        view.SetSelectionCharFormat((odd = !odd) ? bold : plain);
        if (piece == "@") {
            view.InsertObject({os::RichObjectKind::Face, 5, ""});
        } else if (piece == "L") {
            const int first = view.GetTextLength();
            view.ReplaceSel("old");
            chat::MarkLink(view, first, view.GetTextLength(), "t");
        } else {
            view.ReplaceSel(piece);
        }
    }
}

struct LinkCase {
    const char* name;
    const char* pieces;  // see Fill
    int start;
    int end;  // -1: to the end
};

class MarkLinksAgrees : public ::testing::TestWithParam<LinkCase> {};

TEST_P(MarkLinksAgrees, WithTheRulesAppliedOneLinkAtATime) {
    os::RichEdit expected(1);
    os::RichEdit actual(2);
    Fill(expected, GetParam().pieces);
    Fill(actual, GetParam().pieces);
    const int expectedEnd = PlainMarkLinks(expected, GetParam().start, GetParam().end);
    EXPECT_EQ(chat::MarkLinks(actual, GetParam().start, GetParam().end), expectedEnd);
    EXPECT_GBK_EQ(Picture(actual), Picture(expected));
    EXPECT_EQ(actual.GetObjectCount(), expected.GetObjectCount());
}

const LinkCase kLinkCases[] = {
    {"address and anchor", "看 http://a.com/x |<a href=\" y \">入口</a>| www.b", 0, -1},
    {"anchor label with an object", "<a href='x'>看|@|</a>|<a href=z>二</a>", 0, -1},
    {"empty label leaves no link", "a<a href=x></a>b http://c", 0, -1},
    {"address running into an anchor's label", "http://x<a href=y>lab</a> z", 0, -1},
    {"address inside a link already there", "L|www.q |http://r", 0, -1},
    {"range in the middle keeps the text after it", "ab www.c d|<a href=e>f</a>|tail http://g", 3,
     20},
    {"unfinished anchor", "<a href=x>y http://z", 0, -1},
    {"nothing to do", "你好|@|世界", 0, -1},
    {"address ends at Chinese text and objects", "www.a你|http://b|@|c", 0, -1},
};

INSTANTIATE_TEST_SUITE_P(Cases, MarkLinksAgrees, ::testing::ValuesIn(kLinkCases),
                         [](const auto& info) {
                             return testing_support::IndexedName(info.index, info.param.name);
                         });

TEST(MarkLinksAgreesOnMixedTexts, WithTheRulesAppliedOneLinkAtATime) {
    static constexpr std::string_view kTokens[] = {"<a",      " href=", "href='x'", ">",    "</a>",
                                                   "http://", "www.",   "ftp://",   " ",    "你",
                                                   "x",       "@",      "L",        "\r\n", "]"};
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        std::string pieces;
        const int count = 1 + static_cast<int>(random() % 24);
        for (int i = 0; i < count; ++i) {
            if (i > 0) pieces += random() % 3 == 0 ? "|" : "";
            pieces += kTokens[random() % std::size(kTokens)];
        }
        os::RichEdit expected(1);
        os::RichEdit actual(2);
        Fill(expected, pieces);
        Fill(actual, pieces);
        const int length = expected.GetTextLength();
        const int start = length > 0 ? static_cast<int>(random() % (length + 1)) : 0;
        const int end = random() % 2 == 0 ? -1 : start + static_cast<int>(random() % (length + 1));
        const int expectedEnd = PlainMarkLinks(expected, start, end);
        ASSERT_EQ(chat::MarkLinks(actual, start, end), expectedEnd) << pieces;
        ASSERT_EQ(Picture(actual), Picture(expected)) << testing_support::DisplayGbk(pieces);
    }
}

}  // namespace
}  // namespace chat_links_test
