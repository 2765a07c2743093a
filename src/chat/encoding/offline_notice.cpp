#include "chat/encoding/offline_notice.h"

#include <vector>

namespace chat {
namespace {

constexpr std::size_t kFieldCount = 5;
constexpr std::size_t kMaxKeyBytes = 64;
constexpr std::uint64_t kSizeLimit = std::uint64_t{1} << 31;  // sizes stay below

// "|" (0x7C) can be the trail byte of a GBK character: the walk steps over double-byte
// characters, so only a "|" of its own separates.
std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x81 && byte <= 0xFE && i + 1 < text.size()) {
            ++i;  // a double-byte character: its trail byte is no separator
            continue;
        }
        if (text[i] == '|') {
            fields.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    fields.push_back(text.substr(start));
    return fields;
}

std::optional<std::uint32_t> Size(std::string_view text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value >= kSizeLimit) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

bool IsKey(std::string_view text) {
    if (text.empty() || text.size() > kMaxKeyBytes) return false;
    for (char c : text) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alnum) return false;
    }
    return true;
}

}  // namespace

std::optional<OfflineNotice> ParseOfflineNotice(std::string_view fields) {
    const std::vector<std::string_view> parts = Fields(fields);
    if (parts.size() != kFieldCount) return std::nullopt;
    const std::optional<std::uint32_t> size = Size(parts[1]);
    if (parts[0].empty() || !size || !IsKey(parts[2])) return std::nullopt;
    OfflineNotice notice;
    notice.fileName = std::string(parts[0]);
    notice.size = *size;
    notice.serverKey = std::string(parts[2]);
    notice.sender = std::string(parts[3]);
    notice.time = std::string(parts[4]);
    return notice;
}

}  // namespace chat
