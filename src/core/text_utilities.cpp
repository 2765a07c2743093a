#include "core/text_utilities.h"

#include "os/text/gbk_chars.h"
#include "os/text/gbk_codec.h"

namespace core {
namespace {

bool IsAsciiAlphanumeric(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Whether the character `ch` (one or two bytes) is one of the characters of `set`.
bool InCharacterSet(std::string_view ch, std::string_view set) {
    for (std::size_t at = 0; at < set.size();) {
        const int length = os::GbkCharLength(set, at);
        if (set.substr(at, static_cast<std::size_t>(length)) == ch) return true;
        at += static_cast<std::size_t>(length);
    }
    return false;
}

// Offset of the first character of `text` that is in `set`, or npos. Steps by GBK
// characters, so the second byte of a Chinese character never counts as a separator.
std::size_t FindFirstOf(std::string_view text, std::string_view set) {
    for (std::size_t at = 0; at < text.size();) {
        const int length = os::GbkCharLength(text, at);
        if (InCharacterSet(text.substr(at, static_cast<std::size_t>(length)), set)) return at;
        at += static_cast<std::size_t>(length);
    }
    return std::string_view::npos;
}

}  // namespace

std::string UrlEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsAsciiAlphanumeric(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

int SplitStringToArray(std::string_view text, std::string_view separators,
                       std::vector<std::string>& out, EmptyTokens empty) {
    int appended = 0;
    auto append = [&](std::string_view token) {
        if (token.empty() && empty == EmptyTokens::Skip) return;
        out.emplace_back(token);
        ++appended;
    };
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t at = FindFirstOf(rest, separators);
        if (at == std::string_view::npos) break;
        append(rest.substr(0, at));
        rest.remove_prefix(at + static_cast<std::size_t>(os::GbkCharLength(rest, at)));
    }
    if (!rest.empty()) append(rest);
    return appended;
}

void ConvertUtf8ToGBK(std::string& text) { text = os::Utf8ToGbkLossy(text); }

}  // namespace core
