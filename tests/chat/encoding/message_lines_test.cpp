#include "chat/encoding/message_lines.h"

#include <gtest/gtest.h>

#include "chat/encoding/markers.h"
#include "os/controls/rich_edit.h"
#include "os/sys/clock.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "view_text.h"

namespace chat {
namespace {

using testing_view::Describe;

class MessageLinesTest : public testing::Test {
  protected:
    MessageLinesTest() : view_(1), objects_("/app/", temp_.str()) {}

    testing_support::TempDir temp_;
    os::ManualClock clock_;
    os::RichEdit view_;
    StandardMarkerObjects objects_;
};

TEST_F(MessageLinesTest, SpeakerLineSaysOrSends) {
    EXPECT_GBK_EQ(SpeakerLine("张三", "2026-01-05 09:30:00", SpeakerVerb::Says, clock_),
                  "FONT(宋体,0,0,0,0,0,0,0,128,128,128)张三 说 2026-01-05 09:30:00");
    EXPECT_GBK_EQ(SpeakerLine("我", "10:00", SpeakerVerb::Sends, clock_),
                  "FONT(宋体,0,0,0,0,0,0,0,128,128,128)我 发送 10:00");
}

TEST_F(MessageLinesTest, EmptyTimeIsTheClocksLocalTime) {
    os::LocalTime now = clock_.LocalNow();
    char expected[32];
    std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month,
                  now.day, now.hour, now.minute, now.second);
    std::string line = SpeakerLine("a", "", SpeakerVerb::Says, clock_);
    EXPECT_EQ(line.substr(line.size() - 19), expected);
    EXPECT_EQ(line.size(), kGreyHeader.size() + std::string("a 说 ").size() + 19);
}

TEST_F(MessageLinesTest, MessageUnderItsGreyLine) {
    AppendChatMessage(view_, objects_, "张三", "09:30",
                      "FONT(宋体,134,2,180,1,0,0,0,255,0,0)你好#(14)#", SpeakerVerb::Says, clock_);
    EXPECT_GBK_EQ(Describe(view_), "张三 说 09:30\r\n你好{face 14}\r\n");
    EXPECT_EQ(view_.GetCharFormatAt(0).color, os::Rgb(128, 128, 128));
    os::CharFormat message = view_.GetCharFormatAt(13);  // 你
    EXPECT_EQ(message.color, os::Rgb(255, 0, 0));
    EXPECT_TRUE(message.Has(os::char_effect::kBold));
    EXPECT_EQ(message.height, 180);
}

TEST_F(MessageLinesTest, AMessageWithoutAUsableHeaderTakesTheDefaultOne) {
    for (const char* message : {"你好", "FONT(宋体,134你好"}) {
        view_.SetText("");
        AppendChatMessage(view_, objects_, "张三", "09:30", message, SpeakerVerb::Says, clock_);
        os::CharFormat body = view_.GetCharFormatAt(13);  // the first character after the line
        EXPECT_EQ(body.color, os::Rgb(0, 0, 0)) << message;
        EXPECT_EQ(body.height, 180) << message;
        EXPECT_GBK_EQ(body.faceName, "宋体");
    }
}

TEST_F(MessageLinesTest, OfflineFileGetsSpeakerAndTimeAsFields) {
    AppendChatMessage(view_, objects_, "李四", "2026-01-05 10:00:00", "#(-3)#[报告.doc|2048|k7]",
                      SpeakerVerb::Says, clock_);
    EXPECT_GBK_EQ(Describe(view_), "{offline 报告.doc|2048|k7|李四|2026-01-05 10:00:00}");
}

TEST_F(MessageLinesTest, RecentHistoryBlock) {
    const RecentMessage messages[] = {
        {"张三", "2026-01-04 08:00:00", "FONT(宋体,134,2,180,0,0,0,0,0,0,0)早#(01)#"},
        {"我", "2026-01-04 08:01:00", "#(-3)#[a.txt|1|k]"},  // not shown
        {"我", "2026-01-04 08:02:00", " #(-1)# "},
        {"张三", "2026-01-04 08:03:00", "看#(-2)#[gone.jpg]"},
    };
    EXPECT_EQ(AppendRecentHistory(view_, objects_, messages), 3);
    EXPECT_GBK_EQ(Describe(view_),
                  "张三 2026-01-04 08:00:00\r\n早{face 1}\r\n"
                  "我 2026-01-04 08:02:00\r\n[闪屏振动]\r\n"
                  "张三 2026-01-04 08:03:00\r\n看[截屏,图片已不存在]\r\n" +
                      std::string(70, '-') + "\r\n");
    for (int position = 0; position < view_.GetTextLength(); ++position) {
        if (view_.ObjectAt(position)) continue;
        EXPECT_EQ(view_.GetCharFormatAt(position).color, os::Rgb(128, 128, 128)) << position;
    }
}

TEST_F(MessageLinesTest, RecentHistoryWithNothingToShowAddsNoRule) {
    const RecentMessage messages[] = {{"a", "t", "#(-3)#[x|1|k]"}, {"b", "t", "   "}};
    EXPECT_EQ(AppendRecentHistory(view_, objects_, messages), 0);
    EXPECT_EQ(view_.GetText(), "");
}

}  // namespace
}  // namespace chat
