#include "os/text/gbk_codec.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <set>
#include <thread>
#include <vector>

#include "support/gbk_print.h"
#include "support/test_files.h"

namespace os {
namespace {

using testing_support::U8;

TEST(GbkCodec, ConvertsValidTextBothWays) {
    struct Case {
        std::string gbk;
        std::string utf8;
    };
    const Case cases[] = {
        {"", ""},
        {"plain ascii\r\n", "plain ascii\r\n"},
        {"对方不在线", U8(u8"对方不在线")},
        {"誠丂乚 mixed", U8(u8"誠丂乚 mixed")},
        {"\x80", U8(u8"€")},
    };
    for (const Case& c : cases) {
        std::string utf8 = "stale";
        ASSERT_TRUE(GbkToUtf8(c.gbk, utf8)) << c.utf8;
        EXPECT_EQ(utf8, c.utf8);
        std::string gbk = "stale";
        ASSERT_TRUE(Utf8ToGbk(c.utf8, gbk)) << c.utf8;
        EXPECT_GBK_EQ(gbk, c.gbk);
    }
}

TEST(GbkCodec, RejectsInvalidGbkAndLeavesOutputEmpty) {
    const std::string_view cases[] = {
        "a\x81",     // lone lead byte at the end
        "\x81 abc",  // lead byte before a non-trail byte
        "\xFF",
    };
    for (std::string_view gbk : cases) {
        std::string out = "stale";
        EXPECT_FALSE(GbkToUtf8(gbk, out)) << testing_support::DisplayGbk(gbk);
        EXPECT_EQ(out, "");
    }
}

TEST(GbkCodec, RejectsUtf8ThatHasNoGbkForm) {
    const std::string cases[] = {
        U8(u8"ok 😀"),    // a character GBK cannot represent
        U8(u8"한국어"),  // Hangul: not in GBK
        "\xC3",          // truncated sequence
        "\xC0\x80",      // overlong encoding
        "a\xFF"
        "b",
    };
    for (const std::string& utf8 : cases) {
        std::string out = "stale";
        EXPECT_FALSE(Utf8ToGbk(utf8, out)) << utf8;
        EXPECT_EQ(out, "");
    }
}

TEST(GbkCodec, LossyFormsReplaceOneCharacterAndKeepAlignment) {
    // A lead byte before a byte that cannot trail is one bad byte; the byte after it is kept.
    EXPECT_EQ(GbkToUtf8Lossy("a\xA2\x30啊b"), U8(u8"a?0啊b"));
    EXPECT_EQ(GbkToUtf8Lossy("\xFF啊"), U8(u8"?啊"));
    EXPECT_EQ(GbkToUtf8Lossy("end\x81"), "end?");
    // (kept out of the macro: its text is compiled to GBK, which has no emoji)
    const std::string emoji = U8(u8"a😀中");
    EXPECT_GBK_EQ(Utf8ToGbkLossy(emoji), "a?中");
    EXPECT_GBK_EQ(Utf8ToGbkLossy("a\xFF"
                                 "b"),
                  "a?b");
}

TEST(GbkCodec, OutputMayAliasInput) {
    std::string text = "中文 text";
    ASSERT_TRUE(GbkToUtf8(text, text));
    EXPECT_EQ(text, U8(u8"中文 text"));
    ASSERT_TRUE(Utf8ToGbk(text, text));
    EXPECT_GBK_EQ(text, "中文 text");
}

// What glibc makes of one code with the named converter: the code point, or -1 when it refuses.
long GlibcDecode(const char* charset, const std::string& bytes) {
    iconv_t cd = iconv_open("UTF-32LE", charset);
    if (cd == reinterpret_cast<iconv_t>(-1)) return -2;  // NOLINT(performance-no-int-to-ptr)
    char out[8] = {};
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* dst = out;
    size_t dstLeft = sizeof out;
    size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || sizeof out - dstLeft != 4) return -1;
    return static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
           static_cast<unsigned char>(out[2]) << 16;
}

// The one code point a UTF-8 string of one character holds (-1 otherwise).
long SingleCodePoint(const std::string& utf8) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    if (utf8.size() == 1 && b(0) < 0x80) return b(0);
    if (utf8.size() == 2) return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    if (utf8.size() == 3) return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    return -1;
}

// Where Windows puts the user-defined areas in the Private Use Area (-1 outside them).
long UserDefinedAreaCodePoint(int lead, int trail) {
    int trailIndex = trail < 0x80 ? trail - 0x40 : trail - 0x41;
    if (lead >= 0xAA && lead <= 0xAF && trail >= 0xA1)
        return 0xE000 + (lead - 0xAA) * 94 + trail - 0xA1;
    if (lead >= 0xF8 && trail >= 0xA1) return 0xE234 + (lead - 0xF8) * 94 + trail - 0xA1;
    if (lead >= 0xA1 && lead <= 0xA7 && trail <= 0xA0)
        return 0xE4C6 + (lead - 0xA1) * 96 + trailIndex;
    return -1;
}

TEST(GbkCodec, EveryDoubleByteCodeConvertsAsCodePage936) {
    std::set<long> seen;
    std::set<long> privateUse;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
            std::string utf8;
            ASSERT_TRUE(GbkToUtf8(gbk, utf8)) << std::hex << lead << trail;
            long ours = SingleCodePoint(utf8);
            ASSERT_GE(ours, 0x80) << std::hex << lead << trail;
            ASSERT_TRUE(seen.insert(ours).second) << "two codes give " << std::hex << ours;
            std::string back;
            ASSERT_TRUE(Utf8ToGbk(utf8, back)) << std::hex << lead << trail;
            ASSERT_GBK_EQ(back, gbk);

            long glibc936 = GlibcDecode("CP936", gbk);
            if (glibc936 >= 0) {
                ASSERT_EQ(ours, glibc936) << std::hex << lead << trail;
                continue;
            }
            // The codes glibc's CP936 refuses are the user-defined areas and the codes GBK
            // left open, which Windows maps to U+E000-U+E864; glibc's GB18030 agrees wherever
            // it still maps them to that area.
            ASSERT_TRUE(ours >= 0xE000 && ours <= 0xE864) << std::hex << lead << trail;
            privateUse.insert(ours);
            long area = UserDefinedAreaCodePoint(lead, trail);
            if (area >= 0) {
                ASSERT_EQ(ours, area) << std::hex << lead << trail;
            }
            long glibc18030 = GlibcDecode("GB18030", gbk);
            if (glibc18030 >= 0xE000 && glibc18030 <= 0xF8FF) {
                ASSERT_EQ(ours, glibc18030) << std::hex << lead << trail;
            }
        }
    }
    EXPECT_EQ(seen.size(), 23940U);
    EXPECT_EQ(privateUse.size(), 0xE865U - 0xE000U);  // the whole range, each once

    struct Known {
        const char* gbk;
        long codePoint;
    };
    const Known known[] = {
        {"\xAA\xA1", 0xE000}, {"\xAF\xFE", 0xE233}, {"\xF8\xA1", 0xE234}, {"\xFE\xFE", 0xE4C5},
        {"\xA1\x40", 0xE4C6}, {"\xA7\xA0", 0xE765}, {"\xA2\xAB", 0xE766}, {"\xA8\xBC", 0xE7C7},
        {"\xFE\x51", 0xE816}, {"\xFE\xA0", 0xE864}, {"\xA1\xA4", 0x00B7}, {"\xA1\xAA", 0x2014},
    };
    for (const Known& k : known) {
        std::string utf8;
        ASSERT_TRUE(GbkToUtf8(k.gbk, utf8));
        EXPECT_EQ(SingleCodePoint(utf8), k.codePoint) << std::hex << k.codePoint;
    }
}

TEST(GbkCodec, EverySingleByteConvertsAsCodePage936) {
    for (int byte = 0; byte <= 0xFF; ++byte) {
        const std::string gbk(1, static_cast<char>(byte));
        std::string utf8 = "stale";
        bool converted = GbkToUtf8(gbk, utf8);
        if (byte <= 0x80) {
            ASSERT_TRUE(converted) << byte;
            EXPECT_EQ(SingleCodePoint(utf8), byte == 0x80 ? 0x20AC : byte) << byte;
            std::string back;
            ASSERT_TRUE(Utf8ToGbk(utf8, back)) << byte;
            EXPECT_EQ(back, gbk) << byte;
        } else {
            // A lead byte alone, or 0xFF, is no character.
            EXPECT_FALSE(converted) << byte;
            EXPECT_EQ(utf8, "") << byte;
        }
    }
}

TEST(GbkCodec, PrivateUseTextSurvivesAStoreRoundTrip) {
    // A rare name typed from the user-defined area, inside ordinary text.
    const std::string gbk = "王\xAA\xA1\xF8\xA1明 \xA1\x40 end";
    std::string utf8;
    ASSERT_TRUE(GbkToUtf8(gbk, utf8));
    EXPECT_EQ(utf8, U8(u8"王\uE000\uE234明 \uE4C6 end"));
    std::string back;
    ASSERT_TRUE(Utf8ToGbk(utf8, back));
    EXPECT_GBK_EQ(back, gbk);
}

TEST(GbkCodec, ThreadsConvertIndependently) {
    const std::string gbk = "并发转换 concurrent";
    const std::string utf8 = U8(u8"并发转换 concurrent");
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                std::string a;
                std::string b;
                if (!GbkToUtf8(gbk, a) || a != utf8 || !Utf8ToGbk(a, b) || b != gbk) ++failures[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace os
