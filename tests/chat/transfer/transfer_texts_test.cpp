#include "chat/transfer/transfer_texts.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace {

TEST(TransferTextsTest, ProgressSizesPercentagesAndSpeedsFollowTheirUnitRules) {
    struct Case {
        std::uint64_t done, total;
        const char* doneOfTotal;
        const char* percent;
    };
    const Case progress[] = {
        {0, 0, "0/0 字节", "0%"},
        {500, 1023, "500/1023 字节", "48%"},
        {1024, 1024, "1/1 KB", "100%"},
        {512000, 1048575, "500/1,023 KB", "48%"},
        {1048576, 1048576 * 3, "1024 KB/3.00 MB", "33%"},
        {1048577, 1048576 * 3, "1.00/3.00 MB", "33%"},
        {60ull * 1048576, 100ull * 1048576, "60.00/100.00 MB", "60%"},
        {2147483647ull, 2147483647ull, "2048.00/2048.00 MB", "100%"},
    };
    for (const Case& c : progress) {
        SCOPED_TRACE(c.doneOfTotal);
        EXPECT_GBK_EQ(chat::DoneOfTotalText(c.done, c.total), c.doneOfTotal);
        EXPECT_EQ(chat::PercentText(c.done, c.total), c.percent);
    }
    EXPECT_EQ(chat::Percent(UINT64_MAX - 1, UINT64_MAX), 99u) << "no overflow";

    EXPECT_GBK_EQ(chat::SizeText(1024), "1024 字节");
    EXPECT_GBK_EQ(chat::SizeText(1025), "1 KB");
    EXPECT_GBK_EQ(chat::SizeText(3ull << 20), "3072 KB");

    struct Speed {
        std::uint64_t bytesPerSecond;
        chat::SpeedOf kind;
        const char* text;
    };
    const Speed speeds[] = {
        {0, chat::SpeedOf::OnlineOrReceiving, "0 Byte/秒"},
        {0, chat::SpeedOf::OfflineSending, "离线文件发送等待中..."},
        {1023, chat::SpeedOf::OnlineOrReceiving, "1,023 Byte/秒"},
        {1048576, chat::SpeedOf::OnlineOrReceiving, "1,024 KB/秒"},
        {1048577, chat::SpeedOf::OfflineSending, "1 MB/秒"},
        {5ull << 30, chat::SpeedOf::OnlineOrReceiving, "5,120 MB/秒"},
    };
    for (const Speed& s : speeds) EXPECT_GBK_EQ(chat::SpeedText(s.bytesPerSecond, s.kind), s.text);
    EXPECT_EQ(chat::GroupThousands(1234567890), "1,234,567,890");
    EXPECT_EQ(chat::GroupThousands(999), "999");
}

}  // namespace
