#include "chat/encoding/links.h"

#include <array>
#include <string>

#include "chat/encoding/text_scan.h"
#include "os/controls/rich_edit.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace chat {
namespace {

// A copy of the view's text from `start` on, kept equal to it while anchors are replaced in
// both, with its byte offsets mapped to view positions.
struct RangeText {
    RangeText(const os::RichEdit& view, int start, int end)
        : view(view),
          base(view.ByteOffsetFromPosition(start)),
          text(view.GetTextRange(start, end)) {}

    int Position(std::size_t offset) const { return view.PositionFromByteOffset(base + offset); }

    const os::RichEdit& view;
    std::size_t base;
    std::string text;
};

std::string AnchorTarget(std::string_view href) {
    std::string target(href);
    os::Remove(target, '"');
    os::Remove(target, '\'');
    return os::Trim(target);
}

bool EndsAddress(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c >= 0x80;
}

// Replaces every anchor in [start, end) and answers the new end.
int ReplaceAnchors(os::RichEdit& view, int start, int end) {
    RangeText range(view, start, end);
    std::string& text = range.text;
    std::size_t from = 0;
    for (;;) {
        std::size_t open = scan::FindFrom(text, "<a", from);
        if (open == scan::npos) break;
        std::size_t href = scan::FindFrom(text, "href=", open + 2);
        if (href == scan::npos) break;
        std::size_t close = scan::FindFrom(text, ">", href + 5);
        if (close == scan::npos) break;
        std::size_t finish = scan::FindFrom(text, "</a>", close + 1);
        if (finish == scan::npos) break;

        // Take out the tags around the label; the label keeps its objects and formats.
        std::string target =
            AnchorTarget(std::string_view(text).substr(href + 5, close - href - 5));
        int anchorStart = range.Position(open);
        int labelStart = range.Position(close + 1);
        int labelEnd = range.Position(finish);
        int anchorEnd = range.Position(finish + 4);
        int openTag = labelStart - anchorStart;
        int closeTag = anchorEnd - labelEnd;
        view.SetSel(labelEnd, anchorEnd);
        view.ReplaceSel("");
        view.SetSel(anchorStart, labelStart);
        view.ReplaceSel("");
        if (labelEnd > labelStart) MarkLink(view, anchorStart, labelEnd - openTag, target);
        end -= openTag + closeTag;

        text.erase(finish, 4);
        text.erase(open, close + 1 - open);
        from = finish - (close + 1 - open);
    }
    return end;
}

void MarkAddresses(os::RichEdit& view, int start, int end) {
    static constexpr std::array<std::string_view, 3> kPrefixes = {"http://", "ftp://", "www."};
    RangeText range(view, start, end);
    const std::string& text = range.text;
    for (std::string_view prefix : kPrefixes) {
        std::size_t found = scan::FindFrom(text, prefix, 0);
        while (found != scan::npos) {
            std::size_t stop = found + prefix.size();
            while (stop < text.size() && !EndsAddress(static_cast<unsigned char>(text[stop])))
                ++stop;
            int linkStart = range.Position(found);
            if (!view.LinkAt(linkStart)) MarkLink(view, linkStart, range.Position(stop), {});
            found = scan::FindFrom(text, prefix, stop);
        }
    }
}

}  // namespace

void MarkLink(os::RichEdit& view, int start, int end, std::string_view target) {
    os::CharFormat link;
    link.mask = os::char_mask::kLink | os::char_mask::kColor;
    link.effects = os::char_effect::kLink;
    link.color = kLinkColor;
    link.linkTarget = target;
    view.SetSel(start, end);
    view.SetSelectionCharFormat(link);
}

int MarkLinks(os::RichEdit& view, int start, int end) {
    if (end < 0 || end > view.GetTextLength()) end = view.GetTextLength();
    if (start < 0) start = 0;
    if (start >= end) return end;
    end = ReplaceAnchors(view, start, end);
    MarkAddresses(view, start, end);
    view.SetSel(-1, -1);
    return end;
}

}  // namespace chat
