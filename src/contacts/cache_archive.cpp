#include "contacts/cache_archive.h"

namespace contacts {

namespace {
constexpr std::uint8_t kLongerLength = 0xFF;
constexpr std::uint16_t kWordLengthLimit = 0xFFFE;  // lengths below it fit in 2 bytes
constexpr std::uint16_t kDwordLengthFollows = 0xFFFF;
}  // namespace

void CacheArchive::Exchange(std::uint32_t& value) {
    if (storing_)
        PutDword(value);
    else
        value = GetDword();
}

void CacheArchive::Exchange(std::string& text) {
    if (storing_)
        Put(text);
    else
        text.assign(TakeText());
}

void CacheArchive::Put(std::string_view text) {
    const std::size_t length = text.size();
    if (length > UINT32_MAX) throw BrokenCacheFile("text too long for a cache file");
    if (length < kLongerLength) {
        out_.push_back(static_cast<char>(length));
    } else {
        out_.push_back(static_cast<char>(kLongerLength));
        if (length < kWordLengthLimit) {
            PutWord(static_cast<std::uint16_t>(length));
        } else {
            PutWord(kDwordLengthFollows);
            PutDword(static_cast<std::uint32_t>(length));
        }
    }
    out_.append(text);
}

std::string_view CacheArchive::TakeText() {
    std::size_t length = GetByte();
    if (length == kLongerLength) {
        const std::uint16_t word = GetWord();
        if (word < kWordLengthLimit)
            length = word;
        else if (word == kDwordLengthFollows)
            length = GetDword();
        else
            throw BrokenCacheFile("unreadable string length");
    }
    Need(length);
    const std::string_view text = in_.substr(read_, length);
    read_ += length;
    return text;
}

void CacheArchive::PutDword(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out_.push_back(static_cast<char>(value >> shift));
}

void CacheArchive::PutWord(std::uint16_t value) {
    out_.push_back(static_cast<char>(value & 0xFF));
    out_.push_back(static_cast<char>(value >> 8));
}

std::uint32_t CacheArchive::GetDword() {
    Need(4);
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t{static_cast<std::uint8_t>(in_[read_ + i])} << (8 * i);
    read_ += 4;
    return value;
}

std::uint16_t CacheArchive::GetWord() {
    Need(2);
    const auto low = static_cast<std::uint8_t>(in_[read_]);
    const auto high = static_cast<std::uint8_t>(in_[read_ + 1]);
    read_ += 2;
    return static_cast<std::uint16_t>(low | (high << 8));
}

std::uint8_t CacheArchive::GetByte() {
    Need(1);
    return static_cast<std::uint8_t>(in_[read_++]);
}

void CacheArchive::Need(std::size_t count) const {
    if (count > in_.size() - read_) throw BrokenCacheFile("cache file ends early");
}

}  // namespace contacts
