#include "platform/services/notice_pop.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace {

TEST(RecordingNoticePopTest, RecordsEveryCallWithItsTexts) {
    platform::RecordingNoticePop pop;
    EXPECT_FALSE(pop.initialised());
    pop.InitTipManager(os::HWND(7));
    EXPECT_TRUE(pop.initialised());
    pop.ShowTip("信息已提交！");
    pop.ShowNewMsgTip("张三", "[闪屏振动]");
    pop.ShowStatusTip("李四 上线了");
    pop.ShowOATip(0, "http://oa/jump?id=1", "请审批", 1);
    pop.ShowNewMailTip(3);
    pop.FreeTipManager();
    EXPECT_FALSE(pop.initialised());

    auto calls = pop.Calls();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0].call, "InitTipManager");
    EXPECT_EQ(calls[0].window, os::HWND(7));
    EXPECT_EQ(calls[4].call, "ShowOATip");
    EXPECT_EQ(calls[4].texts, (std::vector<std::string>{"http://oa/jump?id=1", "请审批"}));
    EXPECT_EQ(calls[4].numbers, (std::vector<int>{0, 1}));
    EXPECT_EQ(calls[5].numbers, std::vector<int>{3});
    EXPECT_EQ(calls[6].call, "FreeTipManager");

    EXPECT_EQ(pop.TipTexts(),
              (std::vector<std::string>{"信息已提交！", "张三|[闪屏振动]", "李四 上线了",
                                        "http://oa/jump?id=1|请审批", ""}));
    auto status = pop.CallsNamed("ShowStatusTip");
    ASSERT_EQ(status.size(), 1u);
    EXPECT_GBK_EQ(status[0].texts.at(0), "李四 上线了");

    pop.Clear();
    EXPECT_TRUE(pop.Calls().empty());
}

TEST(DescribeTipCallTest, OneLineInArgumentOrder) {
    struct Case {
        platform::TipCall call;
        std::string line;
    };
    for (const Case& c : {
             Case{{"ShowTip", {"请输入消息内容"}, {}, {}}, "ShowTip \"请输入消息内容\""},
             Case{{"ShowOATip", {"http://a", "标题"}, {0, 1}, {}},
                  "ShowOATip 0 \"http://a\" \"标题\" 1"},
             Case{{"ShowNewMailTip", {}, {2}, {}}, "ShowNewMailTip 2"},
             Case{{"InitTipManager", {}, {}, os::HWND(12)}, "InitTipManager 12"},
             Case{{"FreeTipManager", {}, {}, {}}, "FreeTipManager"},
         }) {
        EXPECT_GBK_EQ(platform::DescribeTipCall(c.call), c.line);
    }
}

TEST(LoggingNoticePopTest, LogsEveryCallAndShowsTipsOnlyWhileStarted) {
    os::ManualClock clock;
    auto log = os::Log::Capturing(clock);
    std::vector<std::string> shown;
    platform::LoggingNoticePop pop(
        *log, [&](const platform::TipCall& c) { shown.push_back(c.texts.at(0)); });

    pop.ShowTip("too early");
    pop.InitTipManager(os::HWND(3));
    pop.ShowTip("您已经在其他计算机登录了此帐户");
    pop.FreeTipManager();
    pop.ShowTip("too late");

    EXPECT_EQ(shown, std::vector<std::string>{"您已经在其他计算机登录了此帐户"});
    EXPECT_EQ(
        log->CapturedTexts(),
        (std::vector<std::string>{"NoticePop ShowTip \"too early\"", "NoticePop InitTipManager 3",
                                  "NoticePop ShowTip \"您已经在其他计算机登录了此帐户\"",
                                  "NoticePop FreeTipManager", "NoticePop ShowTip \"too late\""}));
}

TEST(LoggingNoticePopTest, WorksWithoutADisplay) {
    os::ManualClock clock;
    auto log = os::Log::Capturing(clock);
    platform::LoggingNoticePop pop(*log);
    pop.InitTipManager(os::HWND(1));
    pop.ShowNewMailTip(5);
    EXPECT_TRUE(log->HasCaptured("ShowNewMailTip 5"));
}

}  // namespace
