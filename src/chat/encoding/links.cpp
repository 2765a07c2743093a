#include "chat/encoding/links.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chat/encoding/text_scan.h"
#include "os/controls/rich_edit.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace chat {
namespace {

constexpr std::array<std::string_view, 3> kAddressPrefixes = {"http://", "ftp://", "www."};
constexpr int kNoLink = -1;

std::string AnchorTarget(std::string_view href) {
    std::string target(href);
    os::Remove(target, '"');
    os::Remove(target, '\'');
    return os::Trim(target);
}

bool EndsAddress(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c >= 0x80;
}

// One piece of the range as the view holds it: a run of text in one format, or an object.
struct Piece {
    std::size_t from = 0;  // byte offsets into the range's text
    std::size_t to = 0;
    os::CharFormat format;
    std::optional<os::RichObject> object;
};

// A stretch of the range's text that stays, and the link it is made (kNoLink: none).
struct Kept {
    std::size_t from = 0;
    std::size_t to = 0;
    int link = kNoLink;
};

// The links rules worked out on a copy of the range, then written back to the view once.
// Replacing each anchor and marking each address in the view itself would move or split
// everything after it once per link: quadratic in a long message full of links.
class LinkPlan {
  public:
    LinkPlan(const os::RichEdit& view, int start, int end) {
        view.ForEachSegment(start, end, [this](const os::RichSegment& segment) {
            Piece piece;
            piece.from = text_.size();
            text_ += segment.text;
            piece.to = text_.size();
            piece.format = segment.format;
            if (segment.type == os::RichSegment::Type::Object) piece.object = segment.object;
            pieces_.push_back(std::move(piece));
        });
    }

    // Rule 1 on the range's text: each anchor leaves its label, a link to its target.
    void FindAnchors() {
        std::size_t kept = 0;
        std::size_t from = 0;
        for (;;) {
            std::size_t open = scan::FindFrom(text_, "<a", from);
            if (open == scan::npos) break;
            std::size_t href = scan::FindFrom(text_, "href=", open + 2);
            if (href == scan::npos) break;
            std::size_t close = scan::FindFrom(text_, ">", href + 5);
            if (close == scan::npos) break;
            std::size_t finish = scan::FindFrom(text_, "</a>", close + 1);
            if (finish == scan::npos) break;
            if (firstChange_ == scan::npos) firstChange_ = open;
            kept_.push_back({kept, open, kNoLink});
            int link = kNoLink;
            if (finish > close + 1) {
                link = static_cast<int>(targets_.size());
                targets_.push_back(
                    AnchorTarget(std::string_view(text_).substr(href + 5, close - href - 5)));
            }
            kept_.push_back({close + 1, finish, link});
            kept = from = finish + 4;
        }
        kept_.push_back({kept, text_.size(), kNoLink});
    }

    // The text once the anchors are replaced, with each byte's piece and link.
    void Compose() {
        shown_.reserve(text_.size());
        pieceOf_.reserve(text_.size());
        linkOf_.reserve(text_.size());
        std::size_t piece = 0;
        for (const Kept& stretch : kept_) {
            for (std::size_t at = stretch.from; at < stretch.to; ++at) {
                while (pieces_[piece].to <= at) ++piece;
                shown_ += text_[at];
                pieceOf_.push_back(static_cast<std::uint32_t>(piece));
                linkOf_.push_back(stretch.link);
            }
        }
    }

    // Rule 2 on the composed text: addresses not already inside a link become links.
    void FindAddresses() {
        for (std::string_view prefix : kAddressPrefixes) {
            std::size_t found = scan::FindFrom(shown_, prefix, 0);
            while (found != scan::npos) {
                std::size_t stop = found + prefix.size();
                while (stop < shown_.size() &&
                       !EndsAddress(static_cast<unsigned char>(shown_[stop])))
                    ++stop;
                if (!IsLink(found)) {
                    const int link = static_cast<int>(targets_.size());
                    targets_.emplace_back();
                    for (std::size_t at = found; at < stop; ++at) linkOf_[at] = link;
                    // Before the first anchor the composed text is the range's own.
                    firstChange_ = std::min(firstChange_, std::min(found, FirstAnchor()));
                }
                found = scan::FindFrom(shown_, prefix, stop);
            }
        }
    }

    // Writes the composed range back and answers its new end. `tail` is what followed the
    // range. From the first anchor on the text changes: it is written again piece by piece
    // (the text before it stays as it is). Then the links are marked in the order of their
    // places, so that each one splits only the last format run of the view.
    int WriteBack(os::RichEdit& view, int start, const std::vector<os::RichSegment>& tail) {
        if (firstChange_ == scan::npos) return start + PositionsIn(shown_.size());
        const std::size_t limit = view.textLimit();
        view.LimitText(0);  // nothing grows: the limit must not cut what is written back
        int newEnd = 0;
        if (const std::size_t anchor = FirstAnchor(); anchor != scan::npos) {
            view.SetSel(start + PositionsIn(anchor), -1);
            view.ReplaceSel("");
            std::size_t at = anchor;
            while (at < shown_.size()) {
                const std::uint32_t piece = pieceOf_[at];
                std::size_t stop = at + 1;
                if (!pieces_[piece].object) {
                    while (stop < shown_.size() && pieceOf_[stop] == piece) ++stop;
                }
                Append(view, pieces_[piece], std::string_view(shown_).substr(at, stop - at));
                at = stop;
            }
            newEnd = view.GetTextLength();
            for (const os::RichSegment& segment : tail) {
                Piece piece;
                piece.format = segment.format;
                if (segment.type == os::RichSegment::Type::Object) piece.object = segment.object;
                Append(view, piece, segment.text);
            }
        } else {
            newEnd = start + PositionsIn(shown_.size());
        }
        int position = start;
        std::size_t at = 0;
        while (at < shown_.size()) {
            const int link = linkOf_[at];
            const int first = position;
            do {
                at += static_cast<std::size_t>(os::GbkCharLength(shown_, at));
                ++position;
            } while (at < shown_.size() && linkOf_[at] == link);
            if (link != kNoLink)
                MarkLink(view, first, position, targets_[static_cast<std::size_t>(link)]);
        }
        view.LimitText(limit);
        return newEnd;
    }

  private:
    static void Append(os::RichEdit& view, const Piece& piece, std::string_view text) {
        view.SetSel(-1, -1);
        os::CharFormat format = piece.format;
        format.mask = os::char_mask::kAll;
        view.SetSelectionCharFormat(format);
        if (piece.object) {
            view.InsertObject(*piece.object);
        } else {
            view.ReplaceSel(text);
        }
    }

    bool IsLink(std::size_t at) const {
        return linkOf_[at] != kNoLink || pieces_[pieceOf_[at]].format.Has(os::char_effect::kLink);
    }

    std::size_t FirstAnchor() const { return kept_.size() > 1 ? kept_.front().to : scan::npos; }

    // How many view positions the first `bytes` bytes of the composed text hold.
    int PositionsIn(std::size_t bytes) const {
        int positions = 0;
        for (std::size_t at = 0; at < bytes;
             at += static_cast<std::size_t>(os::GbkCharLength(shown_, at)))
            ++positions;
        return positions;
    }

    std::string text_;
    std::vector<Piece> pieces_;
    std::vector<Kept> kept_;
    std::vector<std::string> targets_;
    std::string shown_;
    std::vector<std::uint32_t> pieceOf_;
    std::vector<int> linkOf_;
    std::size_t firstChange_ = scan::npos;
};

bool MayHoldLinks(std::string_view text) {
    if (scan::FindFrom(text, "<a", 0) != scan::npos) return true;
    for (std::string_view prefix : kAddressPrefixes) {
        if (scan::FindFrom(text, prefix, 0) != scan::npos) return true;
    }
    return false;
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
    if (MayHoldLinks(view.GetTextRange(start, end))) {
        LinkPlan plan(view, start, end);
        plan.FindAnchors();
        plan.Compose();
        plan.FindAddresses();
        const std::vector<os::RichSegment> tail =
            end < view.GetTextLength() ? view.Segments(end, -1) : std::vector<os::RichSegment>{};
        end = plan.WriteBack(view, start, tail);
    }
    view.SetSel(-1, -1);
    return end;
}

}  // namespace chat
