#include "os/text/gbk_chars.h"

namespace os {

std::size_t CharBoundaryAtOrBefore(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) return s.size();
    std::size_t at = 0;
    while (true) {
        std::size_t next = at + GbkCharLength(s, at);
        if (next > pos) return at;
        at = next;
    }
}

std::string LeftBytes(std::string_view s, std::size_t maxBytes) {
    return std::string(s.substr(0, CharBoundaryAtOrBefore(s, maxBytes)));
}

std::size_t GbkCharCount(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < s.size(); at += GbkCharLength(s, at)) ++count;
    return count;
}

bool IsValidGbk(std::string_view s) {
    for (std::size_t at = 0; at < s.size();) {
        int length = GbkCharLength(s, at);
        if (length == 1 && static_cast<unsigned char>(s[at]) > 0x80) return false;
        at += length;
    }
    return true;
}

}  // namespace os
