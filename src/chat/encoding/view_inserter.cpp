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

// A picture name names a file in the temp folder; one that reaches elsewhere is not shown.
bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return scan::FindFrom(name, "/", 0) == scan::npos &&
           scan::FindFrom(name, "\\", 0) == scan::npos;
}

// Appends the inserted text to the end of the view piece by piece, so that each marker is
// replaced where nothing follows it: replacing markers inside text already shown would move
// the rest of the view once per marker. Text before the header's place takes the view's
// insertion format, text from there on that format with the header applied.
class Appender {
  public:
    Appender(os::RichEdit& view, const std::string& text, std::size_t headerAt,
             const std::string& header)
        : view_(view), text_(text), headerAt_(headerAt) {
        before_ = view.GetSelectionCharFormat();
        before_.mask = os::char_mask::kAll;
        after_ = before_;
        if (headerAt_ != scan::npos) {
            // The header applied to one character in the insertion format.
            os::RichEdit probe(0);
            probe.SetDefaultCharFormat(before_);
            probe.SetText("x");
            probe.SetSel(0, 1);
            ApplyFontHeader(probe, header);
            after_ = probe.GetCharFormatAt(0);
            after_.mask = os::char_mask::kAll;
        }
    }

    // Appends the literal text [from, to).
    void Text(std::size_t from, std::size_t to) {
        if (headerAt_ != scan::npos && from < headerAt_ && headerAt_ < to) {
            Append(from, headerAt_);
            Append(headerAt_, to);
        } else {
            Append(from, to);
        }
    }

    // Lets `put` show the marker [from, to) at the end, in the format its first character
    // would have: what replacing the marker's text there would give, without writing the
    // text first. A marker `put` shows nothing for (a face number without a picture) stays
    // as text.
    template <typename Put>
    void Marker(std::size_t from, std::size_t to, Put put) {
        const int before = view_.GetTextLength();
        PutCaretAtEnd(from);
        put();
        if (view_.GetTextLength() == before) Text(from, to);
    }

  private:
    // The caret at the end, with the format of the text at `at`. What this class appends
    // ends in the format it last set, so the caret keeps it until the format changes.
    void PutCaretAtEnd(std::size_t at) {
        view_.SetSel(-1, -1);
        const os::CharFormat& format =
            headerAt_ != scan::npos && at >= headerAt_ ? after_ : before_;
        if (&format == lastFormat_) return;
        view_.SetSelectionCharFormat(format);
        lastFormat_ = &format;
    }

    void Append(std::size_t from, std::size_t to) {
        if (from >= to) return;
        PutCaretAtEnd(from);
        view_.ReplaceSel(std::string_view(text_).substr(from, to - from));
    }

    os::RichEdit& view_;
    const std::string& text_;
    std::size_t headerAt_;
    os::CharFormat before_;
    os::CharFormat after_;
    const os::CharFormat* lastFormat_ = nullptr;
};

// Finds the "]" that closes a bracketed marker. The markers are met from left to right, so
// the "]" found for one serves every later marker before it: each byte is looked at once.
class ClosingBrackets {
  public:
    explicit ClosingBrackets(const std::string& text) : text_(text) {}

    // The "]" that closes the bracketed marker at `p`, or npos.
    std::size_t For(std::size_t p) {
        if (!searched_ || (next_ != scan::npos && next_ < p)) {
            next_ = scan::FindFrom(text_, "]", p);
            searched_ = true;
        }
        if (next_ == scan::npos || next_ < p + kFaceMarkerBytes) return scan::npos;
        return next_;
    }

  private:
    const std::string& text_;
    bool searched_ = false;
    std::size_t next_ = scan::npos;
};

std::string_view BracketContent(const std::string& text, std::size_t p, std::size_t close) {
    std::size_t first = p + kFaceMarkerBytes + 1;
    if (close <= first) return {};
    return std::string_view(text).substr(first, close - first);
}

// Shows only the offline-file objects of a text that was not inserted, at the end.
void PutOfflineFiles(os::RichEdit& view, const std::string& text, MarkerObjects& objects) {
    ClosingBrackets brackets(text);
    std::size_t p = scan::FindFrom(text, kOfflineFileMarker, 0);
    while (p != scan::npos) {
        std::size_t close = brackets.For(p);
        if (close == scan::npos) {
            p = scan::FindFrom(text, kOfflineFileMarker, p + 2);
            continue;
        }
        view.SetSel(-1, -1);
        objects.PutOfflineFile(view, BracketContent(text, p, close));
        p = scan::FindFrom(text, kOfflineFileMarker, close + 1);
    }
}

// Appends a text that holds no offline-file marker (such a text goes to PutOfflineFiles),
// with its faces and pictures as objects.
void AppendWithMarkers(os::RichEdit& view, const std::string& text, std::size_t headerAt,
                       const std::string& header, InsertMode mode, MarkerObjects& objects) {
    Appender out(view, text, headerAt, header);
    ClosingBrackets brackets(text);
    std::size_t written = 0;  // text before this is in the view
    std::size_t p = scan::FindFrom(text, kMarkerStart, 0);
    while (p != scan::npos) {
        std::size_t next = p + 2;
        int number = scan::ParseInt(std::string_view(text).substr(p + 2, 2));
        bool closed = text.compare(std::min(p + 4, text.size()), 2, ")#") == 0;
        if (closed && number >= 0) {
            out.Text(written, p);
            out.Marker(p, p + kFaceMarkerBytes, [&] { objects.PutFace(view, number); });
            written = next = p + kFaceMarkerBytes;
        } else if (closed && number == kPictureNumber) {
            std::size_t close = brackets.For(p);
            if (close != scan::npos && IsPlainFileName(BracketContent(text, p, close))) {
                std::string_view name = BracketContent(text, p, close);
                out.Text(written, p);
                out.Marker(p, close + 1, [&] { objects.PutPicture(view, name, mode); });
                written = next = close + 1;
            }
        }
        p = scan::FindFrom(text, kMarkerStart, next);
    }
    out.Text(written, text.size());
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

    if (scan::FindFrom(text, kOfflineFileMarker, 0) != scan::npos) {
        // Not shown as text: only its offline-file objects, in the header's format.
        if (headerAt != scan::npos) {
            view.SetSel(-1, -1);
            ApplyFontHeader(view, header);
        }
        PutOfflineFiles(view, text, objects);
    } else {
        AppendWithMarkers(view, text, headerAt, header, mode, objects);
        MarkLinks(view, start, -1);
    }
    view.SetSel(-1, -1);
}

}  // namespace chat
