#include "chat/encoding/text_scan.h"

#include <limits>

#include "os/text/gbk_chars.h"

namespace chat::scan {

std::size_t FindFrom(std::string_view s, std::string_view needle, std::size_t from) {
    std::size_t boundary = from;
    while (boundary <= s.size()) {
        std::size_t candidate = s.find(needle, boundary);
        if (candidate == npos) return npos;
        while (boundary < candidate)
            boundary += static_cast<std::size_t>(os::GbkCharLength(s, boundary));
        if (boundary == candidate) return candidate;
        // The candidate began on the trail byte of a character: look again past it.
    }
    return npos;
}

int ParseInt(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    long long value = 0;
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) return static_cast<int>(-value);
    return value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                   : static_cast<int>(value);
}

}  // namespace chat::scan
