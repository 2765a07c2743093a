#include "tree_fixture.h"

#include "os/sys/clock.h"
#include "support/require.h"

namespace contacts_test {

using contacts::CGroup;
using contacts::CIMTree;
using contacts::CIMTreeItemData;
using contacts::CUser;

platform::SimAccount Account(std::string loginName, std::string jid) {
    platform::SimAccount account;
    account.loginName = std::move(loginName);
    account.password = "pw";
    account.jid = std::move(jid);
    return account;
}

TreeTest::TreeTest()
    : world_(std::make_unique<core::TestClientWorld>(
          core::WorldFolders{commonDir_.str(), appDir_.str()})) {}

TreeTest::~TreeTest() = default;

std::unique_ptr<CIMTree> TreeTest::MakeTree(std::string name, int countMode, int topSortMode) {
    auto tree = std::make_unique<CIMTree>(context(), 100, std::move(name), countMode);
    tree->topKind = std::string(contacts::kRosterTop);
    tree->topSortMode = topSortMode;
    return tree;
}

os::TreeItem TreeTest::AddGroup(CIMTree& tree, std::string id, std::string name,
                                os::TreeItem parent, std::string parentId) {
    std::string parentKey = "top";
    if (parent != os::kTreeRoot) {
        if (CGroup* parentGroup = tree.GroupOf(parent)) parentKey = parentGroup->pathKey();
    }
    const std::string pathKey = parentKey + "," + id;
    auto item = CIMTreeItemData::ForGroup(
        std::make_unique<CGroup>(std::move(id), std::move(name), std::move(parentId), pathKey));
    CIMTreeItemData* added = testing_support::Require(tree.AddItemData(item), "group item");
    const os::TreeItem node = tree.InsertGroupItem(added->group(), parent, os::kTreeLast);
    testing_support::Require(::testing::AssertionResult(node != os::kNoTreeItem), "group node");
    return node;
}

CUser* TreeTest::AddUnplacedUser(CIMTree& tree, std::string jid, std::string name,
                                 std::string groupKey) {
    auto user = std::make_unique<CUser>(clock(), std::move(jid), std::move(name), "", "");
    user->groupKey = std::move(groupKey);
    auto item = CIMTreeItemData::ForUser(std::move(user));
    return testing_support::Require(tree.AddItemData(item), "user item")->user();
}

CUser* TreeTest::AddUser(CIMTree& tree, std::string jid, std::string name, os::TreeItem parent,
                         std::string presence) {
    std::string groupKey;
    if (CGroup* group = tree.GroupOf(parent)) groupKey = group->pathKey();
    CUser* user = AddUnplacedUser(tree, std::move(jid), std::move(name), groupKey);
    user->SetPresence(presence);
    testing_support::Require(
        ::testing::AssertionResult(tree.InsertUserItem(user, parent, os::kTreeLast) !=
                                   os::kNoTreeItem),
        "user node");
    return user;
}

std::vector<std::string> TreeTest::ChildTexts(const CIMTree& tree, os::TreeItem parent) {
    std::vector<std::string> texts;
    for (os::TreeItem child = parent == os::kTreeRoot ? tree.GetRoot() : tree.GetChild(parent);
         child != os::kNoTreeItem; child = tree.GetNextSibling(child)) {
        texts.push_back(tree.GetItemText(child));
    }
    return texts;
}

}  // namespace contacts_test
