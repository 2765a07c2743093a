#include "platform/store/store_text.h"

#include <algorithm>

#include "os/text/gbk_codec.h"

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

std::string JidKey(std::string_view utf8Jid) {
    std::size_t slash = utf8Jid.find('/');
    if (slash != std::string_view::npos && slash > 0) utf8Jid = utf8Jid.substr(0, slash);
    std::string key(utf8Jid);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

}  // namespace store
