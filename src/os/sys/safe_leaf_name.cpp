#include "os/sys/safe_leaf_name.h"

#include <array>
#include <vector>

#include "os/text/gbk_chars.h"
#include "os/text/gbk_codec.h"

namespace os {
namespace {

bool IsSeparator(std::string_view character) {
    return character.size() == 1 && (character[0] == '/' || character[0] == '\\');
}

bool IsForbiddenByte(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
           c == '>' || c == '|';
}

// One character of the name as it may stay, with its length in the file system's form.
struct CleanCharacter {
    std::string gbk;
    std::size_t nativeBytes = 1;
};

CleanCharacter Clean(std::string_view character) {
    if (character.size() == 1) {
        const auto c = static_cast<unsigned char>(character[0]);
        // A lone lead byte or the euro byte: not a character the file system can hold here.
        if (IsForbiddenByte(c) || c >= 0x80) return {"_", 1};
        return {std::string(character), 1};
    }
    std::string utf8;
    if (!GbkToUtf8(character, utf8) || utf8.empty()) return {"_", 1};
    return {std::string(character), utf8.size()};
}

bool IsDeviceName(std::string_view leaf) {
    const std::size_t dot = leaf.find('.');
    const std::string_view base = leaf.substr(0, dot);
    std::string upper;
    for (char c : base) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    for (std::string_view name : kPlain) {
        if (upper == name) return true;
    }
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

std::optional<std::string> SafeLeafName(std::string_view name) {
    // The characters after the last separator.
    std::vector<CleanCharacter> characters;
    for (std::size_t pos = 0; pos < name.size();) {
        const auto length = static_cast<std::size_t>(GbkCharLength(name, pos));
        const std::string_view character = name.substr(pos, length);
        pos += length;
        if (IsSeparator(character)) {
            characters.clear();
            continue;
        }
        characters.push_back(Clean(character));
    }
    auto isBlank = [](const CleanCharacter& c) { return c.gbk == " "; };
    auto isBlankOrDot = [](const CleanCharacter& c) { return c.gbk == " " || c.gbk == "."; };
    while (!characters.empty() && isBlankOrDot(characters.back())) characters.pop_back();
    std::size_t first = 0;
    while (first < characters.size() && isBlank(characters[first])) ++first;
    characters.erase(characters.begin(), characters.begin() + static_cast<std::ptrdiff_t>(first));
    if (characters.empty()) return std::nullopt;

    // A short extension is kept when the name has to be cut.
    std::size_t extension = characters.size();
    for (std::size_t i = characters.size(); i-- > 1;) {
        if (characters[i].gbk == ".") {
            if (characters.size() - i <= 16) extension = i;
            break;
        }
    }
    std::size_t extensionBytes = 0;
    for (std::size_t i = extension; i < characters.size(); ++i) {
        extensionBytes += characters[i].nativeBytes;
    }
    // A device name keeps room for its '_' prefix. Only the first few characters decide it, and
    // a cut never reaches them, so guarding the result again changes nothing.
    std::string whole;
    for (const CleanCharacter& c : characters) whole += c.gbk;
    const bool device = IsDeviceName(whole);
    std::string leaf;
    std::size_t nativeBytes = 0;
    const std::size_t stemBudget = kMaxLeafBytes - extensionBytes - (device ? 1 : 0);
    for (std::size_t i = 0; i < extension; ++i) {
        if (nativeBytes + characters[i].nativeBytes > stemBudget) break;
        nativeBytes += characters[i].nativeBytes;
        leaf += characters[i].gbk;
    }
    for (std::size_t i = extension; i < characters.size(); ++i) leaf += characters[i].gbk;
    // A cut may leave a stem ending in blanks or dots, or no stem at all.
    while (!leaf.empty() && (leaf.back() == ' ' || leaf.back() == '.')) leaf.pop_back();
    if (leaf.empty() || leaf == "." || leaf == "..") return std::nullopt;
    if (device) leaf.insert(0, "_");
    return leaf;
}

}  // namespace os
