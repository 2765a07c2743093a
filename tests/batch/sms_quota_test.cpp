// The SMS quota: what each answer leaves, what may be sent, what the user reads.

#include "batch/sms_quota.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace {

using batch::QuotaMoment;
using batch::SmsQuota;

SmsQuota WithQuota(int kind, int remaining) {
    SmsQuota quota;
    quota.OnQuotaAnswer({kind, remaining, 0});
    return quota;
}

SmsQuota WithTimed(const std::string& start, const std::string& end, const std::string& count) {
    SmsQuota quota;
    EXPECT_FALSE(quota.OnTimedAnswer({start, end, count}).has_value());
    return quota;
}

struct CanSendCase {
    int kind;
    int remaining;
    int n;
    bool allowed;
};

TEST(SmsQuotaTest, CanSendFollowsTheQuotaKind) {
    const CanSendCase cases[] = {
        {0, 0, 1000, true},  // no quota
        {1, 5, 5, true},     {1, 5, 6, false},     {2, 1, 1, true},  {2, 0, 1, false},
        {3, 300, 300, true}, {3, 299, 300, false}, {7, 2, 3, false},  // an unknown kind is held to
                                                                      // its remaining count
    };
    for (const CanSendCase& c : cases) {
        EXPECT_EQ(WithQuota(c.kind, c.remaining).CanSend(c.n), c.allowed)
            << "kind " << c.kind << " remaining " << c.remaining << " n " << c.n;
    }
}

TEST(SmsQuotaTest, QuotaTextNamesEveryKindAndTheTimedCount) {
    const struct {
        int kind;
        const char* text;
    } cases[] = {
        {1, "您今日还可发送短信次数 5"}, {2, "您本月还可发送短信次数 5"},
        {3, "您总还可发送短信次数 5"},   {0, "请输入短信内容。"},
        {9, "请输入短信内容。"},
    };
    for (const auto& c : cases) EXPECT_GBK_EQ(WithQuota(c.kind, 5).QuotaText(false), c.text);
    EXPECT_GBK_EQ(WithTimed("2026-01-01 08:00", "2026-12-31 20:00", "7").QuotaText(true),
                  "您还可发送定时短信条数 7");
}

TEST(SmsQuotaTest, UnlimitedTimedCountStaysUnlimitedWhileAFiniteOneFalls) {
    SmsQuota unlimited = WithTimed("2026-01-01 08:00", "2026-12-31 20:00", "4294967295");
    EXPECT_EQ(unlimited.timedRemaining(), batch::kUnlimitedTimedSms);
    unlimited.Deduct(10, true);
    EXPECT_EQ(unlimited.timedRemaining(), 0xFFFFFFFFu);
    EXPECT_TRUE(unlimited.CanSendTimed(1000000));

    SmsQuota finite = WithTimed("2026-01-01 08:00", "2026-12-31 20:00", "3");
    EXPECT_TRUE(finite.CanSendTimed(3));
    finite.Deduct(2, true);
    EXPECT_EQ(finite.timedRemaining(), 1u);
    EXPECT_FALSE(finite.CanSendTimed(2));

    SmsQuota immediate = WithQuota(1, 5);
    immediate.Deduct(3, false);
    EXPECT_EQ(immediate.remaining(), 2);
    EXPECT_FALSE(immediate.CanSend(3));
}

TEST(SmsQuotaTest, ErrorCodesShowTheirTipAndLeaveTheWindow) {
    const struct {
        const char* first;
        std::optional<std::string> tip;
    } cases[] = {
        {"-16_1001", "定时短信手机号格式错误！"},
        {"-16_1002", "定时短信发送时间超过限制！"},
        {"err:-16_1800", "发送定时短信出现错误！Code:1800"},
        {"-16_1999", std::nullopt},  // other codes are ignored
    };
    for (const auto& c : cases) {
        SmsQuota quota = WithTimed("2026-03-04 05:06", "2026-07-08 09:10", "20");
        const std::optional<std::string> tip = quota.OnTimedAnswer({c.first, "", "0"});
        ASSERT_EQ(tip.has_value(), c.tip.has_value()) << c.first;
        if (tip) {
            EXPECT_GBK_EQ(*tip, *c.tip);
        }
        EXPECT_EQ(quota.windowStart(), (QuotaMoment{2026, 3, 4, 5, 6})) << c.first;
        EXPECT_EQ(quota.timedRemaining(), 20u) << c.first;
        EXPECT_TRUE(quota.TimedAvailable()) << c.first;
    }
}

TEST(SmsQuotaTest, TimedSmsAreOfferedOnlyForAWindowFrom2010WithCountLeft) {
    EXPECT_FALSE(SmsQuota{}.TimedAvailable());  // start year 0 before any answer
    EXPECT_FALSE(WithTimed("2009-12-31 23:59", "2026-01-01 00:00", "5").TimedAvailable());
    EXPECT_TRUE(WithTimed("2010-01-01 00:00", "2026-01-01 00:00", "5").TimedAvailable());
    EXPECT_FALSE(WithTimed("2010-01-01 00:00", "2026-01-01 00:00", "0").TimedAvailable());
    EXPECT_GBK_EQ(WithTimed("2026-3-4 5:06", "2026-12-31 20:00", "1").TimedRangeLabel(),
                  "时间范围:2026年3月4日 5:6 — 2026年12月31日 20:0");
}

TEST(SmsQuotaTest, ClearForgetsEverything) {
    SmsQuota quota = WithTimed("2026-01-01 08:00", "2026-12-31 20:00", "9");
    quota.OnQuotaAnswer({1, 4, 2});
    quota.Clear();
    EXPECT_FALSE(quota.Known());
    EXPECT_FALSE(quota.TimedAvailable());
    EXPECT_EQ(quota.remaining(), 0);
}

TEST(SmsQuotaTest, WindowEndsAreReadAsTheServerWritesThem) {
    const struct {
        const char* text;
        QuotaMoment moment;
    } cases[] = {
        {"2026-12-11 09:05", {2026, 12, 11, 9, 5}},
        {"2026-1-2 3:4", {2026, 1, 2, 3, 4}},
        {"12-11 09:05", {0, 12, 11, 9, 5}},  // a '-' at position 2 carries no year
        {"2026-12-11", {2026, 12, 11, 0, 0}},
        {"", {0, 0, 0, 0, 0}},
        {"abc", {0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(batch::ParseQuotaMoment(c.text), c.moment) << c.text;
}

TEST(SmsQuotaTest, SearchHintsFollowTheSearchLevel) {
    EXPECT_GBK_EQ(batch::PhoneSearchHint(), "请输入手机号查询");
    EXPECT_GBK_EQ(batch::ContactSearchHint(1), "按姓名、手机搜索通讯录和电话簿");
    EXPECT_GBK_EQ(batch::ContactSearchHint(0), "按姓名搜索通讯录和电话簿");
    EXPECT_GBK_EQ(batch::ContactSearchHint(3), "按姓名、手机、电话搜索通讯录和电话簿");
    EXPECT_GBK_EQ(batch::ContactSearchHint(2), "按姓名、电话搜索通讯录和电话簿");
}

}  // namespace
