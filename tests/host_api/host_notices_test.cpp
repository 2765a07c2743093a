// Each kind of pop-up tip as the host's notification reads it: a title, then the line.

#include "host_api/host_notices.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace {

struct NoticeCase {
    const char* name;
    platform::TipCall call;
    const char* title;
    const char* text;
};

class HostNoticeTest : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(HostNoticeTest, ReadsAsATitleAndALine) {
    const HostNotice notice = DescribeForHost(GetParam().call);
    EXPECT_GBK_EQ(notice.title, GetParam().title);
    EXPECT_GBK_EQ(notice.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HostNoticeTest,
    ::testing::Values(
        NoticeCase{"Plain", {"ShowTip", {"信息已提交！"}, {}, {}}, "提示", "信息已提交！"},
        NoticeCase{"NewMessage",
                   {"ShowNewMsgTip", {"李四", "晚上一起吃饭？"}, {}, {}},
                   "李四",
                   "晚上一起吃饭？"},
        NoticeCase{"Status", {"ShowStatusTip", {"李四 上线了"}, {}, {}}, "好友状态", "李四 上线了"},
        NoticeCase{"OaWithTitle",
                   {"ShowOATip", {"http://oa/1", "会议通知"}, {0, 1}, {}},
                   "办公通知",
                   "会议通知"},
        NoticeCase{"OaWithoutTitle",
                   {"ShowOATip", {"http://oa/1", ""}, {0, 1}, {}},
                   "办公通知",
                   "http://oa/1"},
        NoticeCase{"Mail", {"ShowNewMailTip", {}, {3}, {}}, "新邮件", "您有 3 封未读邮件"},
        NoticeCase{"MissingTexts", {"ShowNewMsgTip", {}, {}, {}}, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
