#include "chat/encoding/plain_text.h"

#include "chat/encoding/markers.h"
#include "chat/encoding/text_scan.h"
#include "os/text/cstring_ops.h"

namespace chat {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsFaceMarkerAt(std::string_view text, std::size_t pos) {
    return pos + 6 <= text.size() && text[pos] == '#' && text[pos + 1] == '(' &&
           IsDigit(text[pos + 2]) && IsDigit(text[pos + 3]) && text[pos + 4] == ')' &&
           text[pos + 5] == '#';
}

}  // namespace

std::string FacesToLabel(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (IsFaceMarkerAt(text, pos)) {
            out += kFaceLabel;
            pos += 6;
        } else {
            out += text[pos];
            ++pos;
        }
    }
    return out;
}

std::string PicturesToLabel(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        std::size_t open = scan::FindFrom(text, kPictureMarkerOpen, pos);
        if (open == scan::npos) break;
        std::size_t close = scan::FindFrom(text, "]", open + kPictureMarkerOpen.size());
        if (close == scan::npos) break;
        out.append(text.substr(pos, open - pos));
        out += kPictureLabel;
        pos = close + 1;
    }
    out.append(text.substr(pos));
    return out;
}

std::string StripFontHeader(std::string_view text) {
    if (scan::FindFrom(text, kFontHeaderStart, 0) == scan::npos) return std::string(text);
    std::size_t close = scan::FindFrom(text, ")", 0);
    if (close == scan::npos) return std::string(text);
    return std::string(text.substr(close + 1));
}

std::string RemoveFirstFontHeader(std::string_view text) {
    std::size_t start = scan::FindFrom(text, kFontHeaderStart, 0);
    if (start == scan::npos) return std::string(text);
    std::size_t close = scan::FindFrom(text, ")", start + kFontHeaderStart.size());
    if (close == scan::npos) return std::string(text);
    std::string out(text.substr(0, start));
    out.append(text.substr(close + 1));
    return out;
}

std::string ToHistoryText(std::string_view text) {
    return FacesToLabel(RemoveFirstFontHeader(PicturesToLabel(text)));
}

std::string PrepareRecentHistoryBody(std::string_view body) {
    // Stored chat messages carry the sender's header in front of the body; the block shows
    // them in its own grey header, so the stored one must not appear as text.
    std::string text = os::Trim(body);
    if (text.starts_with(kFontHeaderStart)) text = os::Trim(StripFontHeader(text));
    if (scan::FindFrom(text, kOfflineFileMarker, 0) != scan::npos) return {};
    if (IsShake(text)) return std::string(kShakeLabel);
    return text;
}

}  // namespace chat
