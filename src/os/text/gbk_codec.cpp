#include "os/text/gbk_codec.h"

#include <array>
#include <cstdint>

#include "os/text/gbk_chars.h"

namespace os {
namespace {

enum class OnBadInput { kFail, kReplace };

// Code page 936 by table rather than iconv: glibc's "CP936" leaves 2 149 double-byte codes
// undecodable (the user-defined areas among them), and every code must convert as Windows
// converts it, or a rare name in a message makes the whole message fail.
constexpr std::uint16_t kDoubleByteTable[] = {
#include "os/text/gbk_table.inc"
};
constexpr int kTrailsPerLead = 190;
static_assert(sizeof(kDoubleByteTable) / sizeof(kDoubleByteTable[0]) == 126 * kTrailsPerLead);
constexpr char32_t kEuro = 0x20AC;
constexpr std::uint16_t kNoCode = 0;

int TrailIndex(unsigned char trail) { return trail < 0x80 ? trail - 0x40 : trail - 0x41; }

char32_t DecodePair(unsigned char lead, unsigned char trail) {
    return kDoubleByteTable[(lead - 0x81) * kTrailsPerLead + TrailIndex(trail)];
}

// Every character of the table is in the Basic Multilingual Plane, so the reverse table is
// indexed by the character; built once, on first use.
const std::array<std::uint16_t, 0x10000>& EncodeTable() {
    static const auto* table = [] {
        auto* t = new std::array<std::uint16_t, 0x10000>{};
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F) continue;
                (*t)[DecodePair(static_cast<unsigned char>(lead),
                                static_cast<unsigned char>(trail))] =
                    static_cast<std::uint16_t>(lead << 8 | trail);
            }
        }
        (*t)[kEuro] = 0x80;
        return t;
    }();
    return *table;
}

// Writes `c` (of the Basic Multilingual Plane) at `out`; returns the end.
char* PutUtf8(char32_t c, char* out) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | c >> 6);
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xE0 | c >> 12);
        *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Decodes one UTF-8 character at the front of `s`: its length, or 0 when the bytes are not a
// valid shortest-form sequence of a scalar value. `length` is then the bytes to skip.
std::size_t DecodeUtf8(std::string_view s, char32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char first = byte(0);
    if (first < 0x80) {
        c = first;
        return 1;
    }
    std::size_t length = first >= 0xF0 && first <= 0xF4 ? 4
                         : first >= 0xE0                ? 3
                         : first >= 0xC2                ? 2
                                                        : 0;
    if (length == 0 || length > s.size()) return 0;
    c = first & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        c = c << 6 | (byte(i) & 0x3F);
    }
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kShortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

// Bytes of the bad UTF-8 unit at the front of `rest`: a whole character where its structure
// is sound (so the text after it stays aligned), else one byte.
std::size_t Utf8SequenceLength(std::string_view s) {
    unsigned char c = static_cast<unsigned char>(s[0]);
    std::size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 1;
    if (c >= 0xF5 || length > s.size()) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

// `in` may view `out` itself, so `out` changes only once the input has been read.
bool GbkToUtf8Run(std::string_view in, std::string& out, OnBadInput onBad) {
    // Each input byte gives at most three output bytes (0x80 alone is the euro sign).
    std::string result(in.size() * 3, '\0');
    char* const begin = result.data();
    char* dst = begin;
    for (std::size_t at = 0; at < in.size();) {
        unsigned char c = static_cast<unsigned char>(in[at]);
        if (c < 0x80) {
            *dst++ = static_cast<char>(c);
            ++at;
        } else if (GbkCharLength(in, at) == 2) {
            dst = PutUtf8(DecodePair(c, static_cast<unsigned char>(in[at + 1])), dst);
            at += 2;
        } else if (c == 0x80) {
            dst = PutUtf8(kEuro, dst);
            ++at;
        } else if (onBad == OnBadInput::kReplace) {
            *dst++ = '?';
            ++at;
        } else {
            out.clear();
            return false;
        }
    }
    result.resize(static_cast<std::size_t>(dst - begin));
    out = std::move(result);
    return true;
}

bool Utf8ToGbkRun(std::string_view in, std::string& out, OnBadInput onBad) {
    const auto& encode = EncodeTable();
    std::string result;
    result.reserve(in.size());
    for (std::size_t at = 0; at < in.size();) {
        char32_t c = 0;
        std::size_t length = DecodeUtf8(in.substr(at), c);
        std::uint16_t code = length == 0 || c > 0xFFFF ? kNoCode : c < 0x80 ? c : encode[c];
        if (length != 0 && (code != kNoCode || c == 0)) {
            if (code > 0xFF) result += static_cast<char>(code >> 8);
            result += static_cast<char>(code & 0xFF);
            at += length;
        } else if (onBad == OnBadInput::kReplace) {
            result += '?';
            at += length != 0 ? length : Utf8SequenceLength(in.substr(at));
        } else {
            out.clear();
            return false;
        }
    }
    out = std::move(result);
    return true;
}

}  // namespace

bool GbkToUtf8(std::string_view gbk, std::string& out) {
    return GbkToUtf8Run(gbk, out, OnBadInput::kFail);
}

bool Utf8ToGbk(std::string_view utf8, std::string& out) {
    return Utf8ToGbkRun(utf8, out, OnBadInput::kFail);
}

std::string GbkToUtf8Lossy(std::string_view gbk) {
    std::string out;
    GbkToUtf8Run(gbk, out, OnBadInput::kReplace);
    return out;
}

std::string Utf8ToGbkLossy(std::string_view utf8) {
    std::string out;
    Utf8ToGbkRun(utf8, out, OnBadInput::kReplace);
    return out;
}

}  // namespace os
