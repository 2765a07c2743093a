#include "contacts/transfer/import_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "os/text/gbk_codec.h"
#include "support/case_name.h"
#include "support/gbk_print.h"

namespace {

using namespace contacts;

std::string Utf16(const std::string& gbk, bool bigEndian, bool mark) {
    std::string utf8;
    EXPECT_TRUE(os::GbkToUtf8(gbk, utf8));
    std::u32string points;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
        for (int k = 1; k < n; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        points += cp;
        i += static_cast<std::size_t>(n);
    }
    std::string out = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (const char32_t cp : points) {
        const auto hi = static_cast<char>(cp >> 8), lo = static_cast<char>(cp & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

const std::string kGbkRow = "wang@im.example,王伟,同事\r\n";

std::string Utf8Row() {
    std::string utf8;
    os::GbkToUtf8(kGbkRow, utf8);
    return utf8;
}

struct EncodingCase {
    const char* name;
    std::string bytes;
    ImportEncoding encoding;
};

class ImportEncodingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(ImportEncodingTest, ConvertsToGbk) {
    const DecodedImportText text = DecodeImportText(GetParam().bytes);
    ASSERT_TRUE(text.ok) << text.message;
    EXPECT_EQ(text.encoding, GetParam().encoding);
    EXPECT_GBK_EQ(text.gbk, kGbkRow);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, ImportEncodingTest,
    ::testing::Values(
        EncodingCase{"gbk", kGbkRow, ImportEncoding::Gbk},
        EncodingCase{"utf8", Utf8Row(), ImportEncoding::Utf8},
        EncodingCase{"utf8 bom", "\xEF\xBB\xBF" + Utf8Row(), ImportEncoding::Utf8Bom},
        EncodingCase{"utf16le bom", Utf16(kGbkRow, false, true), ImportEncoding::Utf16Le},
        EncodingCase{"utf16be bom", Utf16(kGbkRow, true, true), ImportEncoding::Utf16Be},
        EncodingCase{"utf16le bare", Utf16(kGbkRow, false, false), ImportEncoding::Utf16Le},
        EncodingCase{"utf16be bare", Utf16(kGbkRow, true, false), ImportEncoding::Utf16Be}),
    [](const auto& info) { return testing_support::NamePart(info.param.name); });

TEST(ImportEncodingRefusalTest, SaysWhyAFileIsRefused) {
    const std::string cases[] = {
        "\xEF\xBB\xBF"
        "caf\xC3\xA9 \xF0\x9F\x98\x80,x,y",  // an emoji GBK cannot write
        "\xFF\xFE"
        "a\x00\x00\xD8",  // a lone surrogate
        "\xFF\xFE"
        "abc",  // an odd byte count
        "ab\xFF"
        "cd,x,y",  // 0xFF is neither GBK nor UTF-8
    };
    for (const std::string& bytes : cases) {
        const DecodedImportText text = DecodeImportText(bytes);
        EXPECT_FALSE(text.ok) << testing::PrintToString(bytes);
        EXPECT_FALSE(text.message.empty());
        EXPECT_TRUE(text.gbk.empty());
    }
}

}  // namespace
