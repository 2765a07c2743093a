// Roster pushes applied to one tree.
#include "contacts/editing/roster_push.h"

#include <gtest/gtest.h>

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "contacts/loading_fixture.h"
#include "contacts/tree_builder.h"
#include "core/client_world.h"
#include "platform/services/notice_pop.h"
#include "platform/session/sim_session_core.h"
#include "support/gbk_print.h"

namespace contacts_test {
namespace {

using platform::RosterPushData;
constexpr std::string_view kTop = platform::kRosterTopKind;

RosterPushData Push(std::vector<platform::RosterPushUser> users,
                    std::vector<platform::RosterPushGroup> groups = {},
                    std::string_view nameSpace = platform::kRosterNameSpace) {
    return {std::string(nameSpace), std::move(users), std::move(groups)};
}

class RosterPushTest : public LoadingTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(LogIn());
        Rebuild();
    }
    // A fresh tree: Bob in "同事", the group "朋友" empty.
    void Rebuild() {
        tree_ = MakeTree("好友");
        tree_->topKind = std::string(kTop);
        contacts::BuildFromList(context(), *tree_,
                                {std::string(platform::kRosterNameSpace),
                                 {{"bob@h", "Bob", "iqRosterTop,同事"}},
                                 {{"同事", "同事", ""}, {"朋友", "朋友", ""}}},
                                kTop);
        session().calls().Clear();
        tree_->SetDirty(false);
    }
    contacts::PushOutcome Apply(const RosterPushData& push) {
        return contacts::ApplyRosterPush(context(), *tree_, push, kTop);
    }
    std::unique_ptr<contacts::CIMTree> tree_;
};

TEST_F(RosterPushTest, AnAddedUserComesIntoItsGroupAndItsDetailsAreAskedFor) {
    const auto outcome = Apply(Push({{"amy@h", "Amy", "subscribe", "add", "外出", "朋友"}}));
    EXPECT_EQ(outcome.usersAdded, 1);
    EXPECT_GBK_EQ(Outline(*tree_), "同事 (0/1)\n  Bob(离线)\n朋友 (0/1)\n  Amy(离线)\n");
    EXPECT_TRUE(tree_->dirty());
    contacts::CUser* amy = tree_->FindUser("amy@h", "iqRosterTop,朋友", platform::JidMatch::Exact);
    ASSERT_NE(amy, nullptr);
    EXPECT_EQ(amy->presence(), "offline");
    EXPECT_GBK_EQ(amy->OfflineNote(), "外出");
    EXPECT_GBK_EQ(std::string(amy->groupId.view()), "朋友");
    const auto calls = session().calls().Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], (platform::SessionCall{"QueryPersonInfo", {"amy@h", "0", "0"}}));
    EXPECT_EQ(calls[1], (platform::SessionCall{"QueryStatusInfo", {"amy@h"}}));
}

TEST_F(RosterPushTest, WhatEachUserItemDoes) {
    struct Case {
        const char* name;
        platform::RosterPushUser item;
        const char* outline;
        std::size_t detailQueries;
    };
    const Case cases[] = {
        {"unsubscribe is skipped",
         {"amy@h", "Amy", "UnSubscribe", "add", "", "朋友"},
         "同事 (0/1)\n  Bob(离线)\n朋友\n",
         0},
        {"a subscription state adds without asking",
         {"amy@h", "Amy", "", "both", "", "朋友"},
         "同事 (0/1)\n  Bob(离线)\n朋友 (0/1)\n  Amy(离线)\n",
         0},
        {"update renames",
         {"bob@h", "Robert", "", "update", "", "同事"},
         "同事 (0/1)\n  Robert(离线)\n朋友\n",
         2},
        {"a move leaves the old group",
         {"bob@h", "Bob", "", "update", "", "朋友"},
         "同事\n朋友 (0/1)\n  Bob(离线)\n",
         2},
        {"remove takes the user out",
         {"bob@h", "Bob", "", "remove", "", "同事"},
         "同事\n朋友\n",
         0},
        {"remove of another group's user changes nothing",
         {"bob@h", "Bob", "", "remove", "", "朋友"},
         "同事 (0/1)\n  Bob(离线)\n朋友\n",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rebuild();
        Apply(Push({c.item}));
        EXPECT_GBK_EQ(Outline(*tree_), c.outline);
        EXPECT_EQ(session().calls().Calls().size(), c.detailQueries);
    }
}

TEST_F(RosterPushTest, ARemovalShowsItsTipAndASubscriptionChangeIsKept) {
    Apply(Push({{"bob@h", "Bob", "", "to", "", "同事"}}));
    contacts::CUser* bob = tree_->FindUser("bob@h", "iqRosterTop,同事", platform::JidMatch::Exact);
    ASSERT_NE(bob, nullptr);
    EXPECT_EQ(std::string(bob->subscription.view()), "to");
    world_->tips().Clear();
    Apply(Push({{"bob@h", "Bob", "", "remove", "", "同事"}}));
    EXPECT_EQ(tree_->FindUser("bob@h", "iqRosterTop,同事", platform::JidMatch::Exact), nullptr);
    const std::vector<std::string> tips = world_->tips().TipTexts();
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_GBK_EQ(tips[0], "删除联系人成功");
}

TEST_F(RosterPushTest, GroupItemsCreateRenameAndDelete) {
    struct Case {
        const char* name;
        std::vector<platform::RosterPushGroup> groups;
        const char* outline;
    };
    const Case cases[] = {
        {"addgroup makes a missing group",
         {{"家人", "家人", "", "addgroup"}},
         "同事 (0/1)\n  Bob(离线)\n朋友\n家人\n"},
        {"addgroup leaves a present one",
         {{"同事", "别名", "", "addgroup"}},
         "同事 (0/1)\n  Bob(离线)\n朋友\n"},
        {"listgroup renames",
         {{"同事", "老同事", "", "listgroup"}},
         "老同事 (0/1)\n  Bob(离线)\n朋友\n"},
        {"updategroupname renames",
         {{"朋友", "好朋友", "", "updategroupname"}},
         "同事 (0/1)\n  Bob(离线)\n好朋友\n"},
        {"updategroupname makes nothing",
         {{"家人", "家人", "", "updategroupname"}},
         "同事 (0/1)\n  Bob(离线)\n朋友\n"},
        {"deletegroup takes the group and its users",
         {{"同事", "同事", "", "deletegroup"}},
         "朋友\n"},
        {"a new group below another",
         {{"同学", "同学", "朋友", "addgroup"}},
         "同事 (0/1)\n  Bob(离线)\n朋友\n  同学\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rebuild();
        Apply(Push({}, c.groups));
        EXPECT_GBK_EQ(Outline(*tree_), c.outline);
        EXPECT_TRUE(tree_->dirty());
    }
}

TEST_F(RosterPushTest, APhoneBookUserAsksForItsCard) {
    auto phoneBook = MakeTree("电话本");
    phoneBook->topKind = std::string(platform::kPhoneBookTopKind);
    contacts::ApplyRosterPush(
        context(), *phoneBook,
        Push({{"13800138000@sms.h", "张三", "", "add", "", "家人"}},
             {{"家人", "家人", "", "addgroup"}}, platform::kPhoneBookNameSpace),
        platform::kPhoneBookTopKind);
    EXPECT_GBK_EQ(Outline(*phoneBook), "家人 (0/1)\n  张三\n");
    const auto calls = session().calls().Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], (platform::SessionCall{"QueryMobileVcards", {"13800138000@sms.h", "1"}}));
    EXPECT_EQ(calls[1].name, "QueryStatusInfo");
}

}  // namespace
}  // namespace contacts_test
