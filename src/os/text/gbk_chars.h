#pragma once
// Character boundaries in GBK (code page 936) text. A lead byte 0x81-0xFE followed by a trail
// byte 0x40-0x7E or 0x80-0xFE forms one double-byte character; every other byte stands alone.
// Trail bytes overlap ASCII ('@', '[', '\\', ']', '|', letters), so any search or edit that
// steps through GBK text byte by byte must step by characters instead.

#include <cstddef>
#include <string>
#include <string_view>

namespace os {

constexpr bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

constexpr bool IsGbkTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

// Length in bytes of the character that starts at `pos`: 2 for a lead byte followed by a trail
// byte, 1 for any other byte, 0 when `pos` is at or past the end.
constexpr int GbkCharLength(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) return 0;
    if (pos + 1 < s.size() && IsGbkLeadByte(static_cast<unsigned char>(s[pos])) &&
        IsGbkTrailByte(static_cast<unsigned char>(s[pos + 1]))) {
        return 2;
    }
    return 1;
}

// The last character boundary at or before `pos` (s.size() for any pos past the end). Scans
// from the start, since a trail byte cannot be told from a lead byte by looking backwards.
std::size_t CharBoundaryAtOrBefore(std::string_view s, std::size_t pos);

// The longest prefix of `s` of at most `maxBytes` bytes that ends on a character boundary.
std::string LeftBytes(std::string_view s, std::size_t maxBytes);

// Number of characters (double-byte characters count once).
std::size_t GbkCharCount(std::string_view s);

// True when every byte is ASCII (0x00-0x7F), the euro sign 0x80 that code page 936 adds, or
// part of a lead/trail pair. This checks the structure only; a well-formed pair the code page
// leaves unassigned still passes.
bool IsValidGbk(std::string_view s);

}  // namespace os
