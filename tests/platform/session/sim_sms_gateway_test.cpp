// The simulated server's SMS gateway: immediate and timed short messages, refusals, failure.

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "os/sys/event.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "sim_world.h"
#include "support/gbk_print.h"

namespace {

using platform::SimSms;

class SimSmsGatewayTest : public ::testing::Test {
  protected:
    SimSmsGatewayTest()
        : lost_(world_.clock(), os::EventReset::Auto),
          notify_(world_.clock(), os::EventReset::Auto),
          core_(world_.serverPtr()) {
        platform::SimAccount alice;
        alice.loginName = "alice";
        alice.password = "pw";
        aliceJid_ = world_.server().AddAccount(alice);
        core_.Init(&lost_, &notify_, std::this_thread::get_id());
    }

    void LogIn() { ASSERT_EQ(core_.Login("alice", "pw", 1, "", 0), platform::kLoginAccepted); }

    static std::string Sms(const std::string& mobile) {
        return mobile + "@sms." + platform::kDefaultSimHost;
    }

    sim_testing::SimWorld world_;
    os::Event lost_;
    os::Event notify_;
    platform::SimSessionCore core_;
    std::string aliceJid_;
};

TEST_F(SimSmsGatewayTest, ImmediateAndTimedMessagesAreKeptInOrder) {
    LogIn();
    EXPECT_EQ(core_.SendTelMessage(Sms("13800138000"), "你好", 1, 0), 1);
    EXPECT_EQ(core_.SendTimerSMS(Sms("13900139000") + "/res", "稍后", "2026-02-01 08:00:00", 0, 1),
              1);

    const std::vector<SimSms> sent = world_.server().SmsSent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], (SimSms{aliceJid_, Sms("13800138000"), "你好", "", 1, 0}));
    EXPECT_EQ(sent[1],
              (SimSms{aliceJid_, Sms("13900139000"), "稍后", "2026-02-01 08:00:00", 0, 1}));
    EXPECT_EQ(core_.calls().Count("SendTelMessage"), 1u);
    EXPECT_EQ(core_.calls().Count("SendTimerSMS"), 1u);
}

TEST_F(SimSmsGatewayTest, RefusesWhatAGatewayCannotDeliver) {
    EXPECT_EQ(core_.SendTelMessage(Sms("13800138000"), "x", 0, 0), 0) << "not logged in";
    LogIn();
    const std::string refused[] = {
        "13800138000@sms.other.host",                           // another server's gateway
        "alice$gov@" + std::string(platform::kDefaultSimHost),  // no SMS address
        "138a@sms." + std::string(platform::kDefaultSimHost),   // no number
        "@sms." + std::string(platform::kDefaultSimHost),
        "",
    };
    for (const std::string& to : refused) {
        SCOPED_TRACE(to);
        EXPECT_EQ(core_.SendTelMessage(to, "x", 0, 0), 0);
    }
    EXPECT_EQ(core_.SendTimerSMS(Sms("13800138000"), "x", "", 0, 0), 0)
        << "a timed SMS needs a time";
    EXPECT_TRUE(world_.server().SmsSent().empty());
}

TEST_F(SimSmsGatewayTest, AFailingGatewayKeepsNothingUntilItRecovers) {
    LogIn();
    world_.server().SetSmsGatewayFailing(true);
    EXPECT_EQ(core_.SendTelMessage(Sms("13800138000"), "lost", 0, 0), 0);
    EXPECT_EQ(core_.SendTimerSMS(Sms("13800138000"), "lost", "2026-02-01 08:00:00", 0, 0), 0);
    EXPECT_TRUE(world_.server().SmsSent().empty());

    world_.server().SetSmsGatewayFailing(false);
    EXPECT_EQ(core_.SendTelMessage(Sms("13800138000"), "ok", 0, 0), 1);
    ASSERT_EQ(world_.server().SmsSent().size(), 1u);
    EXPECT_EQ(world_.server().SmsSent()[0].text, "ok");
}

TEST_F(SimSmsGatewayTest, ARefusedChatRecipientGetsNothingUntilLifted) {
    platform::SimAccount bob;
    bob.loginName = "bob";
    bob.password = "pw";
    const std::string bobJid = world_.server().AddAccount(bob);
    LogIn();
    world_.server().RefuseChatTo(bobJid);
    EXPECT_EQ(core_.SendChatMessage(bobJid + "/pc", "lost", "FONT()"), 0);
    EXPECT_TRUE(world_.server().StoredMessages(bobJid).empty());

    world_.server().RefuseChatTo("");
    EXPECT_EQ(core_.SendChatMessage(bobJid, "kept", "FONT()"), 1);
    ASSERT_EQ(world_.server().StoredMessages(bobJid).size(), 1u);
    EXPECT_EQ(world_.server().StoredMessages(bobJid)[0].content, "kept");
}

}  // namespace

namespace {

// The records the session has been handed since the last call, of one type.
template <typename Payload>
std::vector<Payload> Received(platform::SimSessionCore& core, std::uint32_t type) {
    std::vector<Payload> found;
    while (platform::NotifyRecord* record = core.GetNotify()) {
        if (record->type == type) {
            if (const auto* payload = record->As<Payload>()) found.push_back(*payload);
        }
        core.FreeNotify(record);
    }
    return found;
}

TEST_F(SimSmsGatewayTest, QuotasOfEveryKindLimitImmediateBatchesAllOrNothing) {
    LogIn();
    const struct {
        int kind;
        int remaining;
        int batch;
        bool taken;
        int left;
    } cases[] = {
        {1, 3, 3, true, 0},  {1, 2, 3, false, 2}, {2, 5, 1, true, 4},
        {3, 0, 1, false, 0}, {0, 0, 3, true, 0},  // no quota
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " remaining " << c.remaining);
        platform::SimSmsQuota quota;
        quota.kind = c.kind;
        quota.remaining = c.remaining;
        world_.server().SetSmsQuota(aliceJid_, quota);
        const std::size_t before = world_.server().SmsSent().size();
        std::string list;
        for (int i = 0; i < c.batch; ++i)
            list += (i ? ";" : "") + Sms("1390000000" + std::to_string(i));
        EXPECT_EQ(core_.BatchSendSms(list, "x", 1, 0), c.taken ? 1 : 0);
        EXPECT_EQ(world_.server().SmsSent().size() - before,
                  c.taken ? static_cast<std::size_t>(c.batch) : 0u);
        EXPECT_EQ(world_.server().SmsQuotaOf(aliceJid_).remaining, c.left);
    }
    // One address that is no SMS address refuses the whole batch.
    world_.server().SetSmsQuota(aliceJid_, {});
    EXPECT_EQ(core_.BatchSendSms(Sms("13900000001") + ";alice$gov@" + platform::kDefaultSimHost,
                                 "x", 1, 0),
              0);
}

TEST_F(SimSmsGatewayTest, QueriesAnswerTheQuotaTheWindowOrTheErrorCode) {
    LogIn();
    Received<platform::NoPayload>(core_, 0);  // what the login brought
    platform::SimSmsQuota quota;
    quota.kind = 2;
    quota.remaining = 40;
    quota.third = 7;
    quota.timedRemaining = platform::kSimUnlimitedTimedSms;
    quota.windowStart = "2030-01-01 08:00";
    quota.windowEnd = "2030-02-01 18:30";
    world_.server().SetSmsQuota(aliceJid_, quota);

    EXPECT_EQ(core_.QuerySmsLimitInfo(0), 1);
    EXPECT_EQ(Received<platform::SmsQuotaData>(core_, platform::notify_type::kSmsQuota),
              (std::vector<platform::SmsQuotaData>{{2, 40, 7}}));
    EXPECT_EQ(core_.QuerySmsLimitInfo(1), 1);
    EXPECT_EQ(Received<platform::TimedSmsAnswerData>(core_, platform::notify_type::kTimedSmsAnswer),
              (std::vector<platform::TimedSmsAnswerData>{
                  {"2030-01-01 08:00", "2030-02-01 18:30", "4294967295"}}));

    // A timed SMS outside the window is taken, then refused with its code; inside it goes.
    EXPECT_EQ(core_.SendTimerSMS(Sms("13900000001"), "x", "2030-03-01 08:00", 0, 0), 1);
    EXPECT_EQ(Received<platform::TimedSmsAnswerData>(core_, platform::notify_type::kTimedSmsAnswer),
              (std::vector<platform::TimedSmsAnswerData>{{"-16_1002", "", ""}}));
    EXPECT_TRUE(world_.server().SmsSent().empty());
    EXPECT_EQ(core_.SendTimerSMS(Sms("13900000001"), "x", "2030-01-15 09:00", 0, 0), 1);
    EXPECT_EQ(world_.server().SmsSent().size(), 1u);

    quota.timedErrorCode = "-16_1800";
    world_.server().SetSmsQuota(aliceJid_, quota);
    EXPECT_EQ(core_.QuerySmsLimitInfo(1), 1);
    EXPECT_EQ(Received<platform::TimedSmsAnswerData>(core_, platform::notify_type::kTimedSmsAnswer),
              (std::vector<platform::TimedSmsAnswerData>{{"-16_1800", "", ""}}));
}

}  // namespace
