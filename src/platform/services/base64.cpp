#include "platform/services/base64.h"

#include <array>
#include <cstdint>

namespace platform {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> MakeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& v : table) v = -1;
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}
constexpr auto kDecode = MakeDecodeTable();

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16 |
                          static_cast<unsigned char>(bytes[i + 1]) << 8 |
                          static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
        out += kAlphabet[v & 63];
    }
    size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += rest == 2 ? kAlphabet[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t bits = 0;
    int count = 0;    // sextets in `bits`
    int padding = 0;  // '=' seen
    size_t symbols = 0;
    for (char c : text) {
        if (IsBlank(c)) continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        int value = kDecode[static_cast<unsigned char>(c)];
        if (value < 0 || padding > 0) return std::nullopt;  // bad character, or data after '='
        ++symbols;
        bits = bits << 6 | static_cast<std::uint32_t>(value);
        if (++count == 4) {
            out += static_cast<char>(bits >> 16 & 0xFF);
            out += static_cast<char>(bits >> 8 & 0xFF);
            out += static_cast<char>(bits & 0xFF);
            bits = 0;
            count = 0;
        }
    }
    // A group may end early by two (one byte) or three (two bytes) symbols; padding, when
    // present, must complete it to four.
    if (count == 1) return std::nullopt;
    if (padding > 0 && (count == 0 || (symbols + padding) % 4 != 0)) return std::nullopt;
    if (count == 2) {
        out += static_cast<char>(bits >> 4 & 0xFF);
    } else if (count == 3) {
        out += static_cast<char>(bits >> 10 & 0xFF);
        out += static_cast<char>(bits >> 2 & 0xFF);
    }
    return out;
}

}  // namespace platform
