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

// The key a message's sender or receiver is filed and looked up under: platform::Jid's
// StoreKey of the GBK JID, as database text. "Bob@Host/Desk", "bob@host", "wang@gover.host"
// and "wang$gov@host" file as "bob@host", "bob@host", "wang$gov@host", "wang$gov@host". False
// (and `utf8Key` empty) when `gbkJid` is not valid GBK.
bool ToDbJidKey(std::string_view gbkJid, std::string& utf8Key);

// The same key of a JID read from the database (UTF-8). False when the text has a character
// GBK lacks: it was not written by this store, and its key is best left as it is.
bool DbJidKeyOfDbText(std::string_view utf8Jid, std::string& utf8Key);

// `text` or "" for a null pointer.
inline std::string_view OrEmpty(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

}  // namespace store
