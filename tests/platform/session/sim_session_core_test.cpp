#include "platform/session/sim_session_core.h"

#include <gtest/gtest.h>

#include <thread>

#include "os/services/log.h"
#include "os/sys/event.h"
#include "os/sys/file_ops.h"
#include "sim_world.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"

namespace {

using platform::NotifyRecord;
using platform::SimSessionCore;
namespace nt = platform::notify_type;

// A session on the world's server with the pump's two events, initialised.
struct SimClient {
    explicit SimClient(sim_testing::SimWorld& world,
                       platform::SessionUtilities utilities = platform::SessionUtilities())
        : lost(world.clock(), os::EventReset::Auto),
          notify(world.clock(), os::EventReset::Auto),
          core(world.serverPtr(), std::move(utilities)) {
        core.Init(&lost, &notify, std::this_thread::get_id());
    }

    std::vector<NotifyRecord> Drain() {
        std::vector<NotifyRecord> records;
        while (NotifyRecord* record = core.GetNotify()) {
            records.push_back(*record);
            core.FreeNotify(record);
        }
        return records;
    }

    os::Event lost;
    os::Event notify;
    SimSessionCore core;
};

platform::SimAccount Account(const char* loginName, const char* password) {
    platform::SimAccount account;
    account.loginName = loginName;
    account.password = password;
    return account;
}

class SimSessionCoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SimAccount alice;
        alice.loginName = "alice";
        alice.password = "pw-a";
        alice.nickname = "艾丽丝";
        alice.mobile = "13800138000";
        alice.workPhone = "010-12345678";
        aliceJid_ = world_.server().AddAccount(alice);
        platform::SimAccount bob;
        bob.loginName = "bob";
        bob.password = "pw-b";
        bob.nickname = "鲍勃";
        bobJid_ = world_.server().AddAccount(bob);
    }

    sim_testing::SimWorld world_;
    std::string aliceJid_, bobJid_;
};

TEST_F(SimSessionCoreTest, AccountsGetGovernmentJidsOnTheServerHost) {
    EXPECT_EQ(aliceJid_, std::string("alice$gov@") + platform::kDefaultSimHost);
    SimClient client(world_);
    EXPECT_EQ(client.core.GetHostName(), platform::kDefaultSimHost);
    EXPECT_EQ(client.core.GetServerPort(), platform::kDefaultSimPort);
}

TEST_F(SimSessionCoreTest, LoginIsRefusedAtOnceWithoutInitWithoutNameOrWhenLoggedIn) {
    SimSessionCore uninitialised(world_.serverPtr());
    EXPECT_EQ(uninitialised.Login("alice", "pw-a", 1, "", 0), 0);
    EXPECT_EQ(uninitialised.QueuedCount(), 0u);

    SimClient client(world_);
    EXPECT_EQ(client.core.Login("", "pw-a", 1, "", 0), 0);
    EXPECT_EQ(client.core.Login("alice", "pw-a", 1, "", 0), platform::kLoginAccepted);
    client.Drain();
    EXPECT_EQ(client.core.Login("alice", "pw-a", 1, "", 0), 0) << "already logged in";
    EXPECT_TRUE(client.Drain().empty());
}

TEST_F(SimSessionCoreTest, LoginThatNeverAnswersLeavesNoTrace) {
    SimClient client(world_);
    os::Event loginEvent(world_.clock(), os::EventReset::Auto);
    client.core.SetLoginEvent(&loginEvent);
    client.core.SetNextLoginNeverAnswers();

    EXPECT_EQ(client.core.Login("alice", "pw-a", 1, "", 0), platform::kLoginAccepted);
    EXPECT_EQ(client.core.QueuedCount(), 0u);
    EXPECT_FALSE(client.notify.IsSet());
    EXPECT_FALSE(loginEvent.IsSet());
    EXPECT_FALSE(world_.server().IsOnline(aliceJid_));

    // Only the next login was silenced: the one after answers.
    EXPECT_EQ(client.core.Login("alice", "pw-a", 1, "", 0), platform::kLoginAccepted);
    std::vector<NotifyRecord> records = client.Drain();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records[0].As<platform::LoginResultData>()->result, 1);
    EXPECT_TRUE(loginEvent.Wait(0));
}

TEST_F(SimSessionCoreTest, LoginEventIsSetOnlyBySuccess) {
    SimClient client(world_);
    os::Event loginEvent(world_.clock(), os::EventReset::Auto);
    client.core.SetLoginEvent(&loginEvent);
    client.core.Login("alice", "wrong", 1, "", 0);
    std::vector<NotifyRecord> records = client.Drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].As<platform::LoginResultData>()->failure,
              platform::LoginFailure::BadCredentials);
    EXPECT_FALSE(loginEvent.IsSet());
    client.core.Login("alice", "pw-a", 1, "", 0);
    EXPECT_TRUE(loginEvent.Wait(0));
}

TEST_F(SimSessionCoreTest, CanUserLoginAnswersWhatTheTestChose) {
    SimClient client(world_);
    EXPECT_EQ(client.core.CanUserLogin(), platform::kCanLoginYes);
    for (int answer : {platform::kCanLoginNo, 0, 7}) {
        client.core.SetCanUserLoginAnswer(answer);
        EXPECT_EQ(client.core.CanUserLogin(), answer);
    }
    client.core.SetCanUserLoginAnswer(std::nullopt);
    EXPECT_EQ(client.core.CanUserLogin(), platform::kCanLoginYes);
}

TEST_F(SimSessionCoreTest, MobileLoginTypeLogsInByMobileNumber) {
    SimClient client(world_);
    client.core.SetCurrentUserLoginType("MOBILE");
    client.core.Login("13800138000", "pw-a", 1, "", 0);
    EXPECT_EQ(client.core.GetCurrentUserJID(), aliceJid_);
    EXPECT_EQ(client.core.GetCurrentUserWorkPhone(), "010-12345678");

    SimClient other(world_);
    other.core.SetCurrentUserLoginType("MOBILE");
    other.core.Login("bob", "pw-b", 1, "", 0);
    ASSERT_FALSE(other.Drain().empty());
    EXPECT_EQ(other.core.GetCurrentUserJID(), "") << "a login name is no mobile number";
}

TEST_F(SimSessionCoreTest, CurrentPasswordFollowsSetCurrentUserPasswordUntilTheNextLogin) {
    SimClient client(world_);
    EXPECT_EQ(client.core.GetCurrentUserPassword(), "");
    client.core.Login("alice", "pw-a", 1, "", 0);
    client.core.SetCurrentUserPassword("新密码");
    EXPECT_GBK_EQ(client.core.GetCurrentUserPassword(), "新密码");
    client.core.Logout();
    client.core.Login("alice", "pw-a", 1, "", 0);
    EXPECT_EQ(client.core.GetCurrentUserPassword(), "pw-a");
}

TEST_F(SimSessionCoreTest, MessagesCarryTheServerClockAsLocalTime) {
    SimClient alice(world_), bob(world_);
    alice.core.Login("alice", "pw-a", 1, "", 0);
    bob.core.Login("bob", "pw-b", 1, "", 0);
    bob.Drain();
    world_.manualClock().Advance(61'000);
    alice.core.SendChatMessage(bobJid_, "hi", "");
    std::vector<NotifyRecord> records = bob.Drain();
    ASSERT_EQ(records.size(), 1u);
    const os::LocalTime t = world_.clock().LocalNow();
    char expected[32];
    std::snprintf(expected, sizeof expected, "%4d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    EXPECT_EQ(records[0].As<platform::MessageData>()->time, expected);
}

TEST_F(SimSessionCoreTest, EitherSpellingOfAGovernmentJidReachesTheUser) {
    SimClient alice(world_), bob(world_);
    alice.core.Login("alice", "pw-a", 1, "", 0);
    bob.core.Login("bob", "pw-b", 1, "", 0);
    bob.Drain();
    const std::string other = std::string("BOB@gover.") + platform::kDefaultSimHost + "/PC";
    alice.core.SendChatMessage(other, "hi", "");
    std::vector<NotifyRecord> records = bob.Drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].As<platform::MessageData>()->to, other) << "the address as sent";
}

TEST_F(SimSessionCoreTest, MessagesToUnknownUsersAreKeptAsUndeliverable) {
    SimClient alice(world_);
    alice.core.Login("alice", "pw-a", 1, "", 0);
    EXPECT_NE(alice.core.SendChatMessage("ghost@nowhere", "喂", ""), 0);
    std::vector<platform::MessageData> lost = world_.server().Undeliverable();
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].to, "ghost@nowhere");
    EXPECT_GBK_EQ(lost[0].content, "喂");
}

TEST_F(SimSessionCoreTest, TypingStateNamesTheRealSender) {
    SimClient alice(world_), bob(world_);
    alice.core.Login("alice", "pw-a", 1, "", 0);
    bob.core.Login("bob", "pw-b", 1, "", 0);
    bob.Drain();
    alice.core.SendInputStateMessage("mallory$gov@elsewhere", bobJid_, "composing");
    std::vector<NotifyRecord> records = bob.Drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].As<platform::TypingStateData>()->from, aliceJid_);
}

TEST_F(SimSessionCoreTest, StatusQueryAnswersWithThePresenceOfAnyone) {
    SimClient alice(world_), bob(world_);
    alice.core.Login("alice", "pw-a", 1, "", 0);
    bob.core.Login("bob", "pw-b", 1, "", 0);
    bob.core.ChangePresence("busy");
    alice.Drain();
    struct Case {
        std::string jid;
        std::string presence;
    };
    const Case cases[] = {{bobJid_, "busy"}, {"ghost@nowhere", "offline"}};
    for (const Case& c : cases) {
        EXPECT_NE(alice.core.QueryStatusInfo(c.jid), 0);
        std::vector<NotifyRecord> records = alice.Drain();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].type, nt::kPresenceProbeAnswer);
        EXPECT_EQ(records[0].As<platform::PresenceData>()->jid, c.jid);
        EXPECT_EQ(records[0].As<platform::PresenceData>()->presence, c.presence);
    }
}

TEST_F(SimSessionCoreTest, SubscriptionAcceptanceUpdatesBothRosters) {
    SimClient alice(world_), bob(world_);
    alice.core.Login("alice", "pw-a", 1, "", 0);
    bob.core.Login("bob", "pw-b", 1, "", 0);
    alice.core.AddContact(bobJid_, "老鲍", "朋友");
    ASSERT_EQ(world_.server().Roster(aliceJid_).size(), 1u);
    EXPECT_EQ(world_.server().Roster(aliceJid_)[0].subscription, "none");
    bob.core.ConfirmSubscribe(aliceJid_, 1);

    const std::vector<platform::SimRosterItem> aliceRoster = world_.server().Roster(aliceJid_);
    ASSERT_EQ(aliceRoster.size(), 1u);
    EXPECT_GBK_EQ(aliceRoster[0].name, "老鲍");
    EXPECT_GBK_EQ(aliceRoster[0].group, "朋友");
    EXPECT_EQ(aliceRoster[0].subscription, "to");
    const std::vector<platform::SimRosterItem> bobRoster = world_.server().Roster(bobJid_);
    ASSERT_EQ(bobRoster.size(), 1u);
    EXPECT_EQ(bobRoster[0].jid, aliceJid_);
    EXPECT_EQ(bobRoster[0].subscription, "from");

    // Bob asks back: both sides end with "both", and no new request goes to a user who
    // already sees the other.
    bob.core.AddContact(aliceJid_, "艾丽丝", "");
    alice.core.ConfirmSubscribe(bobJid_, 1);
    EXPECT_EQ(world_.server().Roster(aliceJid_)[0].subscription, "both");
    EXPECT_EQ(world_.server().Roster(bobJid_)[0].subscription, "both");
    bob.Drain();
    alice.core.AddContact(bobJid_, "老鲍", "朋友");
    for (const NotifyRecord& r : bob.Drain()) EXPECT_NE(r.type, nt::kSubscriptionRequest);
}

TEST_F(SimSessionCoreTest, DestroyingALoggedInSessionShowsTheUserOffline) {
    world_.server().SetRoster(aliceJid_, {{bobJid_, "鲍勃", "", "both"}});
    SimClient alice(world_);
    alice.core.Login("alice", "pw-a", 1, "", 0);
    {
        SimClient bob(world_);
        bob.core.Login("bob", "pw-b", 1, "", 0);
        EXPECT_TRUE(world_.server().IsOnline(bobJid_));
        alice.Drain();
    }
    EXPECT_FALSE(world_.server().IsOnline(bobJid_));
    std::vector<NotifyRecord> records = alice.Drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].type, nt::kPresenceOffline);
}

TEST_F(SimSessionCoreTest, ChannelListComesFromTheServer) {
    world_.server().SetChannels({{"办公", "http://oa.example/"}, {"邮件", "http://mail.example/"}});
    SimClient client(world_);
    client.core.Login("alice", "pw-a", 1, "", 0);
    std::vector<NotifyRecord> records = client.Drain();
    ASSERT_GE(records.size(), 2u);
    const auto* channels = records[1].As<platform::ChannelListData>();
    ASSERT_NE(channels, nullptr);
    ASSERT_EQ(channels->channels.size(), 2u);
    EXPECT_GBK_EQ(channels->channels[1].title, "邮件");
    EXPECT_EQ(channels->channels[1].url, "http://mail.example/");
}

TEST_F(SimSessionCoreTest, InjectedRecordsComeOutAsTheyWentInEvenWhenMalformed) {
    SimClient client(world_);
    client.core.Inject(
        platform::MakeNotify(nt::kChatMessage, platform::SubscriptionRequestData{"x"}));
    client.core.Inject(platform::MakeNotify(200u, platform::SlotData{{"a", "b"}, {7}}));
    EXPECT_TRUE(client.notify.Wait(0));
    std::vector<NotifyRecord> records = client.Drain();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].type, nt::kChatMessage);
    EXPECT_EQ(records[0].As<platform::MessageData>(), nullptr);
    EXPECT_FALSE(platform::HasExpectedPayload(records[0]));
    EXPECT_EQ(records[1].type, 200u);
    EXPECT_EQ(*records[1].As<platform::SlotData>(), (platform::SlotData{{"a", "b"}, {7}}));
}

TEST_F(SimSessionCoreTest, RecordsQueuedBeforeInitAreSignalledByInit) {
    SimSessionCore core(world_.serverPtr());
    core.Inject(platform::MakeNotify(nt::kDataPhaseStart, platform::NoPayload{}));
    os::Event lost(world_.clock(), os::EventReset::Auto);
    os::Event notify(world_.clock(), os::EventReset::Auto);
    core.Init(&lost, &notify, std::this_thread::get_id());
    EXPECT_TRUE(notify.Wait(0));
    EXPECT_EQ(core.NotifyThread(), std::this_thread::get_id());
    core.Free();
    EXPECT_EQ(core.GetNotify(), nullptr) << "Free drops what was never taken";
}

TEST_F(SimSessionCoreTest, FreeKeepsRecordsThatAreStillOut) {
    SimClient client(world_);
    client.core.Inject(
        platform::MakeNotify(nt::kTypingState, platform::TypingStateData{"a", "b", "active"}));
    NotifyRecord* out = client.core.GetNotify();
    ASSERT_NE(out, nullptr);
    client.core.Free();
    EXPECT_EQ(out->As<platform::TypingStateData>()->state, "active");
    EXPECT_EQ(client.core.IssuedCount(), 1u);
    client.core.FreeNotify(out);
    EXPECT_EQ(client.core.IssuedCount(), 0u);
}

// Requests without server behaviour yet (and a file offer of a file that is there): accepted
// only when logged in, and recorded.
TEST_F(SimSessionCoreTest, OtherRequestsAreRecordedAndAcceptedWhileLoggedIn) {
    SimClient client(world_);
    EXPECT_EQ(client.core.RefreshRoster(2), 0);
    testing_support::TempDir files;
    const std::string file = files.str() + "a.txt";
    ASSERT_TRUE(os::WriteFileAtomically(file, "a"));
    EXPECT_EQ(client.core.SendFile(bobJid_, file, "k1", 0), platform::kSendFileFailed);
    client.core.Login("alice", "pw-a", 1, "", 0);

    struct Case {
        const char* name;
        int result;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"RefreshRoster", client.core.RefreshRoster(2), {"2"}},
        {"CheckCacheTimeVersion",
         client.core.CheckCacheTimeVersion(aliceJid_, "jabber:iq:roster", 3, "20260105"),
         {aliceJid_, "jabber:iq:roster", "3", "20260105"}},
        {"AddBudyGroup",
         client.core.AddBudyGroup("未分组", "未分组", "iqRosterTop"),
         {"未分组", "未分组", "iqRosterTop"}},
        {"EnterConferenceRoom",
         client.core.EnterConferenceRoom("r@conference.h", "艾丽丝"),
         {"r@conference.h", "艾丽丝"}},
        {"SendFile", client.core.SendFile(bobJid_, file, "k1", 0), {bobJid_, file, "k1", "0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, 1);
        const std::vector<platform::SessionCall> calls = client.core.calls().Named(c.name);
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().args, c.args);
    }
    EXPECT_EQ(client.core.calls().Count("RefreshRoster"), 2u) << "refused calls are recorded too";
}

TEST_F(SimSessionCoreTest, LoginAndPasswordCallsKeepPasswordsOutOfTheCallLog) {
    SimClient client(world_);
    client.core.Login("alice", "pw-a", 2, "extra", 1);
    client.core.ChangeUserPassword("pw-a", "pw-new");
    for (const platform::SessionCall& call : client.core.calls().Calls()) {
        for (const std::string& arg : call.args) {
            EXPECT_EQ(arg.find("pw-"), std::string::npos) << call.name;
        }
    }
    EXPECT_EQ(client.core.calls().Named("Login").at(0).args,
              (std::vector<std::string>{"alice", "2", "extra", "1"}));
}

TEST_F(SimSessionCoreTest, DirectoryRequestsEndTheirWaitAndAreCounted) {
    SimClient client(world_);
    client.core.Login("alice", "pw-a", 1, "", 0);
    os::Event done(world_.clock(), os::EventReset::Auto);
    int result = -5;
    EXPECT_EQ(client.core.RequestGroupChildren(os::HWND(3), "02,0201", &result, 2000, &done, 1, 0),
              1);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(done.Wait(0));
    EXPECT_EQ(client.core.RequestGroupChildren(os::HWND(3), "02,0201", nullptr, 0, nullptr, 1, 1),
              1);

    EXPECT_EQ(client.core.GetRootRequestCount(6), 0);
    client.core.RequestOrganizeList(6, 2);
    client.core.RequestOrganizeList(6, 2);
    client.core.RequestOrganizeList(9, 2);
    EXPECT_EQ(client.core.GetRootRequestCount(6), 2);
    EXPECT_EQ(client.core.GetRootRequestCount(9), 1);
    EXPECT_EQ(client.core.GetRootRequestCount(10), 0);
}

TEST_F(SimSessionCoreTest, LastSaveFolderIsTheFolderOfTheLastReceivedFile) {
    testing_support::TempDir files;
    ASSERT_TRUE(os::CreateDirectories(files.str() + "下载"));
    ASSERT_TRUE(os::WriteFileAtomically(files.str() + "报告.doc", "doc"));
    SimClient client(world_);
    SimClient bob(world_);
    EXPECT_EQ(client.core.getFileLastSavePath(), "");
    client.core.Login("alice", "pw-a", 1, "", 0);
    bob.core.Login("bob", "pw-b", 1, "", 0);
    ASSERT_EQ(bob.core.SendFile(aliceJid_, files.str() + "报告.doc", "k1", 0), 1);
    EXPECT_EQ(client.core.RecvFile(files.str() + "下载/报告.doc", "k2"), 0) << "no such offer";
    EXPECT_GBK_EQ(client.core.getFileLastSavePath(), "");
    EXPECT_EQ(client.core.RecvFile(files.str() + "下载/报告.doc", "k1"), 1);
    EXPECT_GBK_EQ(client.core.getFileLastSavePath(), files.str() + "下载/");
}

TEST_F(SimSessionCoreTest, UserNamesAndJidsOfAccounts) {
    SimClient client(world_);
    struct Case {
        std::string jid;
        std::string limitId;
    };
    const Case cases[] = {
        {aliceJid_, "alice"},
        {"alice", "alice"},
        {"wang$pub@other.host/PC", "wang"},
        {"13800138000@sms.h", "13800138000"},
        {"zhao", "zhao"},
    };
    for (const Case& c : cases) EXPECT_EQ(client.core.GetUserLimitId(c.jid), c.limitId) << c.jid;

    const std::string host = platform::kDefaultSimHost;
    EXPECT_EQ(client.core.GetUserJID("li", platform::kUserTypeGovernment), "li$gov@" + host);
    EXPECT_EQ(client.core.GetUserJID("li", platform::kUserTypePublic), "li$pub@" + host);
    EXPECT_EQ(client.core.GetUserJID("138", platform::kUserTypeSms), "138@sms." + host);
    EXPECT_EQ(client.core.GetUserJID("li@x.y", platform::kUserTypeGovernment), "li@x.y");
}

TEST_F(SimSessionCoreTest, UtilitiesUseTheOsLayer) {
    testing_support::TempDir dir;
    auto log = os::Log::Capturing(world_.clock());
    SimClient client(world_, platform::SessionUtilities(log.get(), dir.str() + "app"));
    const std::string ini = dir.str() + "config.ini";

    EXPECT_EQ(client.core.GetINIString("Server Setting", "Title", "默认", ini), "默认");
    EXPECT_EQ(client.core.WriteINIInt("Server Setting", "UseTLS", 1, ini), 1);
    EXPECT_EQ(client.core.GetINIString("server setting", "usetls", "0", ini), "1");
    EXPECT_TRUE(client.core.FileExists(ini));
    EXPECT_FALSE(client.core.FileExists(dir.str() + "missing.ini"));
    EXPECT_EQ(client.core.WriteINIInt("Server Setting", "", 1, ini), 0) << "no key name";

    client.core.WriteLog("Enter CWindowManager::Free()");
    client.core.WriteLog2(7, "读取本地联系人时未知类型");
    const std::vector<os::LogLine> lines = log->CapturedLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "Enter CWindowManager::Free()");
    EXPECT_EQ(lines[1].level, 7);
    EXPECT_GBK_EQ(lines[1].text, "读取本地联系人时未知类型");

    EXPECT_EQ(client.core.GetAppPath(), dir.str() + "app/");
}

// One thread plays the other party and sends; the client's notification thread waits on the
// notify event and drains. Everything arrives once, in order, and the run is race-free.
TEST(SimSessionCoreThreads, FedFromOneThreadAndDrainedFromAnother) {
    os::RealClock clock;
    auto server = std::make_shared<platform::SimServer>(clock);
    const std::string aliceJid = server->AddAccount(Account("alice", "pw-a"));
    server->AddAccount(Account("bob", "pw-b"));
    os::Event lost(clock, os::EventReset::Auto);
    os::Event notify(clock, os::EventReset::Auto);
    SimSessionCore alice(server);
    alice.Init(&lost, &notify, std::this_thread::get_id());
    SimSessionCore bob(server);
    os::Event bobLost(clock, os::EventReset::Auto), bobNotify(clock, os::EventReset::Auto);
    bob.Init(&bobLost, &bobNotify, std::this_thread::get_id());
    ASSERT_EQ(alice.Login("alice", "pw-a", 1, "", 0), platform::kLoginAccepted);
    ASSERT_EQ(bob.Login("bob", "pw-b", 1, "", 0), platform::kLoginAccepted);
    while (NotifyRecord* r = alice.GetNotify()) alice.FreeNotify(r);

    constexpr int kMessages = 500;
    std::vector<std::string> received;
    std::thread pump([&] {
        // The bound only stops a broken build from hanging; every wait ends by a Set.
        while (static_cast<int>(received.size()) < kMessages && notify.Wait(10'000)) {
            while (NotifyRecord* record = alice.GetNotify()) {
                if (const auto* message = record->As<platform::MessageData>()) {
                    received.push_back(message->content);
                }
                alice.FreeNotify(record);
            }
        }
    });
    for (int i = 0; i < kMessages; ++i) {
        bob.SendChatMessage(aliceJid, std::to_string(i), "");
        if (i % 50 == 0) bob.ChangePresence(i % 100 == 0 ? "away" : "online");
    }
    pump.join();
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kMessages));
    for (int i = 0; i < kMessages; ++i) EXPECT_EQ(received[i], std::to_string(i));
    alice.Free();
    bob.Free();
}

}  // namespace
