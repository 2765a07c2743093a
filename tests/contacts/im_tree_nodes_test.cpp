// Nodes of a contact tree: user and group texts, icons, counts on every ancestor.

#include <gtest/gtest.h>

#include "contacts/im_tree.h"
#include "os/ui/window.h"
#include "support/case_name.h"
#include "support/gbk_print.h"
#include "tree_fixture.h"

namespace contacts_test {
namespace {

using contacts::CGroup;
using contacts::CIMTree;
using contacts::CIMTreeItemData;
using contacts::CUser;

using TreeNodesTest = TreeTest;

TEST_F(TreeNodesTest, CreateMakesAVisibleControlOfTheParent) {
    config().TreeItemHeight = 24;
    os::Window panel(world_->windows());
    CIMTree* tree =
        CIMTree::Create(panel, context(), "我的好友", 0, 1200, contacts::ScrollSkin::Skinned);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(panel.GetControl<CIMTree>(1200), tree);
    EXPECT_TRUE(tree->visible());
    EXPECT_EQ(tree->itemHeight(), 24);
    EXPECT_EQ(tree->scrollSkin(), contacts::ScrollSkin::Skinned);
    EXPECT_GBK_EQ(tree->treeName(), "我的好友");
    EXPECT_TRUE(tree->sortEnabled);
    // A second control with the same id is refused.
    EXPECT_EQ(CIMTree::Create(panel, context(), "x", 0, 1200, contacts::ScrollSkin::Plain),
              nullptr);
}

TEST_F(TreeNodesTest, UserNodeShowsDisplayTextAndPresenceIcon) {
    auto tree = MakeTree();
    const os::TreeItem group = AddGroup(*tree, "1", "办公室");
    CUser* user = AddUser(*tree, "wang$gov@h", "王伟", group, "xa");
    ASSERT_NE(user->treeItem, os::kNoTreeItem);
    EXPECT_GBK_EQ(tree->GetItemText(user->treeItem), "王伟(马上回来)");
    EXPECT_EQ(tree->GetItemImage(user->treeItem), (os::TreeImages{8, 8}));
    EXPECT_EQ(tree->UserOf(user->treeItem), user);
    EXPECT_TRUE(user->holder()->placed);
    EXPECT_TRUE(tree->dirty());
}

TEST_F(TreeNodesTest, SmsRecipientShowsNameOrAddressAndNeverAPresenceIcon) {
    auto tree = MakeTree();
    const os::TreeItem group = AddGroup(*tree, "1", "电话簿");
    CUser* plain = AddUser(*tree, "13800138000@sms.h", "老张", group, "online");
    EXPECT_GBK_EQ(tree->GetItemText(plain->treeItem), "老张");
    EXPECT_EQ(tree->GetItemImage(plain->treeItem).image, contacts::kSmsRecipientImage);

    tree->options.showAddress = true;
    CUser* addressed = AddUser(*tree, "13900139000@sms.h", "老李", group);
    EXPECT_GBK_EQ(tree->GetItemText(addressed->treeItem), "老李( 13900139000@sms.h )");

    tree->SetUserPresence(addressed, "away");
    EXPECT_EQ(tree->GetItemImage(addressed->treeItem).image, contacts::kSmsRecipientImage);
    EXPECT_GBK_EQ(tree->GetItemText(addressed->treeItem), "老李( 13900139000@sms.h )");
}

TEST_F(TreeNodesTest, SignatureShowsInTheNodeWhenConfigured) {
    config().ShowSignatureInTree = 1;
    config().DefaultSignature = "默认签名";
    auto tree = MakeTree();
    const os::TreeItem group = AddGroup(*tree, "1", "g");
    CUser* own = AddUnplacedUser(*tree, "a$gov@h", "甲");
    own->EditDetails().signature = "出差";
    CUser* standard = AddUnplacedUser(*tree, "b$gov@h", "乙");
    standard->EditDetails().signature = "默认签名";
    tree->InsertUserItem(own, group, os::kTreeLast);
    tree->InsertUserItem(standard, group, os::kTreeLast);
    EXPECT_GBK_EQ(tree->GetItemText(own->treeItem), "甲(离线)(出差)");
    EXPECT_GBK_EQ(tree->GetItemText(standard->treeItem), "乙(离线)");
}

TEST_F(TreeNodesTest, AParentShowsAJidOnlyOnce) {
    auto tree = MakeTree();
    const os::TreeItem first = AddGroup(*tree, "1", "g1");
    const os::TreeItem second = AddGroup(*tree, "2", "g2");
    AddUser(*tree, "wang$gov@h", "王", first);
    CUser* again = AddUnplacedUser(*tree, "wang$gov@h", "王");
    EXPECT_EQ(tree->InsertUserItem(again, first, os::kTreeLast), os::kNoTreeItem);
    // Node look-up is case-sensitive: another spelling is another child.
    CUser* upper = AddUnplacedUser(*tree, "WANG$gov@h", "王");
    EXPECT_NE(tree->InsertUserItem(upper, first, os::kTreeLast), os::kNoTreeItem);
    EXPECT_NE(tree->InsertUserItem(again, second, os::kTreeLast), os::kNoTreeItem);
    EXPECT_EQ(tree->GetChildCount(first), 2);
    EXPECT_EQ(tree->FindUserNode(second, "wang$gov@h"), again->treeItem);
    EXPECT_EQ(tree->FindUserNode(second, "WANG$gov@h"), os::kNoTreeItem);
}

TEST_F(TreeNodesTest, UserOfAnotherTreeGetsNoNode) {
    auto tree = MakeTree("a");
    auto other = MakeTree("b");
    const os::TreeItem group = AddGroup(*tree, "1", "g");
    CUser* stranger = AddUnplacedUser(*other, "x$gov@h", "x");
    EXPECT_EQ(tree->InsertUserItem(stranger, group, os::kTreeLast), os::kNoTreeItem);
    EXPECT_EQ(tree->GetChildCount(group), 0);
}

TEST_F(TreeNodesTest, NodeLookupSurvivesNodesDeletedBehindItsBack) {
    auto tree = MakeTree();
    const os::TreeItem group = AddGroup(*tree, "1", "g");
    CUser* user = AddUser(*tree, "wang$gov@h", "王", group);
    ASSERT_TRUE(tree->DeleteItem(user->treeItem));
    EXPECT_EQ(tree->FindUserNode(group, "wang$gov@h"), os::kNoTreeItem);
    EXPECT_NE(tree->InsertUserItem(user, group, os::kTreeLast), os::kNoTreeItem);
}

TEST_F(TreeNodesTest, NodeLookupFollowsAJidChange) {
    auto tree = MakeTree();
    const os::TreeItem group = AddGroup(*tree, "1", "g");
    CUser* user = AddUser(*tree, "old$gov@h", "王", group);
    user->SetJid("new$gov@h");
    EXPECT_EQ(tree->FindUserNode(group, "old$gov@h"), os::kNoTreeItem);
    EXPECT_EQ(tree->FindUserNode(group, "new$gov@h"), user->treeItem);
    EXPECT_EQ(tree->FindUser("new$gov@h", "", platform::JidMatch::Exact), user);
    EXPECT_EQ(tree->FindUser("old$gov@h", "", platform::JidMatch::Exact), nullptr);
}

// Unit A holds unit B, which holds unit C.
class AncestorCounts : public TreeTest {
  protected:
    void SetUp() override {
        tree_ = MakeTree();
        a_ = AddGroup(*tree_, "A", "总局");
        b_ = AddGroup(*tree_, "B", "处", a_);
        c_ = AddGroup(*tree_, "C", "科", b_);
        deep_ = AddUser(*tree_, "deep$gov@h", "深", c_, "online");
        middle_ = AddUser(*tree_, "mid$gov@h", "中", b_, "offline");
        top_ = AddUser(*tree_, "top$gov@h", "顶", a_, "away");
    }
    std::unique_ptr<contacts::CIMTree> tree_;
    os::TreeItem a_{}, b_{}, c_{};
    CUser* deep_{};
    CUser* middle_{};
    CUser* top_{};
};

TEST_F(AncestorCounts, EveryAncestorCountsEveryUserBelowIt) {
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总局 (2/3)");
    EXPECT_GBK_EQ(tree_->GetItemText(b_), "处 (1/2)");
    EXPECT_GBK_EQ(tree_->GetItemText(c_), "科 (1/1)");
}

TEST_F(AncestorCounts, RemovingAUserDecrementsEveryAncestorOnce) {
    ASSERT_TRUE(tree_->RemoveItemData(deep_->holder()));
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总局 (1/2)");
    EXPECT_GBK_EQ(tree_->GetItemText(b_), "处 (0/1)");
    EXPECT_GBK_EQ(tree_->GetItemText(c_), "科");
    EXPECT_EQ(tree_->ItemDataCount(), 5u);
    EXPECT_EQ(tree_->FindUser("deep$gov@h", "", platform::JidMatch::Exact), nullptr);
}

TEST_F(AncestorCounts, AUserWhoseNodeWentBehindTheTreesBackStillLeavesTheCounts) {
    ASSERT_TRUE(tree_->DeleteItem(deep_->treeItem));
    CGroup* a = tree_->GroupOf(a_);
    CGroup* c = tree_->GroupOf(c_);
    ASSERT_TRUE(tree_->RemoveItemData(deep_->holder()));
    EXPECT_EQ(c->UserCount(), 0);
    EXPECT_EQ(a->UserCount(), 2);
    EXPECT_EQ(a->OnlineCount(), 1);
    tree_->RecountAncestors(middle_->treeItem);
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总局 (1/2)");
}

TEST_F(AncestorCounts, DeletingAUnitTakesItsUsersOutOfEveryCount) {
    CGroup* b = tree_->GroupOf(b_);
    tree_->DeleteItemNode(b->holder());
    EXPECT_FALSE(tree_->IsValid(b_));
    EXPECT_FALSE(tree_->IsValid(c_));
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总局 (1/1)");
    // The items stay, without nodes, ready to be placed again.
    EXPECT_EQ(tree_->ItemDataCount(), 6u);
    EXPECT_FALSE(b->holder()->placed);
    EXPECT_FALSE(deep_->holder()->placed);
    EXPECT_EQ(deep_->treeItem, os::kNoTreeItem);
    EXPECT_EQ(b->UserCount(), 0);
}

TEST_F(AncestorCounts, PresenceChangesMoveEveryAncestorByOne) {
    tree_->SetUserPresence(middle_, "dnd");
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总局 (3/3)");
    EXPECT_GBK_EQ(tree_->GetItemText(b_), "处 (2/2)");
    EXPECT_GBK_EQ(tree_->GetItemText(c_), "科 (1/1)");
    tree_->SetUserPresence(deep_, "OFFLINE");
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总局 (2/3)");
    EXPECT_GBK_EQ(tree_->GetItemText(b_), "处 (1/2)");
    EXPECT_GBK_EQ(tree_->GetItemText(c_), "科 (0/1)");
}

TEST_F(AncestorCounts, APresenceSetOnTheUserItselfCountsAtOnceAndARecountAgrees) {
    middle_->SetPresence("online");  // not through the tree
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总局 (3/3)");
    EXPECT_GBK_EQ(tree_->GetItemText(b_), "处 (2/2)");
    EXPECT_GBK_EQ(tree_->GetItemText(middle_->treeItem), "中(在线)");
    tree_->RecountAncestors(middle_->treeItem);
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总局 (3/3)");
    EXPECT_GBK_EQ(tree_->GetItemText(b_), "处 (2/2)");
    // A later change through the tree counts from there, never twice.
    tree_->SetUserPresence(middle_, "busy");
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总局 (3/3)");
}

TEST_F(TreeNodesTest, TitlesInWordsWhenConfigured) {
    config().OnlineUserInfoFormatInGroupTitle = 1;
    auto tree = MakeTree();
    const os::TreeItem group = AddGroup(*tree, "1", "办公室");
    AddUser(*tree, "a$gov@h", "甲", group, "online");
    AddUser(*tree, "b$gov@h", "乙", group);
    EXPECT_GBK_EQ(tree->GetItemText(group), "办公室 (在线1人/共2人)");
}

TEST_F(TreeNodesTest, TotalsOnlyTreesIgnorePresence) {
    auto tree = MakeTree("phones", contacts::kTitleTotalOnly);
    const os::TreeItem group = AddGroup(*tree, "1", "电话簿");
    CUser* user = AddUser(*tree, "a$gov@h", "甲", group, "online");
    AddUser(*tree, "b$gov@h", "乙", group);
    EXPECT_GBK_EQ(tree->GetItemText(group), "电话簿 (2)");
    tree->SetUserPresence(user, "offline");
    EXPECT_GBK_EQ(tree->GetItemText(group), "电话簿 (2)");
}

TEST_F(TreeNodesTest, WithoutGroupCountingTitlesStayBare) {
    auto tree = MakeTree();
    tree->options.groupCounting = false;
    const os::TreeItem group = AddGroup(*tree, "1", "办公室");
    CUser* user = AddUser(*tree, "a$gov@h", "甲", group, "online");
    EXPECT_GBK_EQ(tree->GetItemText(group), "办公室");
    tree->SetUserPresence(user, "away");
    EXPECT_GBK_EQ(tree->GetItemText(group), "办公室");
}

// Directory roots under "02" and "07" take their titles from the server's root query while
// that query runs (QueryRootOnlineNumInterval not -1).
struct RootCase {
    const char* parentId;
    int queryInterval;
    bool countedLocally;
};

class ServerTitledRoots : public TreeTest, public ::testing::WithParamInterface<RootCase> {};

TEST_P(ServerTitledRoots, LocalCountingLeavesThemAlone) {
    config().QueryRootOnlineNumInterval = GetParam().queryInterval;
    auto tree = MakeTree("org");
    const os::TreeItem root = AddGroup(*tree, "R", "省政府", os::kTreeRoot, GetParam().parentId);
    const os::TreeItem unit = AddGroup(*tree, "U", "办公厅", root, "R");
    tree->SetItemText(root, "省政府 (server)");
    CUser* user = AddUser(*tree, "a$gov@h", "甲", unit, "online");
    tree->SetUserPresence(user, "away");
    tree->RecountAncestors(user->treeItem);
    EXPECT_GBK_EQ(tree->GetItemText(unit), "办公厅 (1/1)");
    EXPECT_GBK_EQ(tree->GetItemText(root),
                  GetParam().countedLocally ? "省政府 (1/1)" : "省政府 (server)");
}

INSTANTIATE_TEST_SUITE_P(Table, ServerTitledRoots,
                         ::testing::Values(RootCase{"02", 60, false}, RootCase{"07", 0, false},
                                           RootCase{"02", -1, true}, RootCase{"07", -1, true},
                                           RootCase{"03", 60, true}, RootCase{"", 60, true}),
                         [](const ::testing::TestParamInfo<RootCase>& info) {
                             return "Parent" + testing_support::NamePart(info.param.parentId) +
                                    "Interval" +
                                    testing_support::NumberName(info.param.queryInterval);
                         });

TEST_F(TreeNodesTest, CollectsUsersDepthFirst) {
    auto tree = MakeTree();
    const os::TreeItem a = AddGroup(*tree, "A", "a");
    const os::TreeItem b = AddGroup(*tree, "B", "b", a);
    CUser* u1 = AddUser(*tree, "1$gov@h", "1", a);
    CUser* u2 = AddUser(*tree, "2$gov@h", "2", b);
    const os::TreeItem c = AddGroup(*tree, "C", "c");
    CUser* u3 = AddUser(*tree, "3$gov@h", "3", c);
    CUser* u4 = AddUser(*tree, "4$gov@h", "4", b);

    std::vector<CUser*> all;
    tree->CollectUsers(os::kTreeRoot, all);
    // a: [b: 2, 4], 1 ; c: 3
    EXPECT_EQ(all, (std::vector<CUser*>{u2, u4, u1, u3}));
    std::vector<CUser*> underB{u1};
    tree->CollectUsers(b, underB);
    EXPECT_EQ(underB, (std::vector<CUser*>{u1, u2, u4}));
}

TEST_F(TreeNodesTest, DeleteAllItemDataEmptiesEverything) {
    auto tree = MakeTree();
    const os::TreeItem group = AddGroup(*tree, "1", "g");
    CUser* user = AddUser(*tree, "a$gov@h", "甲", group);
    tree->hotItem = user->treeItem;
    ASSERT_TRUE(tree->DeleteAllItemData());
    EXPECT_EQ(tree->GetCount(), 0);
    EXPECT_EQ(tree->ItemDataCount(), 0u);
    EXPECT_EQ(tree->hotItem, os::kNoTreeItem);
    EXPECT_FALSE(tree->clearing());
    EXPECT_EQ(tree->FindUser("a$gov@h", "", platform::JidMatch::Loose), nullptr);
    EXPECT_EQ(tree->FindGroup("top,1"), nullptr);
    // And it fills again.
    const os::TreeItem again = AddGroup(*tree, "1", "g");
    EXPECT_NE(AddUser(*tree, "a$gov@h", "甲", again), nullptr);
    EXPECT_EQ(tree->FindGroup("top,1"), tree->GroupOf(again));
}

TEST_F(TreeNodesTest, NodesWithoutDataAreSkipped) {
    auto tree = MakeTree();
    const os::TreeItem group = AddGroup(*tree, "1", "g");
    const os::TreeItem placeholder = tree->InsertItem("(无数据)", contacts::kPlaceholderImage,
                                                      contacts::kPlaceholderImage, group);
    EXPECT_EQ(tree->GetItemData(placeholder), nullptr);
    EXPECT_EQ(tree->UserOf(placeholder), nullptr);
    std::vector<CUser*> users;
    tree->CollectUsers(group, users);
    EXPECT_TRUE(users.empty());
    CUser* user = AddUser(*tree, "a$gov@h", "甲", group);
    tree->SetUserPresence(user, "online");
    EXPECT_GBK_EQ(tree->GetItemText(group), "g (1/1)");
}

}  // namespace
}  // namespace contacts_test
