#include "chat/encoding/view_inserter.h"

#include <string>

#include "chat/encoding/font_header.h"
#include "chat/encoding/links.h"
#include "chat/encoding/markers.h"
#include "chat/encoding/text_scan.h"
#include "os/controls/rich_edit.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace chat {
namespace {

constexpr int kFaceMarkerBytes = 6;  // "#(nn)#"
constexpr int kPictureNumber = -2;
constexpr int kOfflineFileNumber = -3;

// A picture name names a file in the temp folder; one that reaches elsewhere is not shown.
bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return scan::FindFrom(name, "/", 0) == scan::npos &&
           scan::FindFrom(name, "\\", 0) == scan::npos;
}

// Walks the inserted text once from left to right, keeping the view position of the byte it
// stands at. The view and the text differ only where markers were replaced: `shift` holds
// how many positions those replacements added or removed.
class MarkerCursor {
  public:
    MarkerCursor(const std::string& text, int start) : text_(text), start_(start) {}

    // Moves to byte `offset` (a character boundary at or after the current one).
    void MoveTo(std::size_t offset) {
        while (offset_ < offset) {
            offset_ += static_cast<std::size_t>(os::GbkCharLength(text_, offset_));
            ++chars_;
        }
    }
    int ViewPosition() const { return start_ + chars_ + shift_; }
    void AddShift(int delta) { shift_ += delta; }

  private:
    const std::string& text_;
    int start_;
    std::size_t offset_ = 0;
    int chars_ = 0;
    int shift_ = 0;
};

// Selects the marker [from, to) of the text in the view and lets `put` replace it.
template <typename Put>
void ReplaceMarker(os::RichEdit& view, MarkerCursor& cursor, std::size_t from, std::size_t to,
                   Put put) {
    cursor.MoveTo(from);
    int first = cursor.ViewPosition();
    cursor.MoveTo(to);
    int last = cursor.ViewPosition();
    int lengthBefore = view.GetTextLength();
    view.SetSel(first, last);
    put();
    cursor.AddShift(view.GetTextLength() - lengthBefore);
}

// The "]" that closes the bracketed marker at `p`, or npos.
std::size_t ClosingBracket(const std::string& text, std::size_t p) {
    std::size_t close = scan::FindFrom(text, "]", p);
    if (close == scan::npos || close < p + kFaceMarkerBytes) return scan::npos;
    return close;
}

std::string_view BracketContent(const std::string& text, std::size_t p, std::size_t close) {
    std::size_t first = p + kFaceMarkerBytes + 1;
    if (close <= first) return {};
    return std::string_view(text).substr(first, close - first);
}

// Shows only the offline-file objects of a text that was not inserted, at the end.
void PutOfflineFiles(os::RichEdit& view, const std::string& text, MarkerObjects& objects) {
    std::size_t p = scan::FindFrom(text, kOfflineFileMarker, 0);
    while (p != scan::npos) {
        std::size_t close = ClosingBracket(text, p);
        if (close == scan::npos) {
            p = scan::FindFrom(text, kOfflineFileMarker, p + 2);
            continue;
        }
        view.SetSel(-1, -1);
        objects.PutOfflineFile(view, BracketContent(text, p, close));
        p = scan::FindFrom(text, kOfflineFileMarker, close + 1);
    }
}

void ReplaceMarkers(os::RichEdit& view, const std::string& text, int start, InsertMode mode,
                    MarkerObjects& objects) {
    MarkerCursor cursor(text, start);
    std::size_t p = scan::FindFrom(text, kMarkerStart, 0);
    while (p != scan::npos) {
        std::size_t next = p + 2;
        int number = scan::ParseInt(std::string_view(text).substr(p + 2, 2));
        bool closed = text.compare(std::min(p + 4, text.size()), 2, ")#") == 0;
        if (closed && number >= 0) {
            ReplaceMarker(view, cursor, p, p + kFaceMarkerBytes,
                          [&] { objects.PutFace(view, number); });
            next = p + kFaceMarkerBytes;
        } else if (closed && (number == kPictureNumber || number == kOfflineFileNumber)) {
            std::size_t close = ClosingBracket(text, p);
            std::string_view content =
                close == scan::npos ? std::string_view() : BracketContent(text, p, close);
            if (close != scan::npos && number == kOfflineFileNumber) {
                ReplaceMarker(view, cursor, p, close + 1,
                              [&] { objects.PutOfflineFile(view, content); });
                next = close + 1;
            } else if (close != scan::npos && IsPlainFileName(content)) {
                ReplaceMarker(view, cursor, p, close + 1,
                              [&] { objects.PutPicture(view, content, mode); });
                next = close + 1;
            }
        }
        p = scan::FindFrom(text, kMarkerStart, next);
    }
}

}  // namespace

void InsertEncodedText(os::RichEdit& view, std::string_view encoded, InsertMode mode,
                       MarkerObjects& objects) {
    const int start = view.GetTextLength();
    view.SetSel(start, start);

    std::string text(encoded);
    std::string header;
    std::size_t headerAt = scan::FindFrom(text, kFontHeaderStart, 0);
    if (headerAt != scan::npos) {
        std::size_t close = scan::FindFrom(text, ")", headerAt + kFontHeaderStart.size());
        if (close == scan::npos) {
            headerAt = scan::npos;
        } else {
            header = text.substr(headerAt, close + 1 - headerAt);
            os::Replace(text, header, "");
        }
    }

    bool offlineFile = scan::FindFrom(text, kOfflineFileMarker, 0) != scan::npos;
    if (!offlineFile) view.ReplaceSel(text);

    if (headerAt != scan::npos) {
        int headerStart =
            start + static_cast<int>(os::GbkCharCount(std::string_view(text).substr(0, headerAt)));
        view.SetSel(headerStart, -1);
        ApplyFontHeader(view, header);
    }

    if (offlineFile) {
        PutOfflineFiles(view, text, objects);
    } else {
        ReplaceMarkers(view, text, start, mode, objects);
        MarkLinks(view, start, -1);
    }
    view.SetSel(-1, -1);
}

}  // namespace chat
