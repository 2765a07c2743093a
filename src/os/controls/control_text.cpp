#include "os/controls/control_text.h"

#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace os::control_text {

std::string ReplaceLoneLeadBytes(std::string_view text) {
    std::string out(text);
    for (std::size_t at = 0; at < out.size();) {
        int length = GbkCharLength(out, at);
        if (length == 1 && IsGbkLeadByte(static_cast<unsigned char>(out[at]))) out[at] = '?';
        at += static_cast<std::size_t>(length);
    }
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    // Case folding keeps byte lengths, so the prefix must end on a character boundary of text.
    if (CharBoundaryAtOrBefore(text, prefix.size()) != prefix.size()) return false;
    return CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace os::control_text
