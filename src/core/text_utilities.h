#pragma once
// Three small text helpers that the client uses and also exports to its host.

#include <string>
#include <string_view>
#include <vector>

namespace core {

// Percent-encoding of a byte string: ASCII letters and digits are copied, every other byte
// (blank, punctuation, each byte of a GBK character) becomes '%' and two upper-case hex
// digits ("a b" -> "a%20b").
std::string UrlEncode(std::string_view text);

enum class EmptyTokens { Keep, Skip };

// Splits `text` at every character that occurs in `separators` (a set of separators, each
// one character) and appends the tokens to `out`; answers how many it appended. A text ending
// in a separator yields no empty last token; empty tokens elsewhere are kept or skipped as
// asked. An empty separator set appends the whole (non-empty) text. Works on GBK characters:
// the second byte of a Chinese character is never taken for a separator such as '|'.
int SplitStringToArray(std::string_view text, std::string_view separators,
                       std::vector<std::string>& out, EmptyTokens empty);

// Converts UTF-8 text to GBK in place. A character GBK lacks, or a byte that is not UTF-8,
// becomes '?'; the result is never longer than the input.
void ConvertUtf8ToGBK(std::string& text);

}  // namespace core
