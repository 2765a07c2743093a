#pragma once
// Links in a message view: anchors written as <a href=...>text</a> and addresses that begin
// with "http://", "ftp://" or "www.". Links are blue and carry the link effect; an anchor's
// link also carries its target.

#include <cstdint>
#include <string_view>

#include "os/controls/char_format.h"

namespace os {
class RichEdit;
}

namespace chat {

inline constexpr std::uint32_t kLinkColor = os::Rgb(0, 0, 255);

// Gives [start, end) the link effect and the link colour; `target` may be empty (the link then
// leads to its own text).
void MarkLink(os::RichEdit& view, int start, int end, std::string_view target);

// Runs the link rules over [start, end) of the view (end −1 = the end of the text):
// 1. each "<a" … "href=" … ">" … "</a>" (each part searched after the one before) is replaced
//    by the text between ">" and "</a>", made a link to the text after "href=" up to ">"
//    without quotes and surrounding blanks;
// 2. for "http://", "ftp://" and "www." in turn, each occurrence not already inside a link
//    starts a link that runs up to the first blank, tab, line break, object or non-ASCII
//    character after the prefix, or to the end of the range.
// Anchors go first so that an address inside an anchor's href cannot spill a link past the
// anchor's end. Returns the end of the range after the anchors were replaced.
int MarkLinks(os::RichEdit& view, int start, int end = -1);

}  // namespace chat
