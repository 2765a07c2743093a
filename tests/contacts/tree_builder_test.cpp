// Filling a tree from a roster or phone-book list.
#include "contacts/tree_builder.h"

#include <gtest/gtest.h>

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "loading_fixture.h"
#include "platform/session/sim_session_core.h"
#include "support/gbk_print.h"

namespace contacts_test {
namespace {

using contacts::BuildFromList;
using platform::ContactListData;

ContactListData Roster(std::vector<platform::ContactListUser> users,
                       std::vector<platform::ContactListGroup> groups) {
    return {std::string(platform::kRosterNameSpace), std::move(users), std::move(groups)};
}

class TreeBuilderTest : public LoadingTest {};

TEST_F(TreeBuilderTest, UsersAndGroupsGetTheirNodesUnderTheirKeys) {
    auto tree = MakeTree("好友");
    const ContactListData list =
        Roster({{"a@h", "A", "iqRosterTop,g1"},
                {"b@h", "B", "iqRosterTop,g2"},
                {"c@h", "C", "iqRosterTop,g1"},
                {"top@h", "T", "iqRosterTop"},
                {"lost@h", "L", "iqRosterTop,missing"}},
               {{"g1", "同事", ""}, {"g2", "朋友", ""}, {"g3", "空组", ""}});
    const contacts::BuildOutcome outcome = BuildFromList(context(), *tree, list, "iqRosterTop");
    EXPECT_EQ(outcome.usersAdded, 5u);
    EXPECT_EQ(outcome.groupsAdded, 3u);
    EXPECT_TRUE(tree->dirty());
    // A user at the top comes before the groups; users keep the list's order; a user whose
    // group never came has no node.
    EXPECT_GBK_EQ(Outline(*tree),
                  "T(离线)\n同事 (0/2)\n  A(离线)\n  C(离线)\n朋友 (0/1)\n  B(离线)\n空组\n");
    EXPECT_EQ(outcome.nodesPlaced, 7u);
    EXPECT_EQ(tree->ItemDataCount(), 8u);
}

TEST_F(TreeBuilderTest, AUserTwiceUnderOneKeyIsOneUserUnderTwoKeysTwo) {
    struct Case {
        const char* name;
        const char* secondKey;
        std::size_t users;
    };
    const Case cases[] = {{"same group", "iqRosterTop,g1", 1}, {"two groups", "iqRosterTop,g2", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto tree = MakeTree();
        BuildFromList(context(), *tree,
                      Roster({{"a@h", "A", "iqRosterTop,g1"}, {"a@h", "A", c.secondKey}},
                             {{"g1", "g1", ""}, {"g2", "g2", ""}}),
                      "iqRosterTop");
        EXPECT_EQ(tree->FindUsers("a@h", platform::JidMatch::Exact).size(), c.users);
    }
}

TEST_F(TreeBuilderTest, ARepeatedListKeepsItsItemsAndTakesTheNewOrderAndNames) {
    auto tree = MakeTree();
    BuildFromList(context(), *tree,
                  Roster({{"a@h", "A", "iqRosterTop,g1"}, {"b@h", "B", "iqRosterTop,g1"}},
                         {{"g1", "旧名", ""}}),
                  "iqRosterTop");
    tree->SetDirty(false);
    contacts::CUser* a = tree->FindUser("a@h", "iqRosterTop,g1", platform::JidMatch::Exact);
    ASSERT_NE(a, nullptr);

    const contacts::BuildOutcome again =
        BuildFromList(context(), *tree,
                      Roster({{"b@h", "B", "iqRosterTop,g1"}, {"a@h", "A", "iqRosterTop,g1"}},
                             {{"g1", "新名", ""}}),
                      "iqRosterTop");
    EXPECT_EQ(again.usersAdded + again.groupsAdded, 0u);
    EXPECT_FALSE(tree->dirty()) << "nothing new";
    EXPECT_EQ(tree->FindUser("a@h", "iqRosterTop,g1", platform::JidMatch::Exact), a);
    // One running counter: users 0 and 1, then the group 2.
    EXPECT_EQ(a->orderIndex, 1);
    EXPECT_EQ(tree->FindUser("b@h", "", platform::JidMatch::Exact)->orderIndex, 0);
    contacts::CGroup* group = tree->FindGroup("iqRosterTop,g1");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->orderIndex, 2);
    EXPECT_GBK_EQ(tree->GetItemText(tree->GetRoot()), "新名 (0/2)");
    EXPECT_EQ(tree->GetCount(), 3);
}

TEST_F(TreeBuilderTest, SettingsAskForVcardsAndOpenTheTopAfterTheFirstBuild) {
    config().QueryPersonInfoInBuildTree = 1;
    config().ExpandTreeRootAtFirst = 1;
    ASSERT_TRUE(LogIn());
    session().calls().Clear();

    auto tree = MakeTree();
    BuildFromList(context(), *tree,
                  Roster({{"a@h", "A", "iqRosterTop,g1"}, {"b@h", "B", "iqRosterTop,g1"}},
                         {{"g1", "g1", ""}}),
                  "iqRosterTop");
    const auto vcards = session().calls().Named("QueryPersonInfo");
    ASSERT_EQ(vcards.size(), 2u);
    EXPECT_EQ(vcards[0].args[0], "a@h");
    EXPECT_EQ(vcards[1].args[0], "b@h");
    EXPECT_TRUE(tree->IsExpanded(tree->GetRoot()));
}

}  // namespace
}  // namespace contacts_test
