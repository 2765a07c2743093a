// The rules behind sending, without a window: the checks before a send and their order, the
// send time of a timed SMS, gateway contacts and the SMS-copy rule.

#include "chat/send_rules.h"

#include <gtest/gtest.h>

#include <cctype>

#include "chat/chat_doors.h"
#include "chat/encoding/gateway_address.h"
#include "chat/sms_copy.h"
#include "config/client_config.h"
#include "support/gbk_print.h"

namespace {

using chat::Refusal;
using Shown = chat::Refusal::Shown;
using Input = chat::Refusal::Input;

// A quota whose answers the test sets; it records what it was asked.
class FakeQuota final : public chat::SmsQuota {
  public:
    std::optional<std::string> RefuseSend(std::string_view text, int recipients) override {
        asked.push_back(std::string(text) + "/" + std::to_string(recipients));
        return refusal;
    }
    bool CanSendTimedSms() override { return timedAllowed; }

    std::optional<std::string> refusal;
    bool timedAllowed = true;
    std::vector<std::string> asked;
};

struct CheckCase {
    const char* name;
    chat::ChatMode mode;
    std::string body;
    int pictures = 0;
    bool peerOffline = false;
    bool timed = false;
    const char* sendTime = "";
    int hasSmsLimit = 0;
    std::optional<std::string> quotaRefusal = std::nullopt;
    bool timedAllowed = true;
    std::optional<Refusal> expected = std::nullopt;
    bool quotaAsked = false;
};

constexpr chat::ChatMode kIm = chat::ChatMode::InstantMessage;
constexpr chat::ChatMode kSms = chat::ChatMode::Sms;

Refusal Box(std::string text) { return Refusal{Shown::MessageBox, std::move(text)}; }

const char* const kTooLongSms = "短信太长(不能超过 300 个英文字符,一个汉字算2个英文字符)";
const char* const kTooLongMessage = "消息太长(不能超过 1000 个字符)";
const char* const kNoTimedSms = "不能发送定时短信或未开通该功能。";

class SendRulesCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(SendRulesCheck, RefusesWithTheFirstFailingCheck) {
    const CheckCase& c = GetParam();
    config::ClientConfig config;
    config.HasSmsLimit = c.hasSmsLimit;
    FakeQuota quota;
    quota.refusal = c.quotaRefusal;
    quota.timedAllowed = c.timedAllowed;
    const chat::SendRules rules(config, c.mode, quota);

    chat::Draft draft;
    draft.body = c.body;
    draft.pictureCount = c.pictures;
    draft.peerOffline = c.peerOffline;
    draft.timed = c.timed;
    draft.sendTime = c.sendTime;
    draft.recipients = 2;
    const std::optional<Refusal> refusal = rules.Check(draft);

    ASSERT_EQ(refusal.has_value(), c.expected.has_value())
        << (refusal ? testing_support::DisplayGbk(refusal->text) : "no refusal");
    if (refusal) {
        EXPECT_EQ(refusal->shown, c.expected->shown);
        EXPECT_GBK_EQ(refusal->text, c.expected->text);
        EXPECT_EQ(refusal->input, c.expected->input);
    }
    EXPECT_EQ(quota.asked.size(), c.quotaAsked ? 1u : 0u);
    if (c.quotaAsked && !quota.asked.empty()) {
        EXPECT_GBK_EQ(quota.asked[0], c.body + "/2");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SendRulesCheck,
    ::testing::Values(
        CheckCase{.name = "a message goes", .mode = kIm, .body = "你好"},
        CheckCase{.name = "empty",
                  .mode = kIm,
                  .body = "",
                  .expected = Refusal{Shown::Tip, "请输入消息内容", Input::Focused}},
        CheckCase{.name = "1000 bytes go", .mode = kIm, .body = std::string(1000, 'a')},
        CheckCase{.name = "1001 bytes",
                  .mode = kIm,
                  .body = std::string(1001, 'a'),
                  .expected = Box(kTooLongMessage)},
        CheckCase{.name = "a Chinese character counts two",
                  .mode = kIm,
                  .body = std::string(999, 'a') + "中",
                  .expected = Box(kTooLongMessage)},
        CheckCase{
            .name = "pictures to an online peer", .mode = kIm, .body = "#(-2)#[p]", .pictures = 1},
        CheckCase{.name = "pictures to an offline peer",
                  .mode = kIm,
                  .body = "#(-2)#[p]",
                  .pictures = 1,
                  .peerOffline = true,
                  .expected = Refusal{Shown::RedNotice, "对方不在线，您不能发送图片"}},
        CheckCase{.name = "pictures are checked before the length",
                  .mode = kIm,
                  .body = std::string(1001, 'a'),
                  .pictures = 1,
                  .peerOffline = true,
                  .expected = Refusal{Shown::RedNotice, "对方不在线，您不能发送图片"}},
        CheckCase{
            .name = "an offline peer may get text", .mode = kIm, .body = "a", .peerOffline = true},
        CheckCase{.name = "instant messages know no timed send",
                  .mode = kIm,
                  .body = "a",
                  .timed = true,
                  .sendTime = "soon"},
        CheckCase{.name = "instant messages ask no quota",
                  .mode = kIm,
                  .body = "a",
                  .hasSmsLimit = 1,
                  .quotaRefusal = "no"},
        CheckCase{.name = "an SMS of 300 bytes goes", .mode = kSms, .body = std::string(300, 'a')},
        CheckCase{.name = "an SMS of 301 bytes",
                  .mode = kSms,
                  .body = std::string(301, 'a'),
                  .expected = Box(kTooLongSms)},
        CheckCase{.name = "no pictures by SMS, checked before the length",
                  .mode = kSms,
                  .body = std::string(301, 'a'),
                  .pictures = 1,
                  .expected = Refusal{Shown::RedNotice, "目前不支持短信中发送图片",
                                      Input::SelectedAndFocused}},
        CheckCase{.name = "an empty SMS",
                  .mode = kSms,
                  .body = "",
                  .expected = Refusal{Shown::Tip, "请输入消息内容", Input::Focused}},
        CheckCase{.name = "a timed SMS before 2010",
                  .mode = kSms,
                  .body = "a",
                  .timed = true,
                  .sendTime = "2009-12-31 23:00:00",
                  .expected = Refusal{Shown::Tip, kNoTimedSms}},
        CheckCase{.name = "a timed SMS without a time",
                  .mode = kSms,
                  .body = "a",
                  .timed = true,
                  .sendTime = "soon",
                  .expected = Refusal{Shown::Tip, kNoTimedSms}},
        CheckCase{.name = "the timed check comes before the empty body",
                  .mode = kSms,
                  .body = "",
                  .timed = true,
                  .sendTime = "2009-01-01 08:00",
                  .expected = Refusal{Shown::Tip, kNoTimedSms}},
        CheckCase{.name = "timed SMS not open to the user",
                  .mode = kSms,
                  .body = "a",
                  .timed = true,
                  .sendTime = "2030-01-01 08:00:00",
                  .timedAllowed = false,
                  .expected = Refusal{Shown::Tip, kNoTimedSms}},
        CheckCase{.name = "a past time from 2010 on passes (the send refuses it)",
                  .mode = kSms,
                  .body = "a",
                  .timed = true,
                  .sendTime = "2020-01-01 08:00:00"},
        CheckCase{.name = "the quota refuses",
                  .mode = kSms,
                  .body = "开会",
                  .hasSmsLimit = 1,
                  .quotaRefusal = "本月短信已用完",
                  .expected = Box("本月短信已用完"),
                  .quotaAsked = true},
        CheckCase{.name = "the quota allows",
                  .mode = kSms,
                  .body = "开会",
                  .hasSmsLimit = 1,
                  .quotaAsked = true},
        CheckCase{.name = "without HasSmsLimit the quota is not asked",
                  .mode = kSms,
                  .body = "开会",
                  .quotaRefusal = "本月短信已用完"},
        CheckCase{.name = "the length comes before the quota",
                  .mode = kSms,
                  .body = std::string(301, 'a'),
                  .hasSmsLimit = 1,
                  .quotaRefusal = "本月短信已用完",
                  .expected = Box(kTooLongSms)}),
    [](const ::testing::TestParamInfo<CheckCase>& info) {
        std::string name;
        for (const char* p = info.param.name; *p != '\0'; ++p) {
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        }
        return name;
    });

TEST(SendTime, AFutureTimeIsWrittenAsTheGatewayTakesIt) {
    struct Case {
        const char* text;
        std::optional<std::string> sent;
    };
    // 2026-01-05 09:00:00 UTC; the cases stay weeks away from it in every time zone.
    constexpr std::int64_t kNow = 1767603600;
    const Case cases[] = {
        {"2026-02-01 08:30:00", "2026-02-01 08:30:00"},
        {"2026-02-01 08:30", "2026-02-01 08:30:00"},
        {"  2026-2-1 8:30:05 ", "2026-02-01 08:30:05"},
        {"2025-12-01 08:30:00", std::nullopt},  // past
        {"2026-02-30 08:00:00", std::nullopt},  // no such day
        {"2026-13-01 08:00:00", std::nullopt},
        {"2026-02-01 24:00:00", std::nullopt},
        {"2026-02-01 08:30:00x", std::nullopt},
        {"2026-02-01", std::nullopt},
        {"soon", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(chat::FutureSendTime(c.text, kNow), c.sent);
    }
}

TEST(GatewayAddress, GatewayContactsAreRecognisedSplitAndStoredUnderTheirOwnAddress) {
    struct Case {
        const char* jid;
        bool gateway;
        const char* stored;
        const char* speaker;
    };
    const Case cases[] = {
        {"bob\\40hotmail.com@msn.host/pc", true, "bob@hotmail.com@msn.host", "bob"},
        {"bob\\40hotmail.com@msn.host", true, "bob@hotmail.com@msn.host", "bob"},
        {"carol@msn.host", true, "carol@msn.host", "carol@msn.host"},
        {"@msn.host", false, "@msn.host", "@msn.host"},  // "@msn." must follow a first character
        {"dan@host", false, "dan@host", "dan@host"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jid);
        EXPECT_EQ(chat::IsGatewayJid(c.jid), c.gateway);
        EXPECT_EQ(chat::GatewayStoreAddress(c.jid), c.stored);
        EXPECT_EQ(chat::GatewaySpeaker(c.jid), c.speaker);
    }
}

TEST(GatewayAddress, ABodyOver700BytesGoesInTwoPartsNeverSplittingACharacter) {
    struct Case {
        std::string body;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {std::string(700, 'a'), {std::string(700, 'a')}},
        {std::string(701, 'a'), {std::string(700, 'a'), "a"}},
        {std::string(699, 'a') + "中文", {std::string(699, 'a'), "中文"}},
        {std::string(698, 'a') + "中文", {std::string(698, 'a') + "中", "文"}},
        {"", {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.size());
        EXPECT_EQ(chat::GatewayParts(c.body), c.parts);
    }
}

TEST(SmsCopy, GoesToAnOfflineContactWhoAskedAndHasANumber) {
    struct Case {
        bool wants;
        bool offline;
        const char* mobile;
        bool copied;
    };
    const Case cases[] = {
        {true, true, "13800138000", true},
        {true, false, "13800138000", false},
        {false, true, "13800138000", false},
        {true, true, "", false},
    };
    for (const Case& c : cases) {
        chat::Recipient recipient;
        recipient.jid = "dan@host";
        recipient.mobile = c.mobile;
        recipient.offline = c.offline;
        recipient.wantsSmsCopies = c.wants;
        EXPECT_EQ(chat::NeedsSmsCopy(recipient), c.copied)
            << c.wants << c.offline << "'" << c.mobile << "'";
    }
    EXPECT_EQ(chat::SmsJid("13800138000", "example.invalid"), "13800138000@sms.example.invalid");
}

}  // namespace
