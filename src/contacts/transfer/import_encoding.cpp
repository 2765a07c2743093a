#include "contacts/transfer/import_encoding.h"

#include <cstddef>
#include <cstdint>

#include "os/text/gbk_chars.h"
#include "os/text/gbk_codec.h"

namespace contacts {
namespace {

constexpr const char* kNotGbkOrUnicode =
    "导入文件的编码无法识别: 请将文件保存为 GBK、UTF-8 或 UTF-16 编码的文本后重试。";
constexpr const char* kCharacterOutsideGbk = "导入文件含有 GBK 编码无法表示的字符, 请修改后重试。";
constexpr const char* kBrokenUtf16 = "导入文件的 UTF-16 编码不完整, 请检查文件后重试。";

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-16 to UTF-8; false on an odd byte count or a lone surrogate.
bool Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out) {
    if (bytes.size() % 2 != 0) return false;
    auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    out.clear();
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 3 >= bytes.size()) return false;
            const std::uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        AppendUtf8(out, cp);
    }
    return true;
}

// UTF-8 that uses at least one multi-byte sequence: GBK text that is also well-formed UTF-8
// with multi-byte sequences is rare enough that such a file is taken as UTF-8.
bool LooksLikeUtf8(std::string_view bytes) {
    bool multiByte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (i + extra >= bytes.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        }
        multiByte = true;
        i += extra + 1;
    }
    return multiByte;
}

// Without a mark, UTF-16 shows as zero bytes in every other place (ASCII separators and
// digits have a zero high byte). Answers 0 (not UTF-16), 1 (little endian), 2 (big endian).
int Utf16Guess(std::string_view bytes) {
    if (bytes.size() < 4 || bytes.size() % 2 != 0) return 0;
    std::size_t evenZeros = 0, oddZeros = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0') (i % 2 == 0 ? evenZeros : oddZeros)++;
    }
    const std::size_t half = bytes.size() / 2;
    if (oddZeros * 4 >= half * 3 && evenZeros == 0) return 1;
    if (evenZeros * 4 >= half * 3 && oddZeros == 0) return 2;
    return 0;
}

DecodedImportText FromUtf8(std::string_view utf8, ImportEncoding encoding) {
    DecodedImportText result;
    result.encoding = encoding;
    if (os::Utf8ToGbk(utf8, result.gbk)) {
        result.ok = true;
    } else {
        result.message = kCharacterOutsideGbk;
    }
    return result;
}

DecodedImportText FromUtf16(std::string_view bytes, bool bigEndian) {
    std::string utf8;
    if (!Utf16ToUtf8(bytes, bigEndian, utf8)) {
        DecodedImportText result;
        result.encoding = bigEndian ? ImportEncoding::Utf16Be : ImportEncoding::Utf16Le;
        result.message = kBrokenUtf16;
        return result;
    }
    return FromUtf8(utf8, bigEndian ? ImportEncoding::Utf16Be : ImportEncoding::Utf16Le);
}

}  // namespace

DecodedImportText DecodeImportText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        DecodedImportText result = FromUtf8(bytes.substr(3), ImportEncoding::Utf8Bom);
        if (!result.ok && result.message.empty()) result.message = kNotGbkOrUnicode;
        return result;
    }
    if (bytes.substr(0, 2) == "\xFF\xFE") return FromUtf16(bytes.substr(2), false);
    if (bytes.substr(0, 2) == "\xFE\xFF") return FromUtf16(bytes.substr(2), true);
    if (const int guess = Utf16Guess(bytes); guess != 0) return FromUtf16(bytes, guess == 2);
    if (LooksLikeUtf8(bytes)) return FromUtf8(bytes, ImportEncoding::Utf8);
    DecodedImportText result;
    if (bytes.find('\0') == std::string_view::npos && os::IsValidGbk(bytes)) {
        result.ok = true;
        result.gbk.assign(bytes);
    } else {
        result.message = kNotGbkOrUnicode;
    }
    return result;
}

}  // namespace contacts
