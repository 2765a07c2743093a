// The simulated server's rooms: several sessions share a room end to end, from creation to
// dissolution, with roles, voice, kicks, membership, subject, history and re-entry.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "os/sys/event.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "sim_world.h"
#include "support/gbk_print.h"

namespace {

using platform::NotifyRecord;
using platform::SlotData;
namespace nt = platform::notify_type;
namespace rs = platform::room_slot;

const std::string kHost = platform::kDefaultSimHost;
const std::string kRoom = "proj@conference." + kHost;

struct RoomClient {
    RoomClient(sim_testing::SimWorld& world, const char* login)
        : lost(world.clock(), os::EventReset::Auto),
          notify(world.clock(), os::EventReset::Auto),
          core(world.serverPtr()),
          login(login) {
        core.Init(&lost, &notify, std::this_thread::get_id());
    }

    testing::AssertionResult LogIn() {
        if (core.Login(login, "pw", 1, "", 0) != platform::kLoginAccepted ||
            core.GetCurrentUserJID().empty()) {
            return testing::AssertionFailure() << login << " did not log in";
        }
        Drain();
        return testing::AssertionSuccess();
    }

    std::vector<NotifyRecord> Drain() {
        std::vector<NotifyRecord> records;
        while (NotifyRecord* record = core.GetNotify()) {
            records.push_back(*record);
            core.FreeNotify(record);
        }
        return records;
    }

    // The records of one type among what is queued (everything queued is taken).
    std::vector<NotifyRecord> Take(std::uint32_t type) {
        std::vector<NotifyRecord> found;
        for (NotifyRecord& record : Drain()) {
            if (record.type == type) found.push_back(std::move(record));
        }
        return found;
    }

    os::Event lost;
    os::Event notify;
    platform::SimSessionCore core;
    std::string login;
};

std::vector<std::string> Slots(const NotifyRecord& record) {
    const SlotData* data = record.As<SlotData>();
    return data == nullptr ? std::vector<std::string>{} : data->slots;
}
std::vector<std::int64_t> Numbers(const NotifyRecord& record) {
    const SlotData* data = record.As<SlotData>();
    return data == nullptr ? std::vector<std::int64_t>{} : data->numbers;
}

// A member presence as (occupant JID, role, status).
struct Seen {
    std::string occupant;
    std::string role;
    std::string status;
    friend bool operator==(const Seen&, const Seen&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Seen& seen) {
        return out << testing::PrintToString(seen.occupant) << " " << seen.role << " "
                   << seen.status;
    }
};
std::vector<Seen> Presences(const std::vector<NotifyRecord>& records) {
    std::vector<Seen> seen;
    for (const NotifyRecord& record : records) {
        if (record.type != nt::kRoomMemberPresence) continue;
        const std::vector<std::string> slots = Slots(record);
        if (slots.size() <= rs::kMemberStatus) continue;
        seen.push_back(
            {slots[rs::kMemberOccupant], slots[rs::kMemberRole], slots[rs::kMemberStatus]});
    }
    return seen;
}
std::vector<std::string> Contents(const std::vector<NotifyRecord>& records) {
    std::vector<std::string> contents;
    for (const NotifyRecord& record : records) {
        if (const auto* message = record.As<platform::MessageData>();
            message != nullptr && record.type == nt::kRoomMessage) {
            contents.push_back(message->from + ": " + message->content);
        }
    }
    return contents;
}
// A room error as (condition, call, code).
std::string ErrorOf(const std::vector<NotifyRecord>& records) {
    for (const NotifyRecord& record : records) {
        if (record.type != nt::kRoomError) continue;
        const std::vector<std::string> slots = Slots(record);
        const std::vector<std::int64_t> numbers = Numbers(record);
        if (slots.size() <= rs::kErrorCall || numbers.empty()) return "malformed";
        return slots[rs::kErrorCondition] + " " + slots[rs::kErrorCall] + " " +
               std::to_string(numbers[0]);
    }
    return "none";
}

class SimRoomsTest : public ::testing::Test {
  protected:
    SimRoomsTest() {
        aliceJid_ = AddAccount("alice", "艾丽丝");
        bobJid_ = AddAccount("bob", "鲍勃");
        carolJid_ = AddAccount("carol", "卡萝");
    }

    std::string AddAccount(const char* login, const char* nickname) {
        platform::SimAccount account;
        account.loginName = login;
        account.password = "pw";
        account.nickname = nickname;
        return world_.server().AddAccount(account);
    }

    // Alice's persistent room with Bob as a member, Alice in it.
    testing::AssertionResult AliceOpensTheRoom() {
        if (!alice_.LogIn() || !bob_.LogIn() || !carol_.LogIn()) {
            return testing::AssertionFailure() << "login";
        }
        if (alice_.core.CreatePersistentRoom(kRoom, "项目组") != 1 ||
            alice_.core.SetConferenceMembership(kRoom, bobJid_, "member") != 1 ||
            alice_.core.EnterConferenceRoom(kRoom, "") != 1) {
            return testing::AssertionFailure() << "room calls refused";
        }
        const std::string error = ErrorOf(alice_.Drain());
        if (error != "none") return testing::AssertionFailure() << error;
        return testing::AssertionSuccess();
    }

    static std::string In(const char* nickname) { return kRoom + "/" + nickname; }

    sim_testing::SimWorld world_;
    std::string aliceJid_, bobJid_, carolJid_;
    RoomClient alice_{world_, "alice"};
    RoomClient bob_{world_, "bob"};
    RoomClient carol_{world_, "carol"};
};

TEST_F(SimRoomsTest, ThreeSessionsShareARoomFromCreationToDissolution) {
    ASSERT_TRUE(AliceOpensTheRoom());
    EXPECT_EQ(world_.server().RoomAffiliation(kRoom, aliceJid_), "owner");
    EXPECT_EQ(world_.server().RoomRole(kRoom, "艾丽丝"), "moderator");

    // Invitations reach both, with the room and who invites.
    ASSERT_EQ(alice_.core.ConferenceInvitation(kRoom, bobJid_, ""), 1);
    ASSERT_EQ(alice_.core.ConferenceInvitation(kRoom, carolJid_, ""), 1);
    for (RoomClient* invitee : {&bob_, &carol_}) {
        const std::vector<NotifyRecord> invitations = invitee->Take(nt::kRoomInvitation);
        ASSERT_EQ(invitations.size(), 1u) << invitee->login;
        EXPECT_EQ(Slots(invitations[0]),
                  (std::vector<std::string>{kRoom, aliceJid_, "", "项目组", "艾丽丝"}));
    }

    // Bob, a member, enters as a participant; Carol, no member, as a visitor.
    ASSERT_EQ(bob_.core.EnterConferenceRoom(kRoom, ""), 1);
    EXPECT_EQ(Presences(bob_.Drain()), (std::vector<Seen>{{In("艾丽丝"), "moderator", ""},
                                                          {In("鲍勃"), "participant", ""}}));
    ASSERT_EQ(carol_.core.EnterConferenceRoom(kRoom, ""), 1);
    EXPECT_EQ(Presences(carol_.Drain()), (std::vector<Seen>{{In("艾丽丝"), "moderator", ""},
                                                            {In("鲍勃"), "participant", ""},
                                                            {In("卡萝"), "visitor", ""}}));
    EXPECT_EQ(Presences(alice_.Drain()),
              (std::vector<Seen>{{In("鲍勃"), "participant", ""}, {In("卡萝"), "visitor", ""}}));
    EXPECT_EQ(Presences(bob_.Drain()), (std::vector<Seen>{{In("卡萝"), "visitor", ""}}));

    // Alice talks: everybody present hears it, Alice too.
    ASSERT_EQ(alice_.core.SendConferenceMessage(kRoom, "大家好", "FONT(x)"), 1);
    for (RoomClient* client : {&alice_, &bob_, &carol_}) {
        EXPECT_EQ(Contents(client->Drain()), (std::vector<std::string>{In("艾丽丝") + ": 大家好"}))
            << client->login;
    }

    // A visitor may not talk; she raises a hand, which only the moderator hears.
    ASSERT_EQ(carol_.core.SendConferenceMessage(kRoom, "我想说", ""), 1);
    EXPECT_EQ(ErrorOf(carol_.Drain()), "forbidden SendConferenceMessage 403");
    EXPECT_TRUE(Contents(bob_.Drain()).empty());
    ASSERT_EQ(carol_.core.RequestConferenceVoice(kRoom), 1);
    const std::vector<NotifyRecord> requests = alice_.Take(nt::kRoomVoiceRequest);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(Slots(requests[0]), (std::vector<std::string>{kRoom, In("卡萝"), carolJid_, "卡萝"}));
    EXPECT_TRUE(bob_.Take(nt::kRoomVoiceRequest).empty());

    // Voice granted: everybody sees her a participant, and she talks.
    ASSERT_EQ(alice_.core.GrantConferenceVoice(kRoom, "卡萝"), 1);
    for (RoomClient* client : {&alice_, &bob_, &carol_}) {
        EXPECT_EQ(Presences(client->Drain()), (std::vector<Seen>{{In("卡萝"), "participant", ""}}))
            << client->login;
    }
    ASSERT_EQ(carol_.core.SendConferenceMessage(kRoom, "谢谢", ""), 1);
    EXPECT_EQ(Contents(bob_.Drain()), (std::vector<std::string>{In("卡萝") + ": 谢谢"}));

    // Kicked: she sees herself go, the others see her go, and she hears no more.
    ASSERT_EQ(alice_.core.KickConferenceUser(kRoom, In("卡萝")), 1);
    EXPECT_EQ(Presences(carol_.Drain()), (std::vector<Seen>{{In("卡萝"), "none", "kicked"}}));
    EXPECT_EQ(Presences(bob_.Drain()), (std::vector<Seen>{{In("卡萝"), "none", "kicked"}}));
    alice_.Drain();
    ASSERT_EQ(alice_.core.SendConferenceMessage(kRoom, "继续", ""), 1);
    EXPECT_TRUE(Contents(carol_.Drain()).empty());
    EXPECT_EQ(world_.server().RoomOccupants(kRoom), (std::vector<std::string>{"艾丽丝", "鲍勃"}));

    // Dissolved: Bob leaves with it and loses it from his list; a later entry finds it gone.
    bob_.Drain();
    ASSERT_EQ(alice_.core.DestroyRoom(kRoom), 1);
    const std::vector<NotifyRecord> bobSees = bob_.Drain();
    EXPECT_EQ(Presences(bobSees), (std::vector<Seen>{{In("鲍勃"), "none", "destroyed"}}));
    ASSERT_EQ(bobSees.back().type, nt::kRoomRemoved);
    EXPECT_EQ(Slots(bobSees.back()), (std::vector<std::string>{kRoom, "destroyed"}));
    EXPECT_FALSE(world_.server().HasRoom(kRoom));
    ASSERT_EQ(carol_.core.EnterConferenceRoom(kRoom, ""), 1);
    EXPECT_EQ(ErrorOf(carol_.Drain()), "item-not-found EnterConferenceRoom 404");
}

TEST_F(SimRoomsTest, ANewcomerIsGivenTheLatestMessagesAndTheRoomInfo) {
    ASSERT_TRUE(AliceOpensTheRoom());
    ASSERT_EQ(alice_.core.ChangeConferenceSubject(kRoom, "周会"), 1);
    for (int i = 1; i <= 25; ++i) {
        ASSERT_EQ(alice_.core.SendConferenceMessage(kRoom, "第" + std::to_string(i) + "条", ""), 1);
    }
    const std::vector<NotifyRecord> live = alice_.Take(nt::kRoomMessage);
    ASSERT_EQ(live.size(), 25u);
    EXPECT_FALSE(live[0].As<platform::MessageData>()->flag) << "live messages are no history";

    ASSERT_EQ(bob_.core.EnterConferenceRoom(kRoom, "小鲍"), 1);
    const std::vector<NotifyRecord> records = bob_.Drain();
    std::vector<std::string> expected;
    for (int i = 6; i <= 25; ++i)
        expected.push_back(In("艾丽丝") + ": 第" + std::to_string(i) + "条");
    EXPECT_EQ(Contents(records), expected) << "the last 20, oldest first";
    for (const NotifyRecord& record : records) {
        if (const auto* message = record.As<platform::MessageData>()) {
            EXPECT_TRUE(message->flag);
            EXPECT_EQ(message->to, bobJid_);
            EXPECT_EQ(message->fromName, "艾丽丝");
        }
    }
    // Who is there comes first, then the history, then the room's info with its subject.
    ASSERT_GE(records.size(), 3u);
    EXPECT_EQ(records.front().type, nt::kRoomMemberPresence);
    ASSERT_EQ(records.back().type, nt::kRoomInfo);
    EXPECT_EQ(Slots(records.back()),
              (std::vector<std::string>{kRoom, "项目组", "周会", "persistent"}));
    EXPECT_EQ(Numbers(records.back()), (std::vector<std::int64_t>{2, 200, 2}));
    EXPECT_TRUE(Contents(alice_.Drain()).empty()) << "the history goes to the newcomer only";
}

TEST_F(SimRoomsTest, AUserWhoseSessionDroppedIsAnOccupantAgainAfterReentering) {
    ASSERT_TRUE(AliceOpensTheRoom());
    ASSERT_EQ(carol_.core.EnterConferenceRoom(kRoom, "卡卡"), 1);
    ASSERT_EQ(alice_.core.GrantConferenceVoice(kRoom, carolJid_), 1);
    alice_.Drain();
    carol_.Drain();

    ASSERT_TRUE(carol_.core.DropConnection());
    EXPECT_EQ(Presences(alice_.Drain()), (std::vector<Seen>{{In("卡卡"), "none", "offline"}}));
    EXPECT_EQ(world_.server().RoomsKeptFor(carolJid_), (std::vector<std::string>{kRoom}));
    ASSERT_EQ(alice_.core.SendConferenceMessage(kRoom, "她掉线了", ""), 1);

    // Logged in again and re-entered: the same nickname and the voice she had.
    ASSERT_TRUE(carol_.LogIn());
    ASSERT_EQ(carol_.core.EnterConferenceRoom(kRoom, ""), 1);
    const std::vector<NotifyRecord> back = carol_.Drain();
    EXPECT_EQ(Presences(back), (std::vector<Seen>{{In("艾丽丝"), "moderator", ""},
                                                  {In("卡卡"), "participant", ""}}));
    EXPECT_EQ(Contents(back), (std::vector<std::string>{In("艾丽丝") + ": 她掉线了"}))
        << "what was said while she was away is in the history";
    EXPECT_EQ(Presences(alice_.Drain()), (std::vector<Seen>{{In("卡卡"), "participant", ""}}));
    EXPECT_TRUE(world_.server().RoomsKeptFor(carolJid_).empty());

    ASSERT_EQ(carol_.core.SendConferenceMessage(kRoom, "我回来了", ""), 1);
    EXPECT_EQ(Contents(alice_.Drain()), (std::vector<std::string>{In("卡卡") + ": 我回来了"}));
}

TEST_F(SimRoomsTest, CallsNotAllowedAreAnsweredWithARoomError) {
    ASSERT_TRUE(AliceOpensTheRoom());
    ASSERT_EQ(bob_.core.EnterConferenceRoom(kRoom, ""), 1);
    ASSERT_EQ(carol_.core.EnterConferenceRoom(kRoom, ""), 1);
    for (RoomClient* client : {&alice_, &bob_, &carol_}) client->Drain();

    struct Case {
        const char* what;
        RoomClient& caller;
        std::function<int()> call;
        const char* error;
    };
    const std::string gone = "gone@conference." + kHost;
    const Case cases[] = {
        {"a participant kicks", bob_, [&] { return bob_.core.KickConferenceUser(kRoom, "卡萝"); },
         "forbidden KickConferenceUser 403"},
        {"a participant grants voice", bob_,
         [&] { return bob_.core.GrantConferenceVoice(kRoom, "卡萝"); },
         "forbidden GrantConferenceVoice 403"},
        {"a member destroys", bob_, [&] { return bob_.core.DestroyRoom(kRoom); },
         "forbidden DestroyRoom 403"},
        {"a participant sets the subject", bob_,
         [&] { return bob_.core.ChangeConferenceSubject(kRoom, "x"); },
         "forbidden ChangeConferenceSubject 403"},
        {"a member adds a member", bob_,
         [&] { return bob_.core.SetConferenceMembership(kRoom, carolJid_, "member"); },
         "forbidden SetConferenceMembership 403"},
        {"the owner is kicked", alice_,
         [&] { return alice_.core.KickConferenceUser(kRoom, "艾丽丝"); },
         "not-allowed KickConferenceUser 405"},
        {"a moderator loses voice", alice_,
         [&] { return alice_.core.RevokeConferenceVoice(kRoom, aliceJid_); },
         "not-allowed RevokeConferenceVoice 405"},
        {"the last owner leaves", alice_,
         [&] { return alice_.core.SetConferenceMembership(kRoom, aliceJid_, "none"); },
         "not-allowed SetConferenceMembership 405"},
        {"a participant raises a hand", bob_,
         [&] { return bob_.core.RequestConferenceVoice(kRoom); },
         "not-allowed RequestConferenceVoice 405"},
        {"an unknown member is kicked", alice_,
         [&] { return alice_.core.KickConferenceUser(kRoom, "无人"); },
         "item-not-found KickConferenceUser 404"},
        {"a nickname in use", carol_,
         [&] {
             carol_.core.LeaveConferenceRoom(kRoom);
             carol_.Drain();
             return carol_.core.EnterConferenceRoom(kRoom, "鲍勃");
         },
         "conflict EnterConferenceRoom 409"},
        {"a room taken", carol_, [&] { return carol_.core.CreatePersistentRoom(kRoom, "x"); },
         "conflict CreatePersistentRoom 409"},
        {"a room elsewhere", carol_,
         [&] { return carol_.core.RequestInstantRoom("r@conference.other.host"); },
         "not-acceptable RequestInstantRoom 406"},
        {"a message to a room one is not in", carol_,
         [&] { return carol_.core.SendConferenceMessage(kRoom, "x", ""); },
         "not-acceptable SendConferenceMessage 406"},
        {"info of a room that is gone", carol_,
         [&] { return carol_.core.QueryConferenceInfo(gone); },
         "item-not-found QueryConferenceInfo 404"},
        {"members of a room that is gone", carol_,
         [&] { return carol_.core.QueryConferenceMembersList(gone); },
         "item-not-found QueryConferenceMembersList 404"},
        {"an invitation into a room that is gone", carol_,
         [&] { return carol_.core.ConferenceInvitation(gone, bobJid_, "temporary"); },
         "item-not-found ConferenceInvitation 404"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call(), 1) << "the call is accepted; the server answers";
        EXPECT_EQ(ErrorOf(c.caller.Drain()), c.error);
    }
    EXPECT_TRUE(world_.server().HasRoom(kRoom));
    EXPECT_EQ(world_.server().RoomRole(kRoom, "艾丽丝"), "moderator");
    EXPECT_EQ(world_.server().RoomAffiliation(kRoom, carolJid_), "none");
    for (RoomClient* client : {&alice_, &bob_}) {
        EXPECT_EQ(ErrorOf(client->Drain()), "none") << "errors go to the caller only";
    }
}

TEST_F(SimRoomsTest, ATemporaryRoomIsOpenToItsInviteesAndEndsWithItsLastOccupant) {
    ASSERT_TRUE(alice_.LogIn());
    ASSERT_TRUE(bob_.LogIn());
    const std::string room = "a1b2@conference." + kHost;
    ASSERT_EQ(alice_.core.RequestInstantRoom(room), 1);
    EXPECT_EQ(Presences(alice_.Drain()), (std::vector<Seen>{{room + "/艾丽丝", "moderator", ""}}));
    ASSERT_EQ(alice_.core.ConferenceInvitation(room, bobJid_, "temporary"), 1);
    const std::vector<NotifyRecord> invitations = bob_.Take(nt::kRoomInvitation);
    ASSERT_EQ(invitations.size(), 1u);
    EXPECT_EQ(Slots(invitations[0])[rs::kInviteReason], "temporary");

    ASSERT_EQ(bob_.core.EnterConferenceRoom(room, ""), 1);
    EXPECT_EQ(world_.server().RoomRole(room, "鲍勃"), "participant");
    // The member count of a temporary room is who is present.
    const std::vector<NotifyRecord> counts = alice_.Take(nt::kRoomMemberCounts);
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(Numbers(counts[0]), (std::vector<std::int64_t>{2, 200, 2}));
    ASSERT_EQ(bob_.core.RefreshSelfConferenceList(0), 1);
    const std::vector<NotifyRecord> lists = bob_.Take(nt::kRoomList);
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_TRUE(Slots(lists[0]).empty()) << "a temporary room is in nobody's own list";

    ASSERT_EQ(bob_.core.LeaveConferenceRoom(room), 1);
    EXPECT_EQ(Presences(alice_.Drain()), (std::vector<Seen>{{room + "/鲍勃", "none", "left"}}));
    EXPECT_TRUE(world_.server().HasRoom(room));
    ASSERT_EQ(alice_.core.LeaveConferenceRoom(room), 1);
    EXPECT_FALSE(world_.server().HasRoom(room));
}

TEST_F(SimRoomsTest, MembershipShapesTheOwnListTheMembersListAndTheCounts) {
    ASSERT_TRUE(AliceOpensTheRoom());
    ASSERT_TRUE(world_.server().AddPersistentRoom("other@conference." + kHost, "别的群", carolJid_,
                                                  {bobJid_}));
    ASSERT_EQ(bob_.core.RefreshSelfConferenceList(1), 1);
    std::vector<NotifyRecord> lists = bob_.Take(nt::kRoomList);
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(Slots(lists[0]),
              (std::vector<std::string>{kRoom, "项目组", "member", "other@conference." + kHost,
                                        "别的群", "member"}));
    EXPECT_EQ(Numbers(lists[0]), (std::vector<std::int64_t>{1}));

    ASSERT_EQ(bob_.core.EnterConferenceRoom(kRoom, ""), 1);
    ASSERT_EQ(alice_.core.SetConferenceMembership(kRoom, carolJid_, "member"), 1);
    ASSERT_EQ(alice_.core.QueryConferenceMembersList(kRoom), 1);
    std::vector<NotifyRecord> members = alice_.Take(nt::kRoomMembersList);
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(
        Slots(members[0]),
        (std::vector<std::string>{kRoom, aliceJid_, "艾丽丝", "owner", "moderator", bobJid_, "鲍勃",
                                  "member", "participant", carolJid_, "卡萝", "member", "none"}));

    // Bob's membership removed: he is out of the room and the room out of his list, and
    // everybody present sees the count fall.
    bob_.Drain();
    ASSERT_EQ(alice_.core.SetConferenceMembership(kRoom, bobJid_, "none"), 1);
    const std::vector<NotifyRecord> bobSees = bob_.Drain();
    EXPECT_EQ(Presences(bobSees), (std::vector<Seen>{{In("鲍勃"), "none", "removed"}}));
    ASSERT_FALSE(bobSees.empty());
    EXPECT_EQ(bobSees.back().type, nt::kRoomRemoved);
    const std::vector<NotifyRecord> counts = alice_.Take(nt::kRoomMemberCounts);
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(Slots(counts.back()), (std::vector<std::string>{kRoom, "项目组"}));
    EXPECT_EQ(Numbers(counts.back()), (std::vector<std::int64_t>{2, 200, 1}));
    ASSERT_EQ(bob_.core.RefreshSelfConferenceList(0), 1);
    lists = bob_.Take(nt::kRoomList);
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(Slots(lists[0]),
              (std::vector<std::string>{"other@conference." + kHost, "别的群", "member"}));

    // Leaving on one's own is a membership of "none" set by oneself.
    ASSERT_EQ(bob_.core.SetConferenceMembership("other@conference." + kHost, bobJid_, "none"), 1);
    EXPECT_EQ(ErrorOf(bob_.Drain()), "none");
    EXPECT_EQ(world_.server().RoomAffiliation("other@conference." + kHost, bobJid_), "none");
}

TEST_F(SimRoomsTest, ARoomHoldsNoMoreMembersThanItsLimit) {
    ASSERT_TRUE(alice_.LogIn());
    std::vector<std::string> members;
    for (int i = 0; i < 198; ++i)
        members.push_back(AddAccount(("m" + std::to_string(i)).c_str(), ""));
    ASSERT_TRUE(world_.server().AddPersistentRoom(kRoom, "大群", aliceJid_, members));
    ASSERT_EQ(alice_.core.SetConferenceMembership(kRoom, bobJid_, "member"), 1);
    EXPECT_EQ(ErrorOf(alice_.Drain()), "none") << "the 200th member";
    ASSERT_EQ(alice_.core.SetConferenceMembership(kRoom, carolJid_, "member"), 1);
    EXPECT_EQ(ErrorOf(alice_.Drain()), "not-acceptable SetConferenceMembership 406");
    EXPECT_EQ(world_.server().RoomAffiliation(kRoom, carolJid_), "none");
}

TEST_F(SimRoomsTest, AnInvitationWaitsForAnOfflineInvitee) {
    ASSERT_TRUE(alice_.LogIn());
    ASSERT_EQ(alice_.core.CreatePersistentRoom(kRoom, "项目组"), 1);
    ASSERT_EQ(alice_.core.ConferenceInvitation(kRoom, bobJid_, ""), 1);
    const std::string gone = "later@conference." + kHost;
    ASSERT_EQ(alice_.core.CreatePersistentRoom(gone, "稍后解散"), 1);
    ASSERT_EQ(alice_.core.ConferenceInvitation(gone, bobJid_, ""), 1);
    ASSERT_EQ(alice_.core.DestroyRoom(gone), 1);

    ASSERT_EQ(bob_.core.Login("bob", "pw", 1, "", 0), platform::kLoginAccepted);
    const std::vector<NotifyRecord> invitations = bob_.Take(nt::kRoomInvitation);
    ASSERT_EQ(invitations.size(), 1u) << "the dissolved room's invitation is dropped";
    EXPECT_EQ(Slots(invitations[0])[rs::kInviteRoom], kRoom);
}

TEST_F(SimRoomsTest, RoomCallsNeedALoggedInSession) {
    EXPECT_EQ(alice_.core.RequestInstantRoom(kRoom), 0);
    EXPECT_EQ(alice_.core.EnterConferenceRoom(kRoom, ""), 0);
    EXPECT_EQ(alice_.core.RefreshSelfConferenceList(0), 0);
    ASSERT_TRUE(alice_.LogIn());
    EXPECT_EQ(alice_.core.EnterConferenceRoom("", ""), 0);
    EXPECT_FALSE(world_.server().HasRoom(kRoom));
}

TEST_F(SimRoomsTest, MessagesFromTwoThreadsReachEveryoneInOneOrder) {
    ASSERT_TRUE(AliceOpensTheRoom());
    ASSERT_EQ(bob_.core.EnterConferenceRoom(kRoom, ""), 1);
    alice_.Drain();
    bob_.Drain();
    constexpr int kEach = 200;
    auto talk = [](RoomClient& client, const char* who) {
        for (int i = 0; i < kEach; ++i) {
            client.core.SendConferenceMessage(kRoom, std::string(who) + std::to_string(i), "");
        }
    };
    std::thread aliceTalks(talk, std::ref(alice_), "a");
    std::thread bobTalks(talk, std::ref(bob_), "b");
    aliceTalks.join();
    bobTalks.join();

    const std::vector<std::string> aliceHeard = Contents(alice_.Drain());
    const std::vector<std::string> bobHeard = Contents(bob_.Drain());
    ASSERT_EQ(aliceHeard.size(), 2u * kEach);
    EXPECT_EQ(aliceHeard, bobHeard) << "the room serialises what it is told";
    for (const char* who : {"a", "b"}) {
        int next = 0;
        for (const std::string& line : aliceHeard) {
            const std::size_t colon = line.find(": ");
            if (line.compare(colon + 2, 1, who) != 0) continue;
            EXPECT_EQ(line.substr(colon + 3), std::to_string(next)) << who;
            ++next;
        }
        EXPECT_EQ(next, kEach) << who;
    }
    ASSERT_EQ(carol_.core.EnterConferenceRoom(kRoom, ""), 1);
    const std::vector<std::string> history = Contents(carol_.Drain());
    EXPECT_EQ(history, std::vector<std::string>(aliceHeard.end() - 20, aliceHeard.end()));
}

TEST_F(SimRoomsTest, ANicknameTakenByAnotherAccountKeepsANewcomerOut) {
    ASSERT_TRUE(AliceOpensTheRoom());
    AddAccount("twin", "艾丽丝");
    RoomClient twin(world_, "twin");
    ASSERT_TRUE(twin.LogIn());
    ASSERT_EQ(twin.core.EnterConferenceRoom(kRoom, ""), 1);
    EXPECT_EQ(ErrorOf(twin.Drain()), "conflict EnterConferenceRoom 409") << "its own nickname";
    EXPECT_TRUE(Presences(alice_.Drain()).empty());
    ASSERT_EQ(twin.core.EnterConferenceRoom(kRoom, "艾丽丝二号"), 1);
    EXPECT_EQ(ErrorOf(twin.Drain()), "none");
    EXPECT_EQ(world_.server().RoomOccupants(kRoom),
              (std::vector<std::string>{"艾丽丝", "艾丽丝二号"}));
}

}  // namespace
