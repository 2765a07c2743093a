#pragma once
// Scanning helpers of this module. The marker loops walk long message texts once from left to
// right, so they search from a position already known to be a character boundary instead of
// re-walking the text from its start for every marker as os::Find must.

#include <cstddef>
#include <string_view>

namespace chat::scan {

inline constexpr std::size_t npos = std::string_view::npos;

// The first match of `needle` at or after `from` that begins on a character boundary, or npos.
// `from` must be a boundary (0, or just after an ASCII byte or a whole character).
std::size_t FindFrom(std::string_view s, std::string_view needle, std::size_t from);

// atoi: leading blanks, an optional sign, then the leading decimal digits; 0 when no digit
// follows. Saturates at the int range instead of overflowing.
int ParseInt(std::string_view s);

}  // namespace chat::scan
