#pragma once
// The string operations the client's code is written against, with the meaning they have on
// MFC's CString in a multibyte build on code page 936, applied to std::string of GBK bytes.
// Positions and counts are byte offsets, as there. Searches, replacements, trimming and case
// changes step by GBK characters, so an ASCII byte that is the second half of a Chinese
// character ("丂" is 0x81 '@', "誠" is 0xD5 '\\') is never found, replaced, trimmed or
// changed on its own.

#include <cstdarg>
#include <string>
#include <string_view>

namespace os {

// printf-style formatting into a new string.
[[nodiscard]] std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
[[nodiscard]] std::string FormatV(const char* fmt, va_list args)
    __attribute__((format(printf, 1, 0)));

// Byte offset of the first match at or after `start` that begins (and ends) on a character
// boundary, or -1. A negative start or one past the end answers -1; an empty `sub` matches at
// `start`.
[[nodiscard]] int Find(std::string_view s, std::string_view sub, int start = 0);
[[nodiscard]] int Find(std::string_view s, char ch, int start = 0);
// Byte offset of the last single-byte character `ch`, or -1.
[[nodiscard]] int ReverseFind(std::string_view s, char ch);

// Substrings by byte offsets, clamped like CString: a negative offset or count counts as 0, a
// range past the end stops at the end. These do not look at character boundaries; use
// LeftBytes (gbk_chars.h) to cut text without splitting a character.
[[nodiscard]] std::string Mid(std::string_view s, int first);
[[nodiscard]] std::string Mid(std::string_view s, int first, int count);
[[nodiscard]] std::string Left(std::string_view s, int count);
[[nodiscard]] std::string Right(std::string_view s, int count);

// Blanks removed by the forms without a set.
inline constexpr std::string_view kWhitespace = " \t\r\n\v\f";

// Remove leading and/or trailing characters: whitespace, one character, or any character of a
// set (the set may hold GBK characters; each is matched whole).
[[nodiscard]] std::string Trim(std::string_view s);
[[nodiscard]] std::string Trim(std::string_view s, char ch);
[[nodiscard]] std::string Trim(std::string_view s, std::string_view set);
[[nodiscard]] std::string TrimLeft(std::string_view s);
[[nodiscard]] std::string TrimLeft(std::string_view s, char ch);
[[nodiscard]] std::string TrimLeft(std::string_view s, std::string_view set);
[[nodiscard]] std::string TrimRight(std::string_view s);
[[nodiscard]] std::string TrimRight(std::string_view s, char ch);
[[nodiscard]] std::string TrimRight(std::string_view s, std::string_view set);

// In-place edits; each returns how many occurrences it replaced or removed. Matches are taken
// left to right without overlapping; an empty `old` replaces nothing.
int Replace(std::string& s, std::string_view old, std::string_view with);
int Replace(std::string& s, char old, char with);
int Remove(std::string& s, char ch);

// ASCII letters outside double-byte characters change case; every other byte stays.
[[nodiscard]] std::string MakeLower(std::string_view s);
[[nodiscard]] std::string MakeUpper(std::string_view s);

// _mbsicmp: compares character by character, ASCII letters without regard to case; a
// double-byte character compares by both its bytes and sorts after every single byte.
// Returns -1, 0 or 1.
[[nodiscard]] int MbsICmp(std::string_view a, std::string_view b);
[[nodiscard]] inline int CompareNoCase(std::string_view a, std::string_view b) {
    return MbsICmp(a, b);
}
[[nodiscard]] inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    return MbsICmp(a, b) == 0;
}

}  // namespace os
