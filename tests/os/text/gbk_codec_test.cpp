#include "os/text/gbk_codec.h"

#include <gtest/gtest.h>

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
        "\xA2\xE3",  // well-formed pair that code page 936 leaves unassigned
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
    // The unassigned pair A2 E3 is skipped whole; skipping one byte would pair E3 with the lead
    // byte of the next character and garble the rest.
    EXPECT_EQ(GbkToUtf8Lossy("a\xA2\xE3啊b"), U8(u8"a?啊b"));
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

TEST(GbkCodec, EveryAssignedDoubleByteCharacterRoundTrips) {
    int assigned = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
            std::string utf8;
            if (!GbkToUtf8(gbk, utf8)) continue;
            ++assigned;
            std::string back;
            ASSERT_TRUE(Utf8ToGbk(utf8, back)) << testing_support::DisplayGbk(gbk);
            ASSERT_GBK_EQ(back, gbk);
        }
    }
    EXPECT_GT(assigned, 21000);  // GBK assigns 21 886 characters
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
