// The simulated server carries out the buddy-list and phone-book edits and confirms each
// with a roster push to every session of the owner.
#include <gtest/gtest.h>

#include <thread>

#include "os/sys/event.h"
#include "platform/session/sim_session_core.h"
#include "sim_world.h"
#include "support/gbk_print.h"

namespace sim_roster_edits_test {
namespace {

using platform::NotifyRecord;
using platform::RosterPushData;
namespace nt = platform::notify_type;

struct Client {
    explicit Client(sim_testing::SimWorld& world)
        : lost(world.clock(), os::EventReset::Auto),
          notify(world.clock(), os::EventReset::Auto),
          core(world.serverPtr()) {
        core.Init(&lost, &notify, std::this_thread::get_id());
    }
    // The roster pushes queued since the last call (other records are dropped).
    std::vector<RosterPushData> Pushes() {
        std::vector<RosterPushData> pushes;
        while (NotifyRecord* record = core.GetNotify()) {
            if (record->type == nt::kTreeNodeAdded) {
                EXPECT_NE(record->As<RosterPushData>(), nullptr);
                if (const auto* push = record->As<RosterPushData>()) pushes.push_back(*push);
            }
            core.FreeNotify(record);
        }
        return pushes;
    }
    // The list a refresh of the roster or the phone book hands this session.
    platform::ContactListData RefreshedList(std::string_view nameSpace) {
        const int asked = nameSpace == platform::kRosterNameSpace ? core.RefreshRoster(0)
                                                                  : core.RefreshTelContactTop(0);
        EXPECT_EQ(asked, 1);
        platform::ContactListData list;
        while (NotifyRecord* record = core.GetNotify()) {
            if (record->type == nt::kContactListLoading) {
                if (const auto* data = record->As<platform::ContactListData>()) list = *data;
            }
            core.FreeNotify(record);
        }
        EXPECT_EQ(list.nameSpace, nameSpace);
        return list;
    }
    os::Event lost;
    os::Event notify;
    platform::SimSessionCore core;
};

class SimRosterEditsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        me_ = world_.server().AddAccount({.loginName = "me", .password = "pw", .nickname = "我"});
        bob_ =
            world_.server().AddAccount({.loginName = "bob", .password = "pw", .nickname = "Bob"});
        world_.server().SetRoster(me_, {{bob_, "Bob", "同事", "both"}});
        ASSERT_EQ(client_.core.Login("me", "pw", 1, "", 0), platform::kLoginAccepted);
        client_.Pushes();
    }
    std::string Host() { return world_.server().HostName(); }

    sim_testing::SimWorld world_;
    Client client_{world_};
    std::string me_;
    std::string bob_;
};

TEST_F(SimRosterEditsTest, EveryBuddyEditIsKeptAndPushed) {
    platform::SimSessionCore& core = client_.core;
    const std::string amy = "amy$gov@" + Host();
    struct Step {
        const char* name;
        std::function<int()> edit;
        RosterPushData push;
        std::vector<platform::SimRosterItem> roster;
    };
    const std::string roster(platform::kRosterNameSpace);
    const Step steps[] = {
        {"add a contact who is no account",
         [&] { return core.AddContact(amy, "Amy", "朋友"); },
         {roster, {{amy, "Amy", "", "add", "", "朋友"}}, {{"朋友", "朋友", "", "addgroup"}}},
         {{bob_, "Bob", "同事", "both"}, {amy, "Amy", "朋友", "none"}}},
        {"rename and move it",
         [&] { return core.ModifyContact(amy, "艾米", "同事", "朋友"); },
         {roster, {{amy, "艾米", "", "update", "", "同事"}}, {{"同事", "同事", "", "addgroup"}}},
         {{bob_, "Bob", "同事", "both"}, {amy, "艾米", "同事", "none"}}},
        {"rename the group",
         [&] { return core.ModifyBuddyGroup("同事", "老同事"); },
         {roster,
          {{bob_, "Bob", "", "update", "", "老同事"}, {amy, "艾米", "", "update", "", "老同事"}},
          {{"同事", "同事", "", "deletegroup"}, {"老同事", "老同事", "", "addgroup"}}},
         {{bob_, "Bob", "老同事", "both"}, {amy, "艾米", "老同事", "none"}}},
        {"remove one",
         [&] { return core.RemoveContact(amy, "艾米", "老同事"); },
         {roster,
          {{amy, "艾米", "", "remove", "", "老同事"}},
          {{"老同事", "老同事", "", "addgroup"}}},
         {{bob_, "Bob", "老同事", "both"}}},
        {"delete the group with its contacts",
         [&] { return core.DeleteBudyGroup("老同事"); },
         {roster, {}, {{"老同事", "老同事", "", "deletegroup"}}},
         {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        EXPECT_EQ(step.edit(), 1);
        const std::vector<RosterPushData> pushes = client_.Pushes();
        ASSERT_EQ(pushes.size(), 1u);
        EXPECT_EQ(pushes[0], step.push);
        EXPECT_EQ(world_.server().Roster(me_), step.roster);
    }
}

TEST_F(SimRosterEditsTest, AnEmptyGroupStaysInTheListAndEditsOfUnknownThingsAnswerZero) {
    platform::SimSessionCore& core = client_.core;
    EXPECT_EQ(core.AddBudyGroup("空组", "空组", "iqRosterTop"), 1);
    ASSERT_EQ(client_.Pushes().size(), 1u);
    const platform::ContactListData list = client_.RefreshedList(platform::kRosterNameSpace);
    ASSERT_EQ(list.groups.size(), 2u);
    EXPECT_GBK_EQ(list.groups[0].name, "空组");
    struct Case {
        const char* name;
        std::function<int()> edit;
    };
    const Case cases[] = {
        {"modify a stranger", [&] { return core.ModifyContact("x@h", "X", "g", ""); }},
        {"remove a stranger", [&] { return core.RemoveContact("x@h", "X", "g"); }},
        {"rename a missing group", [&] { return core.ModifyBuddyGroup("无", "有"); }},
        {"delete a missing group", [&] { return core.DeleteBudyGroup("无"); }},
        {"delete a missing number", [&] { return core.DeleteMobileContact("g", "139"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.edit(), 0);
        EXPECT_TRUE(client_.Pushes().empty());
    }
}

TEST_F(SimRosterEditsTest, PhoneBookEditsNameTheContactByItsSmsJid) {
    platform::SimSessionCore& core = client_.core;
    const std::string jid = "13800138000@sms." + Host();
    const std::string phone(platform::kPhoneBookNameSpace);
    EXPECT_EQ(core.AddMobileContact("家人", "<name>张三</name><mobile>13800138000</mobile>"), 1);
    std::vector<RosterPushData> pushes = client_.Pushes();
    ASSERT_EQ(pushes.size(), 1u);
    EXPECT_EQ(pushes[0], (RosterPushData{phone,
                                         {{jid, "张三", "", "add", "", "家人"}},
                                         {{"家人", "家人", "", "addgroup"}}}));
    EXPECT_EQ(core.ModifyMobileContact("家人", "<name>张三丰</name>", jid), 1);
    pushes = client_.Pushes();
    ASSERT_EQ(pushes.size(), 1u);
    EXPECT_EQ(pushes[0], (RosterPushData{phone, {{jid, "张三丰", "", "update", "", "家人"}}, {}}));
    EXPECT_EQ(core.DeleteMobileContact("家人", jid), 1);
    pushes = client_.Pushes();
    ASSERT_EQ(pushes.size(), 1u);
    EXPECT_EQ(pushes[0], (RosterPushData{phone, {{jid, "张三丰", "", "remove", "", "家人"}}, {}}));
    // The group stays, empty.
    const platform::ContactListData list = client_.RefreshedList(platform::kPhoneBookNameSpace);
    EXPECT_TRUE(list.users.empty());
    ASSERT_EQ(list.groups.size(), 1u);
}

TEST_F(SimRosterEditsTest, AnAcceptedRequestIsPushedToBothSides) {
    Client bob(world_);
    ASSERT_EQ(bob.core.Login("bob", "pw", 1, "", 0), platform::kLoginAccepted);
    const std::string carol =
        world_.server().AddAccount({.loginName = "carol", .password = "pw", .nickname = "Carol"});
    Client carolClient(world_);
    ASSERT_EQ(carolClient.core.Login("carol", "pw", 1, "", 0), platform::kLoginAccepted);
    carolClient.Pushes();
    ASSERT_EQ(client_.core.AddContact(carol, "卡罗", "朋友"), 1);
    std::vector<RosterPushData> pushes = client_.Pushes();
    ASSERT_EQ(pushes.size(), 1u);
    // Carol is an account: the request is on its way.
    EXPECT_EQ(pushes[0].users.at(0).ask, "subscribe");
    EXPECT_EQ(carolClient.core.ConfirmSubscribe(me_, 1), 1);
    pushes = client_.Pushes();
    ASSERT_EQ(pushes.size(), 1u);
    EXPECT_EQ(pushes[0].users.at(0).jid, carol);
    EXPECT_EQ(pushes[0].users.at(0).subscription, "to");
    // Bob's session of another account sees nothing of it.
    EXPECT_TRUE(bob.Pushes().empty());
}

}  // namespace
}  // namespace sim_roster_edits_test
