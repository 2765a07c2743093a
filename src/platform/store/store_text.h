#pragma once
// Text at the store's edge: GBK in the API, UTF-8 in the database.

#include <string>
#include <string_view>

namespace store {

// GBK to UTF-8. False (and `utf8` empty) when `gbk` is not valid GBK. A null argument of the
// API arrives here as an empty view.
bool ToDbText(std::string_view gbk, std::string& utf8);

// UTF-8 read from the database back to GBK. The store only ever writes converted GBK, so this
// succeeds for everything it wrote; a character from elsewhere that GBK lacks becomes '?'.
std::string FromDbText(std::string_view utf8);

// The look-up key of a JID (UTF-8): the resource from the first "/" on is cut (unless the
// text starts with "/") and ASCII letters are lower-cased, so "Bob@Host/Desk" and "bob@host"
// find the same messages.
std::string JidKey(std::string_view utf8Jid);

// `text` or "" for a null pointer.
inline std::string_view OrEmpty(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

}  // namespace store
