#include "platform/store/store_text.h"

#include <algorithm>

#include "os/text/gbk_codec.h"
#include "platform/jid/jid.h"

namespace store {
namespace {

// Bytes below 0x80 mean the same in GBK and UTF-8; most JIDs, times and ids are plain ASCII,
// so they skip the codec.
bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

bool ToDbText(std::string_view gbk, std::string& utf8) {
    if (IsAscii(gbk)) {
        utf8.assign(gbk);
        return true;
    }
    return os::GbkToUtf8(gbk, utf8);
}

std::string FromDbText(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string gbk;
    if (os::Utf8ToGbk(utf8, gbk)) return gbk;
    return os::Utf8ToGbkLossy(utf8);
}

bool ToDbJidKey(std::string_view gbkJid, std::string& utf8Key) {
    // The whole JID must be GBK, the part the key drops too. The key is worked out on GBK
    // text: the rules step by GBK characters, and the UTF-8 bytes of a Chinese character
    // could be taken for a GBK character holding an ASCII byte.
    if (!ToDbText(gbkJid, utf8Key) || !ToDbText(platform::Jid(gbkJid).StoreKey(), utf8Key)) {
        utf8Key.clear();
        return false;
    }
    return true;
}

bool DbJidKeyOfDbText(std::string_view utf8Jid, std::string& utf8Key) {
    std::string gbk;
    if (IsAscii(utf8Jid)) {
        gbk.assign(utf8Jid);
    } else if (!os::Utf8ToGbk(utf8Jid, gbk)) {
        utf8Key.clear();
        return false;
    }
    return ToDbJidKey(gbk, utf8Key);
}

}  // namespace store
