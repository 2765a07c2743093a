#include "login/password_scrambler.h"

#include <random>

namespace login {
namespace {

constexpr std::uint64_t kProgramKey = 0x51A7C0DE5EC4E7ULL;
constexpr std::size_t kSaltDigits = 8;
constexpr char kHexDigits[] = "0123456789ABCDEF";

class KeyStream {
  public:
    explicit KeyStream(std::uint32_t salt) : state_(kProgramKey ^ (std::uint64_t{salt} << 17)) {}

    std::uint8_t Next() {
        if (left_ == 0) {
            block_ = SplitMix();
            left_ = 8;
        }
        --left_;
        const auto byte = static_cast<std::uint8_t>(block_ & 0xFF);
        block_ >>= 8;
        return byte;
    }

  private:
    std::uint64_t SplitMix() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    std::uint64_t state_;
    std::uint64_t block_ = 0;
    int left_ = 0;
};

void AppendHex(std::string& out, std::uint8_t byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::uint8_t> ByteAt(std::string_view hex, std::size_t at) {
    const int high = HexValue(hex[at]);
    const int low = HexValue(hex[at + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    return static_cast<std::uint8_t>(high * 16 + low);
}

std::uint32_t FreshSalt() {
    std::random_device device;
    return static_cast<std::uint32_t>(device());
}

}  // namespace

std::string ScramblePassword(std::string_view password) {
    return ScramblePassword(password, FreshSalt());
}

std::string ScramblePassword(std::string_view password, std::uint32_t salt) {
    if (password.empty()) return {};
    std::string out;
    out.reserve(kSaltDigits + 2 * password.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        AppendHex(out, static_cast<std::uint8_t>(salt >> shift));
    }
    KeyStream stream(salt);
    for (char c : password) AppendHex(out, static_cast<std::uint8_t>(c) ^ stream.Next());
    return out;
}

std::optional<std::string> UnscramblePassword(std::string_view scrambled) {
    if (scrambled.empty()) return std::string();
    if (scrambled.size() <= kSaltDigits || scrambled.size() % 2 != 0) return std::nullopt;
    std::uint32_t salt = 0;
    for (std::size_t at = 0; at < kSaltDigits; at += 2) {
        const auto byte = ByteAt(scrambled, at);
        if (!byte) return std::nullopt;
        salt = (salt << 8) | *byte;
    }
    KeyStream stream(salt);
    std::string clear;
    clear.reserve((scrambled.size() - kSaltDigits) / 2);
    for (std::size_t at = kSaltDigits; at < scrambled.size(); at += 2) {
        const auto byte = ByteAt(scrambled, at);
        if (!byte) return std::nullopt;
        clear += static_cast<char>(*byte ^ stream.Next());
    }
    return clear;
}

}  // namespace login
