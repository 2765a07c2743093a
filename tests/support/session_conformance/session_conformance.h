#pragma once
// The SessionCore conformance suite: what the client relies on from any engine, written once
// against the interface. An engine's test program includes this header in exactly one .cpp
// file and instantiates the suite with its world:
//
//     INSTANTIATE_TEST_SUITE_P(Sim, SessionConformance,
//                              ::testing::Values(WorldFactory{"Sim", [] { return ...; }}),
//                              [](const auto& info) { return info.param.name; });
//
// The tests are defined in this header so that every engine's program compiles them itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "os/sys/event.h"
#include "platform/jid/jid.h"
#include "platform/session/notify_record.h"
#include "platform/session/session_core.h"
#include "session_world.h"
#include "support/gbk_print.h"

namespace session_conformance {

using platform::NotifyRecord;
namespace nt = platform::notify_type;

// One client of a world: an engine with the two events the client's pump would own.
class Client {
  public:
    explicit Client(SessionTestWorld& world)
        : lost(world.clock(), os::EventReset::Auto),
          notify(world.clock(), os::EventReset::Auto),
          core(world.NewSession()) {
        core->Init(&lost, &notify, std::this_thread::get_id());
    }
    ~Client() { core->Free(); }

    // Takes every queued record (copying it) and gives it back, as the pump does.
    std::vector<NotifyRecord> Drain() {
        std::vector<NotifyRecord> records;
        while (NotifyRecord* record = core->GetNotify()) {
            records.push_back(*record);
            core->FreeNotify(record);
        }
        return records;
    }

    std::vector<NotifyRecord> DrainType(std::uint32_t type) {
        std::vector<NotifyRecord> all = Drain();
        std::erase_if(all, [type](const NotifyRecord& r) { return r.type != type; });
        return all;
    }

    os::Event lost;
    os::Event notify;
    std::unique_ptr<platform::SessionCore> core;  // after the events: it goes first
};

inline std::vector<std::uint32_t> TypesOf(const std::vector<NotifyRecord>& records) {
    std::vector<std::uint32_t> types;
    for (const NotifyRecord& record : records) types.push_back(record.type);
    return types;
}

// The presence records among `records`, as (code, JID, word).
struct SeenPresence {
    std::uint32_t type;
    std::string jid;
    std::string presence;
    friend bool operator==(const SeenPresence&, const SeenPresence&) = default;
};
inline std::vector<SeenPresence> PresencesIn(const std::vector<NotifyRecord>& records) {
    std::vector<SeenPresence> seen;
    for (const NotifyRecord& record : records) {
        if (!platform::IsPresenceType(record.type)) continue;
        const auto* data = record.As<platform::PresenceData>();
        if (data == nullptr) continue;
        seen.push_back({record.type, data->jid, data->presence});
    }
    return seen;
}

class SessionConformance : public ::testing::TestWithParam<WorldFactory> {
  protected:
    void SetUp() override {
        world_ = GetParam().make();
        if (world_ == nullptr) {
            GTEST_SKIP() << "the " << GetParam().name
                         << " world cannot run here: " << GetParam().unavailableReason;
        }
        alice_ = {"alice", "pw-a", "艾丽丝"};
        bob_ = {"bob", "pw-b", "鲍勃"};
        aliceJid_ = world_->AddAccount(alice_);
        bobJid_ = world_->AddAccount(bob_);
    }

    std::unique_ptr<Client> NewClient() { return std::make_unique<Client>(*world_); }

    // Logs the client in and takes what the login queued; fails the test unless it succeeded.
    std::vector<NotifyRecord> LogIn(Client& client, const TestAccount& account) {
        EXPECT_EQ(client.core->Login(account.loginName, account.password, 1, "", 0),
                  platform::kLoginAccepted);
        world_->Settle();
        std::vector<NotifyRecord> records = client.Drain();
        const bool succeeded = !records.empty() && records[0].type == nt::kLoginResult &&
                               records[0].As<platform::LoginResultData>() != nullptr &&
                               records[0].As<platform::LoginResultData>()->result == 1;
        EXPECT_TRUE(succeeded) << "login of " << account.loginName;
        return records;
    }

    // Alice and Bob see each other's presence.
    void MakeFriends() {
        world_->SetRoster(aliceJid_, {{bobJid_, "鲍勃", "同事", "both"}});
        world_->SetRoster(bobJid_, {{aliceJid_, "艾丽丝", "同事", "both"}});
    }

    std::unique_ptr<SessionTestWorld> world_;
    TestAccount alice_, bob_;
    std::string aliceJid_, bobJid_;
};

// ---- Login ----

TEST_P(SessionConformance, LoginAnswersSuccessThenChannelListThenDataPhase) {
    auto alice = NewClient();
    EXPECT_EQ(alice->core->GetCurrentUserJID(), "");
    std::vector<NotifyRecord> records = LogIn(*alice, alice_);
    EXPECT_TRUE(alice->notify.IsSet());
    ASSERT_GE(records.size(), 3u);
    EXPECT_EQ(TypesOf(records).at(1), nt::kChannelList);
    EXPECT_EQ(TypesOf(records).at(2), nt::kDataPhaseStart);
    EXPECT_TRUE(platform::HasExpectedPayload(records[1]));

    EXPECT_EQ(alice->core->GetCurrentUserJID(), aliceJid_);
    EXPECT_GBK_EQ(alice->core->GetCurrentUserNickName(), "艾丽丝");
    EXPECT_EQ(alice->core->GetCurrentUserLimitName(), "alice");
    EXPECT_EQ(alice->core->GetCurrentUserPassword(), "pw-a");
    const std::string host = alice->core->GetHostName();
    ASSERT_FALSE(host.empty());
    EXPECT_TRUE(aliceJid_.ends_with("@" + host) || aliceJid_.ends_with("." + host)) << aliceJid_;
}

TEST_P(SessionConformance, LoginFailuresAreAnsweredWithResultZero) {
    struct Case {
        const char* what;
        std::string name;
        std::string password;
    };
    const Case cases[] = {
        {"wrong password", "alice", "pw-b"},
        {"password in other case", "alice", "PW-A"},
        {"unknown account", "nobody", "pw-a"},
        {"empty password", "alice", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto client = NewClient();
        EXPECT_EQ(client->core->Login(c.name, c.password, 1, "", 0), platform::kLoginAccepted);
        world_->Settle();
        std::vector<NotifyRecord> records = client->Drain();
        ASSERT_EQ(records.size(), 1u);
        ASSERT_EQ(records[0].type, nt::kLoginResult);
        ASSERT_NE(records[0].As<platform::LoginResultData>(), nullptr);
        EXPECT_EQ(records[0].As<platform::LoginResultData>()->result, 0);
        EXPECT_EQ(client->core->GetCurrentUserJID(), "");
        EXPECT_EQ(client->core->SendChatMessage(bobJid_, "hi", ""), 0);
    }
}

TEST_P(SessionConformance, LoginNameIgnoresLetterCase) {
    auto alice = NewClient();
    LogIn(*alice, {"ALICE", "pw-a", ""});
    EXPECT_EQ(alice->core->GetCurrentUserJID(), aliceJid_);
}

// ---- Presence ----

TEST_P(SessionConformance, ContactsSeeEachOtherLogInChangePresenceAndLogOut) {
    MakeFriends();
    auto alice = NewClient();
    auto bob = NewClient();
    LogIn(*alice, alice_);

    // Bob's login shows Bob to Alice, and Alice (already online) to Bob.
    std::vector<NotifyRecord> bobLogin = LogIn(*bob, bob_);
    EXPECT_EQ(PresencesIn(bobLogin),
              (std::vector<SeenPresence>{{nt::kPresenceAvailable, aliceJid_, "online"}}));
    world_->Settle();
    std::vector<NotifyRecord> seen = alice->Drain();
    EXPECT_EQ(PresencesIn(seen),
              (std::vector<SeenPresence>{{nt::kPresenceAvailable, bobJid_, "online"}}));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GBK_EQ(seen[0].As<platform::PresenceData>()->nickname, "鲍勃");

    struct Case {
        const char* word;
        std::uint32_t type;
    };
    const Case cases[] = {{"away", nt::kPresenceAway},        {"xa", nt::kPresenceExtendedAway},
                          {"dnd", nt::kPresenceDoNotDisturb}, {"busy", nt::kPresenceBusy},
                          {"chat", nt::kPresenceAvailable},   {"online", nt::kPresenceAvailable}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_NE(bob->core->ChangePresence(c.word), 0);
        world_->Settle();
        EXPECT_EQ(PresencesIn(alice->Drain()),
                  (std::vector<SeenPresence>{{c.type, bobJid_, c.word}}));
    }
    EXPECT_TRUE(bob->Drain().empty()) << "nobody hears their own presence";

    EXPECT_NE(bob->core->Logout(), 0);
    world_->Settle();
    EXPECT_EQ(PresencesIn(alice->Drain()),
              (std::vector<SeenPresence>{{nt::kPresenceOffline, bobJid_, "offline"}}));
    EXPECT_EQ(bob->core->ChangePresence("away"), 0) << "logged out";
}

TEST_P(SessionConformance, PresenceGoesOnlyToUsersWhoSubscribe) {
    // Alice's roster lets Bob see her ("from"), not her see Bob.
    world_->SetRoster(aliceJid_, {{bobJid_, "鲍勃", "", "from"}});
    world_->SetRoster(bobJid_, {{aliceJid_, "艾丽丝", "", "to"}});
    auto alice = NewClient();
    auto bob = NewClient();
    LogIn(*alice, alice_);
    std::vector<NotifyRecord> bobLogin = LogIn(*bob, bob_);
    EXPECT_EQ(PresencesIn(bobLogin).size(), 1u) << "Bob sees Alice";
    bob->core->ChangePresence("away");
    world_->Settle();
    EXPECT_TRUE(alice->Drain().empty());
    alice->core->ChangePresence("dnd");
    world_->Settle();
    EXPECT_EQ(PresencesIn(bob->Drain()),
              (std::vector<SeenPresence>{{nt::kPresenceDoNotDisturb, aliceJid_, "dnd"}}));
}

TEST_P(SessionConformance, TheRostersOnlineInformationTellsWhoIsOnlineAgain) {
    MakeFriends();
    auto alice = NewClient();
    auto bob = NewClient();
    LogIn(*alice, alice_);
    LogIn(*bob, bob_);
    bob->core->ChangePresence("away");
    world_->Settle();
    alice->Drain();

    // Asked once the client holds its list, the presence comes again for the list to show.
    EXPECT_NE(alice->core->RequestGroupOnlineInfo(platform::kRosterNameSpace, "all"), 0);
    world_->Settle();
    EXPECT_EQ(PresencesIn(alice->Drain()),
              (std::vector<SeenPresence>{{nt::kPresenceAway, bobJid_, "away"}}));
    EXPECT_NE(bob->core->Logout(), 0);
    world_->Settle();
    alice->Drain();
    EXPECT_NE(alice->core->RequestGroupOnlineInfo(platform::kRosterNameSpace, "all"), 0);
    world_->Settle();
    EXPECT_TRUE(PresencesIn(alice->Drain()).empty()) << "nobody online";
}

// ---- Chat and typing ----

TEST_P(SessionConformance, ChatMessagesTravelBothWaysWithEveryField) {
    MakeFriends();
    auto alice = NewClient();
    auto bob = NewClient();
    LogIn(*alice, alice_);
    LogIn(*bob, bob_);
    alice->Drain();

    const std::string font = "FONT(宋体,10,0,0,0,0,0)";
    EXPECT_NE(alice->core->SendChatMessage(bobJid_, "你好，鲍勃 #(-1)#", font), 0);
    EXPECT_NE(bob->core->SendChatMessage(aliceJid_, "收到", ""), 0);
    world_->Settle();

    struct Case {
        Client* receiver;
        std::string from, to, fromName, font, content;
    };
    const Case cases[] = {
        {bob.get(), aliceJid_, bobJid_, "艾丽丝", font, "你好，鲍勃 #(-1)#"},
        {alice.get(), bobJid_, aliceJid_, "鲍勃", "", "收到"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        std::vector<NotifyRecord> records = c.receiver->Drain();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].type, nt::kChatMessage);
        const auto* message = records[0].As<platform::MessageData>();
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(platform::Jid(message->from).Bare(), c.from);
        EXPECT_EQ(message->to, c.to);
        EXPECT_EQ(message->subKind, 0);
        EXPECT_EQ(message->subject, "");
        EXPECT_GBK_EQ(message->font, c.font);
        EXPECT_GBK_EQ(message->fromName, c.fromName);
        EXPECT_GBK_EQ(message->content, c.content);
        EXPECT_FALSE(message->flag);
        // "yyyy-mm-dd hh:mm:ss"
        ASSERT_EQ(message->time.size(), 19u) << message->time;
        for (std::size_t i : {4u, 7u}) EXPECT_EQ(message->time[i], '-');
        for (std::size_t i : {13u, 16u}) EXPECT_EQ(message->time[i], ':');
    }
}

TEST_P(SessionConformance, ChatToAnOfflineUserArrivesAtTheirNextLoginInOrder) {
    auto alice = NewClient();
    LogIn(*alice, alice_);
    for (const char* text : {"第一条", "第二条", "第三条"}) {
        EXPECT_NE(alice->core->SendChatMessage(bobJid_, text, ""), 0);
    }
    world_->Settle();
    auto bob = NewClient();
    std::vector<NotifyRecord> records = LogIn(*bob, bob_);
    std::vector<std::string> contents;
    for (const NotifyRecord& record : records) {
        if (record.type == nt::kChatMessage)
            contents.push_back(record.As<platform::MessageData>()->content);
    }
    EXPECT_EQ(contents, (std::vector<std::string>{"第一条", "第二条", "第三条"}));
}

TEST_P(SessionConformance, SendingNeedsALogin) {
    auto alice = NewClient();
    EXPECT_EQ(alice->core->SendChatMessage(bobJid_, "hi", ""), 0);
    EXPECT_EQ(alice->core->SendInputStateMessage(aliceJid_, bobJid_, "composing"), 0);
    EXPECT_EQ(alice->core->ChangePresence("online"), 0);
    EXPECT_EQ(alice->core->AddContact(bobJid_, "鲍勃", ""), 0);
}

TEST_P(SessionConformance, TypingStatesReachTheOtherParty) {
    auto alice = NewClient();
    auto bob = NewClient();
    LogIn(*alice, alice_);
    LogIn(*bob, bob_);
    for (const char* state : {"composing", "active"}) {
        SCOPED_TRACE(state);
        EXPECT_NE(alice->core->SendInputStateMessage(aliceJid_, bobJid_, state), 0);
        world_->Settle();
        std::vector<NotifyRecord> records = bob->Drain();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].type, nt::kTypingState);
        const auto* typing = records[0].As<platform::TypingStateData>();
        ASSERT_NE(typing, nullptr);
        EXPECT_EQ(platform::Jid(typing->from).Bare(), aliceJid_);
        EXPECT_EQ(typing->state, state);
    }
    EXPECT_TRUE(alice->Drain().empty());
}

// ---- Subscriptions ----

TEST_P(SessionConformance, SubscriptionRequestAndAcceptance) {
    auto alice = NewClient();
    auto bob = NewClient();
    LogIn(*alice, alice_);
    LogIn(*bob, bob_);

    EXPECT_NE(alice->core->AddContact(bobJid_, "鲍勃", "朋友"), 0);
    world_->Settle();
    std::vector<NotifyRecord> requests = bob->DrainType(nt::kSubscriptionRequest);
    ASSERT_EQ(requests.size(), 1u);
    ASSERT_NE(requests[0].As<platform::SubscriptionRequestData>(), nullptr);
    EXPECT_EQ(platform::Jid(requests[0].As<platform::SubscriptionRequestData>()->jid).Bare(),
              aliceJid_);

    // Accepting lets Alice see Bob's presence.
    bob->core->ChangePresence("away");
    EXPECT_NE(bob->core->ConfirmSubscribe(aliceJid_, 1), 0);
    world_->Settle();
    EXPECT_EQ(PresencesIn(alice->Drain()),
              (std::vector<SeenPresence>{{nt::kPresenceAway, bobJid_, "away"}}));
    bob->core->ChangePresence("online");
    world_->Settle();
    EXPECT_EQ(PresencesIn(alice->Drain()).size(), 1u);
}

TEST_P(SessionConformance, RefusedSubscriptionShowsNoPresence) {
    auto alice = NewClient();
    auto bob = NewClient();
    LogIn(*alice, alice_);
    LogIn(*bob, bob_);
    alice->core->AddContact(bobJid_, "鲍勃", "");
    EXPECT_NE(bob->core->ConfirmSubscribe(aliceJid_, 0), 0);
    bob->core->ChangePresence("dnd");
    world_->Settle();
    EXPECT_TRUE(PresencesIn(alice->Drain()).empty());
}

TEST_P(SessionConformance, SubscriptionRequestToAnOfflineUserWaitsForTheirLogin) {
    auto alice = NewClient();
    LogIn(*alice, alice_);
    alice->core->AddContact(bobJid_, "鲍勃", "");
    alice->core->AddContact(bobJid_, "鲍勃", "");  // asked twice, delivered once
    world_->Settle();
    auto bob = NewClient();
    std::vector<NotifyRecord> records = LogIn(*bob, bob_);
    std::erase_if(records,
                  [](const NotifyRecord& r) { return r.type != nt::kSubscriptionRequest; });
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(platform::Jid(records[0].As<platform::SubscriptionRequestData>()->jid).Bare(),
              aliceJid_);
}

// ---- Lost connection and a login elsewhere ----

TEST_P(SessionConformance, LostConnectionSetsLostEventAndShowsUserOffline) {
    MakeFriends();
    auto alice = NewClient();
    auto bob = NewClient();
    LogIn(*alice, alice_);
    LogIn(*bob, bob_);
    alice->Drain();
    EXPECT_FALSE(bob->lost.IsSet());

    world_->DropConnection(*bob->core);
    world_->Settle();
    EXPECT_TRUE(bob->lost.Wait(0));
    EXPECT_EQ(PresencesIn(alice->Drain()),
              (std::vector<SeenPresence>{{nt::kPresenceOffline, bobJid_, "offline"}}));
    EXPECT_EQ(bob->core->SendChatMessage(aliceJid_, "还在吗", ""), 0);
    EXPECT_FALSE(alice->lost.IsSet());

    // Logging in again works.
    LogIn(*bob, bob_);
}

TEST_P(SessionConformance, SecondLoginOfAnAccountEndsTheFirstOnceItHasReadWhy) {
    MakeFriends();
    auto bob = NewClient();
    auto first = NewClient();
    auto second = NewClient();
    LogIn(*bob, bob_);
    LogIn(*first, alice_);
    bob->Drain();

    LogIn(*second, alice_);
    world_->Settle();
    EXPECT_EQ(second->core->GetCurrentUserJID(), aliceJid_);

    NotifyRecord* why = first->core->GetNotify();
    ASSERT_NE(why, nullptr);
    EXPECT_EQ(why->type, nt::kLoggedInElsewhere);
    EXPECT_TRUE(platform::HasExpectedPayload(*why));
    EXPECT_FALSE(first->lost.IsSet()) << "the reason comes before the loss";
    first->core->FreeNotify(why);
    EXPECT_TRUE(first->lost.Wait(0));
    EXPECT_EQ(first->core->GetNotify(), nullptr);
    EXPECT_EQ(first->core->GetCurrentUserJID(), "");
    EXPECT_EQ(first->core->SendChatMessage(bobJid_, "hi", ""), 0);

    // Bob never saw Alice go offline, and his messages reach the new session.
    std::vector<SeenPresence> bobSaw = PresencesIn(bob->Drain());
    EXPECT_TRUE(std::none_of(bobSaw.begin(), bobSaw.end(),
                             [](const SeenPresence& p) { return p.presence == "offline"; }));
    bob->core->SendChatMessage(aliceJid_, "在吗", "");
    world_->Settle();
    EXPECT_EQ(second->DrainType(nt::kChatMessage).size(), 1u);
    EXPECT_TRUE(first->Drain().empty());
}

TEST_P(SessionConformance, FreeEndsTheSession) {
    MakeFriends();
    auto alice = NewClient();
    auto bob = NewClient();
    LogIn(*alice, alice_);
    LogIn(*bob, bob_);
    alice->Drain();
    bob->core->Free();
    world_->Settle();
    EXPECT_EQ(PresencesIn(alice->Drain()),
              (std::vector<SeenPresence>{{nt::kPresenceOffline, bobJid_, "offline"}}));
    EXPECT_EQ(bob->core->GetNotify(), nullptr);
}

// ---- Notification ownership ----

TEST_P(SessionConformance, RecordsStayValidUntilGivenBackAndStrayGiveBacksAreHarmless) {
    auto alice = NewClient();
    auto bob = NewClient();
    LogIn(*alice, alice_);
    LogIn(*bob, bob_);
    for (const char* text : {"一", "二", "三"}) alice->core->SendChatMessage(bobJid_, text, "");
    world_->Settle();
    EXPECT_TRUE(bob->notify.Wait(0));

    NotifyRecord* first = bob->core->GetNotify();
    NotifyRecord* second = bob->core->GetNotify();
    NotifyRecord* third = bob->core->GetNotify();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(bob->core->GetNotify(), nullptr) << "drained";
    // All three are alive at once, each with its own data.
    EXPECT_EQ(first->As<platform::MessageData>()->content, "一");
    EXPECT_EQ(second->As<platform::MessageData>()->content, "二");
    EXPECT_EQ(third->As<platform::MessageData>()->content, "三");

    bob->core->FreeNotify(second);
    bob->core->FreeNotify(second);  // twice
    bob->core->FreeNotify(nullptr);
    NotifyRecord foreign{nt::kChatMessage, platform::MessageData{}};
    bob->core->FreeNotify(&foreign);  // never issued
    EXPECT_EQ(first->As<platform::MessageData>()->content, "一");
    EXPECT_EQ(third->As<platform::MessageData>()->content, "三");
    bob->core->FreeNotify(third);
    bob->core->FreeNotify(first);

    // The queue goes on working.
    alice->core->SendChatMessage(bobJid_, "四", "");
    world_->Settle();
    std::vector<NotifyRecord> later = bob->Drain();
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].As<platform::MessageData>()->content, "四");
}

// ---- User types ----

TEST_P(SessionConformance, UserTypeOfJidForms) {
    auto client = NewClient();
    const std::string host = client->core->GetHostName();
    struct Case {
        std::string jid;
        int type;
    };
    const Case cases[] = {
        {"zhang$gov@" + host, platform::kUserTypeGovernment},
        {"zhang@gover." + host, platform::kUserTypeGovernment},
        {"Zhang$GOV@" + host + "/PC", platform::kUserTypeGovernment},
        {"li$pub@" + host, platform::kUserTypePublic},
        {"li@puber." + host, platform::kUserTypePublic},
        {"13800138000@sms." + host, platform::kUserTypeSms},
        {"13800138000@sms." + host + "/PC", platform::kUserTypeSms},
        {"room1@conference." + host, platform::kUserTypeOther},
        {"someone@msn." + host, platform::kUserTypeOther},
        {"plain@" + host, platform::kUserTypeOther},
        {"", platform::kUserTypeOther},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(client->core->GetUserType(c.jid), c.type) << c.jid;
    }
}

}  // namespace session_conformance
