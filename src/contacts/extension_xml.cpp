#include "contacts/extension_xml.h"

#include <array>
#include <utility>

#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace contacts {

std::string EscapeXmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    // Every byte of interest is ASCII below 0x40, so it is never a GBK trail byte.
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string UnescapeXmlText(std::string_view text) {
    static constexpr std::array<std::pair<std::string_view, char>, 5> kEntities{
        {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}}};
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const int length = os::GbkCharLength(text, pos);
        if (length == 1 && text[pos] == '&') {
            bool replaced = false;
            for (const auto& [entity, character] : kEntities) {
                if (text.substr(pos, entity.size()) == entity) {
                    out += character;
                    pos += entity.size();
                    replaced = true;
                    break;
                }
            }
            if (replaced) continue;
        }
        out.append(text.substr(pos, static_cast<std::size_t>(length)));
        pos += static_cast<std::size_t>(length);
    }
    return out;
}

std::string TagValue(std::string_view xml, std::string_view name) {
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    const int start = os::Find(xml, open);
    if (start < 0) return {};
    const int valueStart = start + static_cast<int>(open.size());
    const int end = os::Find(xml, close, valueStart);
    if (end < 0) return {};
    return UnescapeXmlText(xml.substr(static_cast<std::size_t>(valueStart),
                                      static_cast<std::size_t>(end - valueStart)));
}

std::vector<std::string> SplitList(std::string_view text) {
    // One walk over the characters: a ';' is ASCII, so it is a separator only where a
    // character starts, never as a trail byte.
    std::vector<std::string> items;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ';') {
            if (pos > start) items.emplace_back(text.substr(start, pos - start));
            start = ++pos;
            continue;
        }
        pos += static_cast<std::size_t>(os::GbkCharLength(text, pos));
    }
    if (pos > start) items.emplace_back(text.substr(start));
    return items;
}

std::string JoinList(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += ';';
        out += items[i];
    }
    return out;
}

}  // namespace contacts
