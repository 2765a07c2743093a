#pragma once
// The tokenizer of the message search index ("qorv_bigram"): every character of a text starts
// one token, the pair of it and the next character, or the character alone when it is the
// last. A keyword of two or more characters is then the phrase of its pairs, and a keyword of
// one character a prefix query, so the index answers exactly what a substring search does,
// for keywords of any length. The text is the database's UTF-8 (a character is one UTF-8
// sequence); ASCII letters are folded to lower case, as the substring search ignores ASCII case.

#include <sqlite3.h>

#include <string>

namespace store {

inline constexpr const char* kBigramTokenizerName = "qorv_bigram";

// Registers the tokenizer on `db` (once per connection, before the index is used).
int RegisterBigramTokenizer(sqlite3* db);

// The full-text query that finds the messages whose indexed text contains `keyword` (UTF-8,
// not empty).
std::string BigramMatchQuery(const std::string& keyword);

}  // namespace store
