#include "chat/encoding/preview.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace chat {
namespace {

struct Case {
    std::string body;
    std::string preview;
};

TEST(ToPreviewText, CutsAndLabels) {
    const Case cases[] = {
        {"你好", "你好"},
        {"0123456789012345678", "0123456789012345678"},  // 19 bytes: as is
        {"01234567890123456789", "0123456789012345..."},
        {"0123456789abcdefghijklmno", "0123456789abcdef..."},  // 25 characters
        // 10 Chinese characters after one ASCII byte: byte 16 falls inside a character, so
        // the cut keeps 15 bytes.
        {"a一二三四五六七八九十", "a一二三四五六七..."},
        {"一二三四五六七八九十", "一二三四五六七八..."},
        {"@#(-03)#@,会议通知", "[系统消息]"},
        {"@#(-00)#@,a much longer system message text", "[系统消息]"},
        {"#(-1)#", "[闪屏振动]"},
        {"看#(-2)#[0123456789abcdef0123456789abcdef.jpg]", "[截屏文件]"},
        {"#(-2)#", "[截屏文件]"},
        {"#(-3)#[a.txt|1|k]", "[离线文件]"},
        {"a#(-3)#", "a#(-3)#"},  // an offline file only at position 0
        {"你好#(14)#", "你好[表情]"},
        {"a#(-1)#", "a#(-1)#"},
        // A picture marker after byte 16 is cut away before the labels are chosen.
        {"0123456789abcdefgh#(-2)#[x]", "0123456789abcdef..."},
        // A face marker split by the cut stays text.
        {"0123456789abcd#(14)#", "0123456789abcd#(..."},
    };
    for (const Case& c : cases) EXPECT_GBK_EQ(ToPreviewText(c.body), c.preview) << c.body;
}

TEST(PreviewThrottle, AtMostOnePreviewEveryTwoSeconds) {
    os::ManualClock clock;
    PreviewThrottle throttle(clock);
    clock.Advance(5);
    ASSERT_EQ(throttle.Next("first"), std::optional<std::string>("first"));
    clock.Advance(1999);
    EXPECT_EQ(throttle.Next("too soon"), std::nullopt);
    clock.Advance(1);  // 2000 ms after the first
    EXPECT_EQ(throttle.Next("#(-1)#"), std::optional<std::string>(std::string("[闪屏振动]")));
    clock.Advance(1500);
    EXPECT_EQ(throttle.Next("dropped"), std::nullopt);
    clock.Advance(499);  // a dropped message does not restart the interval
    EXPECT_EQ(throttle.Next("dropped"), std::nullopt);
    clock.Advance(1);
    EXPECT_EQ(throttle.Next("again"), std::optional<std::string>("again"));
}

TEST(PreviewThrottle, FirstMessageAtTimeZeroGetsAPreview) {
    os::ManualClock clock;
    PreviewThrottle throttle(clock);
    EXPECT_TRUE(throttle.Next("x").has_value());
}

}  // namespace
}  // namespace chat
