#pragma once
// The room part of the SessionCore conformance suite: three clients share rooms on the
// engine's conference service, and every call answers with the same room records (layouts in
// notify_record.h, room_slot) on every engine. An engine's program instantiates it beside the
// rest of the suite:
//
//     INSTANTIATE_TEST_SUITE_P(Engines, RoomConformance, ::testing::Values(factory), name);

#include <functional>
#include <ostream>

#include "session_conformance.h"

namespace session_conformance {

namespace rs = platform::room_slot;

inline std::vector<std::string> SlotsOf(const NotifyRecord& record) {
    const auto* data = record.As<platform::SlotData>();
    return data == nullptr ? std::vector<std::string>{} : data->slots;
}
inline std::vector<std::int64_t> NumbersOf(const NotifyRecord& record) {
    const auto* data = record.As<platform::SlotData>();
    return data == nullptr ? std::vector<std::int64_t>{} : data->numbers;
}

// A member presence as (occupant JID, role, why it went).
struct SeenMember {
    std::string occupant;
    std::string role;
    std::string status;
    friend bool operator==(const SeenMember&, const SeenMember&) = default;
    friend std::ostream& operator<<(std::ostream& out, const SeenMember& seen) {
        return out << testing::PrintToString(seen.occupant) << " " << seen.role << " "
                   << seen.status;
    }
};
inline std::vector<SeenMember> MembersIn(const std::vector<NotifyRecord>& records) {
    std::vector<SeenMember> seen;
    for (const NotifyRecord& record : records) {
        if (record.type != nt::kRoomMemberPresence) continue;
        const std::vector<std::string> slots = SlotsOf(record);
        if (slots.size() <= rs::kMemberStatus) continue;
        seen.push_back(
            {slots[rs::kMemberOccupant], slots[rs::kMemberRole], slots[rs::kMemberStatus]});
    }
    return seen;
}
// The room messages as "from: content".
inline std::vector<std::string> SaidIn(const std::vector<NotifyRecord>& records) {
    std::vector<std::string> said;
    for (const NotifyRecord& record : records) {
        const auto* message = record.As<platform::MessageData>();
        if (message != nullptr && record.type == nt::kRoomMessage) {
            said.push_back(message->from + ": " + message->content);
        }
    }
    return said;
}
// The first room error as "condition call code", "none" without one.
inline std::string RoomErrorIn(const std::vector<NotifyRecord>& records) {
    for (const NotifyRecord& record : records) {
        if (record.type != nt::kRoomError) continue;
        const std::vector<std::string> slots = SlotsOf(record);
        const std::vector<std::int64_t> numbers = NumbersOf(record);
        if (slots.size() <= rs::kErrorCall || numbers.empty()) return "malformed";
        return slots[rs::kErrorCondition] + " " + slots[rs::kErrorCall] + " " +
               std::to_string(numbers[0]);
    }
    return "none";
}
// The last record of a type, or null.
inline const NotifyRecord* LastOf(const std::vector<NotifyRecord>& records, std::uint32_t type) {
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (it->type == type) return &*it;
    }
    return nullptr;
}

class RoomConformance : public SessionConformance {
  protected:
    void SetUp() override {
        SessionConformance::SetUp();
        if (IsSkipped()) return;
        carol_ = {"carol", "pw-c", "卡萝"};
        carolJid_ = world_->AddAccount(carol_);
        conference_ = "conference." + platform::Jid(aliceJid_).Domain();
        room_ = "proj@" + conference_;
        alice = NewClient();
        bob = NewClient();
        carol = NewClient();
        LogIn(*alice, alice_);
        LogIn(*bob, bob_);
        LogIn(*carol, carol_);
        Settle();
        for (Client* client : {alice.get(), bob.get(), carol.get()}) client->Drain();
    }

    // A room call may take the server a few turns (ask, enter, be told): twice the world's.
    void Settle() {
        world_->Settle();
        world_->Settle();
    }

    std::string In(const char* nickname) const { return room_ + "/" + nickname; }

    // Alice's instant room, Alice in it; what she was told.
    std::vector<NotifyRecord> AliceMakesAnInstantRoom() {
        EXPECT_EQ(alice->core->RequestInstantRoom(room_), 1);
        Settle();
        return alice->Drain();
    }

    // Alice's persistent room "项目组" with Bob as a member; what she was told.
    std::vector<NotifyRecord> AliceMakesAPersistentRoom() {
        EXPECT_EQ(alice->core->CreatePersistentRoom(room_, "项目组"), 1);
        Settle();
        std::vector<NotifyRecord> made = alice->Drain();
        EXPECT_EQ(alice->core->SetConferenceMembership(room_, bobJid_, "member"), 1);
        Settle();
        return made;
    }

    // Alice and Bob enter the room; everything queued so far is taken.
    testing::AssertionResult AliceAndBobEnter() {
        alice->core->EnterConferenceRoom(room_, "");
        Settle();
        bob->core->EnterConferenceRoom(room_, "");
        Settle();
        for (Client* client : {alice.get(), bob.get()}) {
            const std::string error = RoomErrorIn(client->Drain());
            if (error != "none") return testing::AssertionFailure() << error;
        }
        return testing::AssertionSuccess();
    }

    testing::AssertionResult AliceAndBobInAPersistentRoom() {
        const std::string error = RoomErrorIn(AliceMakesAPersistentRoom());
        if (error != "none") return testing::AssertionFailure() << error;
        return AliceAndBobEnter();
    }

    TestAccount carol_;
    std::string carolJid_, conference_, room_;
    std::unique_ptr<Client> alice, bob, carol;
};

TEST_P(RoomConformance, AnInstantRoomIsMadeEnteredTalkedInAndLeft) {
    const std::vector<NotifyRecord> made = AliceMakesAnInstantRoom();
    EXPECT_EQ(RoomErrorIn(made), "none");
    EXPECT_EQ(MembersIn(made), (std::vector<SeenMember>{{In("艾丽丝"), "moderator", ""}}));
    const NotifyRecord* info = LastOf(made, nt::kRoomInfo);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(SlotsOf(*info).at(rs::kInfoRoom), room_);
    EXPECT_EQ(SlotsOf(*info).at(rs::kInfoKind), "temporary");
    EXPECT_EQ(NumbersOf(*info).at(rs::kInfoPresent), 1);
    EXPECT_EQ(SlotsOf(made.at(0)).at(rs::kMemberAffiliation), "owner");

    ASSERT_EQ(bob->core->EnterConferenceRoom(room_, ""), 1);
    Settle();
    const std::vector<NotifyRecord> entered = bob->Drain();
    EXPECT_EQ(MembersIn(entered), (std::vector<SeenMember>{{In("艾丽丝"), "moderator", ""},
                                                           {In("鲍勃"), "participant", ""}}));
    info = LastOf(entered, nt::kRoomInfo);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(NumbersOf(*info).at(rs::kInfoPresent), 2);
    const NotifyRecord* counts = LastOf(entered, nt::kRoomMemberCounts);
    ASSERT_NE(counts, nullptr) << "a temporary room tells its occupants how many are present";
    EXPECT_EQ(NumbersOf(*counts).at(rs::kInfoPresent), 2);
    EXPECT_EQ(SlotsOf(entered.at(0)).at(rs::kMemberRealJid), aliceJid_);
    EXPECT_EQ(MembersIn(alice->Drain()),
              (std::vector<SeenMember>{{In("鲍勃"), "participant", ""}}));

    // Everybody present hears a message, its sender too, with the font header it was sent
    // with.
    ASSERT_EQ(alice->core->SendConferenceMessage(room_, "大家好", "FONT(宋体)"), 1);
    Settle();
    for (Client* client : {alice.get(), bob.get()}) {
        const std::vector<NotifyRecord> heard = client->Drain();
        ASSERT_EQ(SaidIn(heard), (std::vector<std::string>{In("艾丽丝") + ": 大家好"}));
        const auto* message = LastOf(heard, nt::kRoomMessage)->As<platform::MessageData>();
        EXPECT_GBK_EQ(message->font, "FONT(宋体)");
        EXPECT_GBK_EQ(message->fromName, "艾丽丝");
        EXPECT_FALSE(message->flag) << "not history";
        EXPECT_EQ(message->time.size(), 19u) << message->time;
    }

    ASSERT_EQ(bob->core->LeaveConferenceRoom(room_), 1);
    Settle();
    EXPECT_EQ(MembersIn(bob->Drain()), (std::vector<SeenMember>{{In("鲍勃"), "none", "left"}}));
    EXPECT_EQ(MembersIn(alice->Drain()), (std::vector<SeenMember>{{In("鲍勃"), "none", "left"}}));
}

TEST_P(RoomConformance, ANewcomerIsGivenTheRecentMessagesBeforeTheRoomInfo) {
    AliceMakesAnInstantRoom();
    for (const char* text : {"一", "二", "三"}) {
        ASSERT_EQ(alice->core->SendConferenceMessage(room_, text, ""), 1);
    }
    Settle();
    alice->Drain();
    ASSERT_EQ(bob->core->EnterConferenceRoom(room_, ""), 1);
    Settle();
    const std::vector<NotifyRecord> entered = bob->Drain();
    EXPECT_EQ(SaidIn(entered),
              (std::vector<std::string>{In("艾丽丝") + ": 一", In("艾丽丝") + ": 二",
                                        In("艾丽丝") + ": 三"}));
    std::size_t lastMessage = 0, info = 0;
    for (std::size_t i = 0; i < entered.size(); ++i) {
        if (entered[i].type == nt::kRoomMessage) {
            lastMessage = i;
            EXPECT_TRUE(entered[i].As<platform::MessageData>()->flag) << "history is marked";
        }
        if (entered[i].type == nt::kRoomInfo) info = i;
    }
    EXPECT_LT(lastMessage, info);
}

TEST_P(RoomConformance, APersistentRoomGivesVoiceToMembersAndOnRequest) {
    const std::vector<NotifyRecord> made = AliceMakesAPersistentRoom();
    EXPECT_EQ(RoomErrorIn(made), "none");
    EXPECT_TRUE(MembersIn(made).empty()) << "making a persistent room does not enter it";
    const NotifyRecord* info = LastOf(made, nt::kRoomInfo);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(SlotsOf(*info), (std::vector<std::string>{room_, "项目组", "", "persistent"}));

    ASSERT_TRUE(AliceAndBobEnter());
    // Carol, no member, is a visitor: she may not talk, and asks for voice.
    ASSERT_EQ(carol->core->EnterConferenceRoom(room_, ""), 1);
    Settle();
    // Who is there, in the room's order, and the newcomer's own presence last.
    std::vector<SeenMember> seen = MembersIn(carol->Drain());
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen.back(), (SeenMember{In("卡萝"), "visitor", ""}));
    std::sort(seen.begin(), seen.end() - 1,
              [](const SeenMember& a, const SeenMember& b) { return a.role < b.role; });
    EXPECT_EQ(seen[0], (SeenMember{In("艾丽丝"), "moderator", ""}));
    EXPECT_EQ(seen[1], (SeenMember{In("鲍勃"), "participant", ""}));
    alice->Drain();
    bob->Drain();
    ASSERT_EQ(carol->core->SendConferenceMessage(room_, "我想说", ""), 1);
    Settle();
    EXPECT_EQ(RoomErrorIn(carol->Drain()), "forbidden SendConferenceMessage 403");
    EXPECT_TRUE(SaidIn(bob->Drain()).empty());

    ASSERT_EQ(carol->core->RequestConferenceVoice(room_), 1);
    Settle();
    const std::vector<NotifyRecord> requests = alice->DrainType(nt::kRoomVoiceRequest);
    ASSERT_EQ(requests.size(), 1u) << "the moderator hears the raised hand";
    EXPECT_EQ(SlotsOf(requests[0]),
              (std::vector<std::string>{room_, In("卡萝"), carolJid_, "卡萝"}));
    EXPECT_TRUE(bob->DrainType(nt::kRoomVoiceRequest).empty()) << "a participant does not";

    ASSERT_EQ(alice->core->GrantConferenceVoice(room_, "卡萝"), 1);
    Settle();
    for (Client* client : {alice.get(), bob.get(), carol.get()}) {
        EXPECT_EQ(MembersIn(client->Drain()),
                  (std::vector<SeenMember>{{In("卡萝"), "participant", ""}}));
    }

    // The member list: affiliated users with their role, owners first.
    ASSERT_EQ(alice->core->QueryConferenceMembersList(room_), 1);
    Settle();
    const std::vector<NotifyRecord> lists = alice->DrainType(nt::kRoomMembersList);
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(SlotsOf(lists[0]),
              (std::vector<std::string>{room_, aliceJid_, "艾丽丝", "owner", "moderator", bobJid_,
                                        "鲍勃", "member", "participant"}));

    // A moderator kicks: the kicked one and everybody present learn why.
    ASSERT_EQ(alice->core->KickConferenceUser(room_, "卡萝"), 1);
    Settle();
    EXPECT_EQ(MembersIn(carol->Drain()), (std::vector<SeenMember>{{In("卡萝"), "none", "kicked"}}));
    EXPECT_EQ(MembersIn(bob->Drain()), (std::vector<SeenMember>{{In("卡萝"), "none", "kicked"}}));
}

TEST_P(RoomConformance, APersistentRoomEnteredRightAfterItsMakingTakesItsOwnerIn) {
    ASSERT_EQ(alice->core->CreatePersistentRoom(room_, "项目组"), 1);
    ASSERT_EQ(alice->core->EnterConferenceRoom(room_, ""), 1);
    Settle();
    Settle();  // made, left, entered again
    const std::vector<NotifyRecord> records = alice->Drain();
    EXPECT_EQ(RoomErrorIn(records), "none");
    EXPECT_EQ(MembersIn(records), (std::vector<SeenMember>{{In("艾丽丝"), "moderator", ""}}));
    const NotifyRecord* info = LastOf(records, nt::kRoomInfo);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(SlotsOf(*info).at(rs::kInfoKind), "persistent");
}

TEST_P(RoomConformance, RefusedCallsAreAnsweredWithTheRoomError) {
    ASSERT_TRUE(AliceAndBobInAPersistentRoom());
    struct Case {
        const char* what;
        std::function<int()> act;
        std::string who;  // "bob" or "carol" or "alice": whose queue tells it
        std::string expected;
    };
    const Case cases[] = {
        {"entering a room that does not exist",
         [this] { return carol->core->EnterConferenceRoom("nothing@" + conference_, ""); }, "carol",
         "item-not-found EnterConferenceRoom 404"},
        {"making an instant room that exists",
         [this] { return carol->core->RequestInstantRoom(room_); }, "carol",
         "conflict RequestInstantRoom 409"},
        {"entering under a nickname another occupant has",
         [this] { return carol->core->EnterConferenceRoom(room_, "艾丽丝"); }, "carol",
         "conflict EnterConferenceRoom 409"},
        {"a room off the conference service",
         [this] {
             return carol->core->RequestInstantRoom("proj@" + platform::Jid(aliceJid_).Domain());
         },
         "carol", "not-acceptable RequestInstantRoom 406"},
        {"leaving a room one is not in", [this] { return carol->core->LeaveConferenceRoom(room_); },
         "carol", "not-acceptable LeaveConferenceRoom 406"},
        {"a participant asks for voice",
         [this] { return bob->core->RequestConferenceVoice(room_); }, "bob",
         "not-allowed RequestConferenceVoice 405"},
        {"a participant changes the subject",
         [this] { return bob->core->ChangeConferenceSubject(room_, "改"); }, "bob",
         "forbidden ChangeConferenceSubject 403"},
        {"a participant kicks", [this] { return bob->core->KickConferenceUser(room_, "艾丽丝"); },
         "bob", "forbidden KickConferenceUser 403"},
        {"the owner kicked", [this] { return alice->core->KickConferenceUser(room_, "艾丽丝"); },
         "alice", "not-allowed KickConferenceUser 405"},
        {"a member destroys the room", [this] { return bob->core->DestroyRoom(room_); }, "bob",
         "forbidden DestroyRoom 403"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.act(), 1) << "accepted; the answer comes as a record";
        Settle();
        Client& told = c.who == "alice" ? *alice : c.who == "bob" ? *bob : *carol;
        EXPECT_EQ(RoomErrorIn(told.Drain()), c.expected);
        for (Client* client : {alice.get(), bob.get(), carol.get()}) client->Drain();
    }
    EXPECT_EQ(alice->core->EnterConferenceRoom("", ""), 0) << "no room named";
}

TEST_P(RoomConformance, TheSubjectReachesEveryOccupantWithTheRoomInfo) {
    AliceMakesAnInstantRoom();
    ASSERT_EQ(bob->core->EnterConferenceRoom(room_, ""), 1);
    Settle();
    alice->Drain();
    bob->Drain();
    ASSERT_EQ(alice->core->ChangeConferenceSubject(room_, "新议题"), 1);
    Settle();
    for (Client* client : {alice.get(), bob.get()}) {
        const std::vector<NotifyRecord> told = client->Drain();
        const NotifyRecord* info = LastOf(told, nt::kRoomInfo);
        ASSERT_NE(info, nullptr);
        EXPECT_GBK_EQ(SlotsOf(*info).at(rs::kInfoSubject), "新议题");
    }
    ASSERT_EQ(bob->core->QueryConferenceInfo(room_), 1);
    Settle();
    const std::vector<NotifyRecord> answered = bob->DrainType(nt::kRoomInfo);
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(SlotsOf(answered[0]).at(rs::kInfoSubject), "新议题");
    EXPECT_EQ(SlotsOf(answered[0]).at(rs::kInfoKind), "temporary");
    EXPECT_EQ(NumbersOf(answered[0]).at(rs::kInfoPresent), 2);
}

TEST_P(RoomConformance, AnInvitationNamesTheRoomAndWhoInvites) {
    ASSERT_TRUE(AliceAndBobInAPersistentRoom());
    ASSERT_EQ(alice->core->ConferenceInvitation(room_, carolJid_, "来开会"), 1);
    Settle();
    const std::vector<NotifyRecord> invitations = carol->DrainType(nt::kRoomInvitation);
    ASSERT_EQ(invitations.size(), 1u);
    std::vector<std::string> slots = SlotsOf(invitations[0]);
    ASSERT_GT(slots.size(), rs::kInviteName);
    slots.resize(rs::kInviteName + 1);
    EXPECT_EQ(slots, (std::vector<std::string>{room_, aliceJid_, "来开会", "项目组"}));
}

TEST_P(RoomConformance, ADestroyedRoomSendsItsOccupantsAwayAndIsGone) {
    ASSERT_TRUE(AliceAndBobInAPersistentRoom());
    ASSERT_EQ(alice->core->LeaveConferenceRoom(room_), 1);
    Settle();
    alice->Drain();
    bob->Drain();
    ASSERT_EQ(alice->core->DestroyRoom(room_), 1);
    Settle();
    const std::vector<NotifyRecord> bobTold = bob->Drain();
    EXPECT_EQ(MembersIn(bobTold), (std::vector<SeenMember>{{In("鲍勃"), "none", "destroyed"}}));
    const NotifyRecord* removed = LastOf(bobTold, nt::kRoomRemoved);
    ASSERT_NE(removed, nullptr) << "a member loses the room from its list";
    EXPECT_EQ(SlotsOf(*removed), (std::vector<std::string>{room_, "destroyed"}));
    removed = LastOf(alice->Drain(), nt::kRoomRemoved);
    ASSERT_NE(removed, nullptr) << "so does its owner";
    ASSERT_EQ(bob->core->EnterConferenceRoom(room_, ""), 1);
    Settle();
    EXPECT_EQ(RoomErrorIn(bob->Drain()), "item-not-found EnterConferenceRoom 404");
}

}  // namespace session_conformance
