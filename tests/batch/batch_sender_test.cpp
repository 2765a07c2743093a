// The composer's rules without its window: the checks in their order, the send loop (chat
// messages one by one, one batch SMS, timed SMS), the stored copies and the quota. The user
// "me" is logged in on the embedded server; chat recipients are accounts there.

#include "batch/batch_sender.h"

#include <gtest/gtest.h>

#include <thread>

#include "batch/sms_quota.h"
#include "chat/conversation_store.h"
#include "config/client_config.h"
#include "core/client_world.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "platform/store/client_db.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"

namespace {

using batch::BatchDraft;
using batch::BatchNotice;

platform::SimAccount Account(const char* login, const char* nickname) {
    platform::SimAccount account;
    account.loginName = login;
    account.password = "pw";
    account.nickname = nickname;
    return account;
}

class BatchSenderTest : public ::testing::Test {
  protected:
    BatchSenderTest() : world({common.str(), app.str()}), context(world.context()) {
        myJid = world.server().AddAccount(Account("me", "我"));
        bobJid = world.server().AddAccount(Account("bob", "Bob"));
        world.simSession().Init(nullptr, nullptr, std::this_thread::get_id());
        EXPECT_EQ(world.simSession().Login("me", "pw", 1, "", 0), platform::kLoginAccepted);
        context.config.MaxGroupSMSCount = 300;
        context.config.SmsHasNickName = 1;
    }

    std::string Sms(const std::string& number) const {
        return number + "@sms." + world.server().HostName();
    }

    BatchDraft Draft(std::string recipients, std::string contents, int mode = core::kComposerSms) {
        BatchDraft draft;
        draft.mode = mode;
        draft.recipientText = std::move(recipients);
        draft.contents = std::move(contents);
        return draft;
    }

    static std::string Numbers(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += std::to_string(13900000000LL + i) + ";";
        return text;
    }

    // Every stored message as "to|contents|type|extra1".
    std::vector<std::string> Stored() {
        std::vector<std::string> rows;
        const auto db = context.OpenUserStore();
        EXPECT_NE(db, nullptr);
        if (db == nullptr) return rows;
        db->GetMsg(
            [&](const MsgFields& f) {
                if (IsMsgEndMark(f)) return;
                rows.push_back(f[msg_field::kTo] + "|" + f[msg_field::kContents] + "|" +
                               f[msg_field::kType] + "|" + f[msg_field::kExtra1]);
            },
            -1);
        return rows;
    }

    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world;
    core::ClientContext& context;
    batch::SmsQuota quota;
    batch::BatchSender sender{context, quota};
    std::string myJid;
    std::string bobJid;
};

BatchNotice Box(std::string text, os::UINT icon = 0, std::string caption = "提示") {
    return BatchNotice{BatchNotice::Shown::MessageBox, std::move(text), std::move(caption), icon};
}

TEST_F(BatchSenderTest, ChecksRunInOrderAndTheFirstRefusalAnswers) {
    std::string han150;
    for (int i = 0; i < 150; ++i) han150 += "汉";
    const std::string tooLongMessage(1001, 'x');
    struct Case {
        const char* name;
        BatchDraft draft;
        std::optional<BatchNotice> refusal;
    };
    BatchDraft timed = Draft("1234", "hi");
    timed.timed = true;
    const Case cases[] = {
        {"timed without a window", timed,
         BatchNotice{BatchNotice::Shown::Tip, "不能发送定时短信或未开通该功能。"}},
        {"invalid entry", Draft("123", "hi"), Box(" 123 不合法,请选择或重输", os::MB_ICONERROR)},
        {"no recipients", Draft(" ; ", "hi"),
         Box("接收者列表为空。\n请添加接收消息的用户名到列表中", os::MB_ICONINFORMATION,
             "发送消息")},
        {"301 recipients before the text is looked at", Draft(Numbers(301), ""),
         Box("接收信息人数超过每次允许的最大限制(300人)。\r\n请减少接收人数。")},
        {"300 recipients pass", Draft(Numbers(300), "hi"), std::nullopt},
        {"empty text", Draft("1234", ""),
         BatchNotice{BatchNotice::Shown::Tip, "请输入消息内容", "提示", 0, true}},
        {"1001 bytes of chat", Draft("bob@im.test", tooLongMessage, core::kComposerMessages),
         Box("消息太长(不能超过 1000 个字符)")},
        {"1000 bytes of chat pass",
         Draft("bob@im.test", std::string(1000, 'x'), core::kComposerMessages), std::nullopt},
        {"150 Chinese characters pass", Draft("1234", han150), std::nullopt},
        {"151 Chinese characters", Draft("1234", han150 + "汉"),
         Box("短信太长(不能超过 300 个英文字符,一个汉字算2个英文字符)")},
    };
    for (const Case& c : cases) {
        const batch::BatchSender::Checked checked = sender.Check(c.draft);
        EXPECT_EQ(checked.refusal, c.refusal)
            << c.name << ": "
            << testing_support::DisplayGbk(checked.refusal ? checked.refusal->text : "");
    }
}

TEST_F(BatchSenderTest, ChatRecipientsGetOneMessageEachAndSmsRecipientsOneBatch) {
    world.server().SetRoster(myJid, {});
    const BatchDraft draft =
        Draft("13900000001；" + bobJid + ";13900000002", "开会", core::kComposerSms);
    const batch::BatchOutcome outcome = sender.Send(draft);
    EXPECT_TRUE(outcome.smsTaken);
    EXPECT_EQ(outcome.chatRecipients, std::vector<std::string>{bobJid});
    ASSERT_EQ(outcome.notices.size(), 1u);
    EXPECT_GBK_EQ(outcome.notices[0].text, "信息已提交！");

    const auto calls = world.simSession().calls().Named("BatchSendSms");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[0],
              os::MakeUpper(Sms("13900000001")) + ";" + os::MakeUpper(Sms("13900000002")));
    EXPECT_EQ(calls[0].args[2], "1");  // SmsHasNickName
    const auto sms = world.server().SmsSent();
    ASSERT_EQ(sms.size(), 2u);
    EXPECT_EQ(sms[0].to, Sms("13900000001"));
    EXPECT_EQ(sms[1].to, Sms("13900000002"));
    EXPECT_GBK_EQ(sms[1].text, "开会");
    EXPECT_EQ(world.server().StoredMessages(bobJid).size(), 1u);  // Bob is offline: kept

    const std::vector<std::string> stored = Stored();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_GBK_EQ(stored[0], bobJid + "|开会|0|");
    EXPECT_GBK_EQ(stored[1], Sms("13900000001") + "|开会|11|");
    EXPECT_GBK_EQ(stored[2], Sms("13900000002") + "|开会|11|");
}

TEST_F(BatchSenderTest, ARefusedBatchIsToldAndItsCopiesSayNotSent) {
    world.server().SetSmsGatewayFailing(true);
    const batch::BatchOutcome outcome = sender.Send(Draft("13900000001;13900000002", "通知"));
    EXPECT_FALSE(outcome.smsTaken);
    ASSERT_EQ(outcome.notices.size(), 1u);
    EXPECT_EQ(outcome.notices[0], Box("网络繁忙，无法群发短信。", 0, "群发提示"));
    EXPECT_TRUE(world.server().SmsSent().empty());
    const std::vector<std::string> stored = Stored();
    ASSERT_EQ(stored.size(), 2u);
    for (const std::string& row : stored) {
        EXPECT_TRUE(row.ends_with(std::string("|11|") + chat::kNotSentMark)) << row;
    }
}

TEST_F(BatchSenderTest, TheQuotaRefusesTooManyAndFallsAfterASend) {
    context.config.HasSmsLimit = 1;
    platform::SimSmsQuota daily;
    daily.kind = batch::kQuotaPerDay;
    daily.remaining = 2;
    world.server().SetSmsQuota(myJid, daily);
    quota.OnQuotaAnswer({batch::kQuotaPerDay, 2, 0});
    const batch::BatchOutcome refused =
        sender.Send(Draft("13900000001;13900000002;13900000003", "x"));
    ASSERT_EQ(refused.notices.size(), 1u);
    EXPECT_EQ(refused.notices[0],
              Box("您今日还可发送短信次数 2\n而接收者列表中有 3 位接收者.请减少接收者人数。",
                  os::MB_ICONINFORMATION));
    EXPECT_EQ(quota.remaining(), 2);

    const batch::BatchOutcome sent = sender.Send(Draft("13900000001;13900000002", "x"));
    EXPECT_TRUE(sent.smsTaken);
    EXPECT_EQ(quota.remaining(), 0);
    EXPECT_EQ(world.server().SmsQuotaOf(myJid).remaining, 0);
    const auto queries = world.simSession().calls().Named("QuerySmsLimitInfo");
    ASSERT_FALSE(queries.empty());
    EXPECT_EQ(queries.back().args[0], "0");
}

TEST_F(BatchSenderTest, MoreThanFourHundredSmsWithQuotasAreRefusedWithoutCountingThem) {
    context.config.HasSmsLimit = 1;
    context.config.MaxGroupSMSCount = 500;
    const batch::BatchOutcome outcome = sender.Send(Draft(Numbers(401), "x"));
    ASSERT_EQ(outcome.notices.size(), 1u);
    EXPECT_EQ(outcome.notices[0], Box("单次群发短信最大为400条,请减少接收者人数"));
    EXPECT_EQ(quota.remaining(), 0);
    EXPECT_TRUE(world.simSession().calls().Named("BatchSendSms").empty());
}

TEST_F(BatchSenderTest, ATimedBatchGoesAtItsTimeAndCountsAgainstTheTimedQuota) {
    context.config.HasSmsLimit = 1;
    platform::SimSmsQuota timedQuota;
    timedQuota.timedRemaining = 5;
    timedQuota.windowStart = "2030-01-01 08:00";
    timedQuota.windowEnd = "2030-12-31 20:00";
    world.server().SetSmsQuota(myJid, timedQuota);
    ASSERT_FALSE(quota.OnTimedAnswer({"2030-01-01 08:00", "2030-12-31 20:00", "5"}));
    BatchDraft draft = Draft("13900000001;13900000002", "生日快乐");
    draft.timed = true;
    draft.sendTime = "2030-06-01 09:30";
    const batch::BatchOutcome outcome = sender.Send(draft);
    EXPECT_TRUE(outcome.smsTaken);
    EXPECT_EQ(quota.timedRemaining(), 3u);
    const auto calls = world.simSession().calls().Named("SendTimerSMS");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[2], "2030-06-01 09:30");
    const auto sms = world.server().SmsSent();
    ASSERT_EQ(sms.size(), 2u);
    EXPECT_EQ(sms[0].sendTime, "2030-06-01 09:30");
    EXPECT_EQ(world.simSession().calls().Named("QuerySmsLimitInfo").back().args[0], "1");
    for (const std::string& row : Stored()) EXPECT_TRUE(row.ends_with("|11|")) << row;
}

TEST_F(BatchSenderTest, ADuplicatedEntryIsLoggedAndSkipped) {
    BatchDraft draft = Draft("<Bob>;" + bobJid, "hi", core::kComposerMessages);
    draft.pickerText = "Bob(" + bobJid + ")";
    const batch::BatchOutcome outcome = sender.Send(draft);
    EXPECT_EQ(outcome.chatRecipients, std::vector<std::string>{bobJid});
    EXPECT_TRUE(world.log().HasCaptured("群发消息用户名重复:" + bobJid));
}

}  // namespace
