#pragma once
// Strings across the C boundary, as exports.h states the convention: GBK in through
// `const char*` (null reads as ""), out through a caller buffer (char* buf, int cap).

#include <string>
#include <string_view>

// The text behind `text`, or "" for a null pointer.
inline std::string_view InText(const char* text) noexcept {
    return text != nullptr ? std::string_view(text) : std::string_view();
}

// Writes `value` into `buf` (at most cap-1 bytes, never half a GBK character, then a zero)
// and answers the length the whole value needs. A null buffer or a cap below 1 writes nothing.
// Allocates nothing, so it cannot throw.
int CopyOut(std::string_view value, char* buf, int cap) noexcept;
