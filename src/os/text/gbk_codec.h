#pragma once
// The one converter between the system's GBK text and UTF-8, for the edges that are UTF-8 by
// nature (database, log file, wire, the host's screen). Invalid input is reported, never
// guessed at.

#include <string>
#include <string_view>

namespace os {

// Converts GBK (code page 936, every double-byte code as Windows maps it: the user-defined
// areas to the Private Use Area) to UTF-8. Returns false and leaves `out` empty when `gbk`
// holds a byte sequence that is not GBK (a lone lead byte, a lead byte before a non-trail
// byte, 0xFF).
bool GbkToUtf8(std::string_view gbk, std::string& out);

// Converts UTF-8 to GBK. Returns false and leaves `out` empty when `utf8` is not valid UTF-8
// or holds a character that GBK cannot represent.
bool Utf8ToGbk(std::string_view utf8, std::string& out);

// Lenient forms for display and logging: each undecodable character (or stray byte) becomes
// one '?' and the rest converts normally. Never use these for stored or transmitted data.
std::string GbkToUtf8Lossy(std::string_view gbk);
std::string Utf8ToGbkLossy(std::string_view utf8);

}  // namespace os
