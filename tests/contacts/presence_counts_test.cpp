// Group counts after a presence change, whichever path the presence word takes: a
// notification, the tree, the user itself (as a cache save sets users offline) or an assigned
// copy. Every group's list, counts and title must equal a count made afresh from the users
// shown below it.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "contacts/contact_trees.h"
#include "contacts/im_tree.h"
#include "contacts/presence_table.h"
#include "os/text/cstring_ops.h"
#include "platform/session/notify_record.h"
#include "support/case_name.h"
#include "support/gbk_print.h"
#include "support/require.h"
#include "tree_fixture.h"

namespace contacts_test {
namespace {

using contacts::CGroup;
using contacts::CUser;

// Walks every group node and compares it with a count of the users CollectUsers finds below.
::testing::AssertionResult CountsEqualAFreshCount(contacts::CIMTree& tree) {
    const contacts::PresenceTable table;
    std::vector<os::TreeItem> pending;
    for (os::TreeItem node = tree.GetRoot(); node != os::kNoTreeItem;
         node = tree.GetNextSibling(node))
        pending.push_back(node);
    while (!pending.empty()) {
        const os::TreeItem node = pending.back();
        pending.pop_back();
        for (os::TreeItem child = tree.GetChild(node); child != os::kNoTreeItem;
             child = tree.GetNextSibling(child))
            pending.push_back(child);
        CGroup* group = tree.GroupOf(node);
        if (group == nullptr) continue;
        std::vector<CUser*> below;
        tree.CollectUsers(node, below);
        int online = 0;
        for (const CUser* user : below) online += table.IsOfflineWord(user->presence()) ? 0 : 1;
        const int total = static_cast<int>(below.size());
        const std::string title =
            total == 0 ? group->name : os::Format("%s (%d/%d)", group->name.c_str(), online, total);
        if (group->UserCount() != total || group->OnlineCount() != online ||
            tree.GetItemText(node) != title) {
            return ::testing::AssertionFailure()
                   << testing_support::DisplayGbk(group->name) << ": list " << group->UserCount()
                   << ", online " << group->OnlineCount() << ", title \""
                   << testing_support::DisplayGbk(tree.GetItemText(node)) << "\"; afresh " << online
                   << "/" << total;
        }
    }
    return ::testing::AssertionSuccess();
}

// 总局 holds 处, which holds 科; 总局 holds 室 too. Wang is shown twice, in 科 and (a copy)
// in 室, so 总局 lists him twice.
class PresencePaths : public TreeTest {
  protected:
    void SetUp() override {
        tree = MakeTree("org");
        const os::TreeItem a = AddGroup(*tree, "A", "总局");
        const os::TreeItem b = AddGroup(*tree, "B", "处", a);
        const os::TreeItem c = AddGroup(*tree, "C", "科", b);
        const os::TreeItem d = AddGroup(*tree, "D", "室", a);
        wangInC = AddUser(*tree, "wang$gov@h", "王", c);
        AddUser(*tree, "li$gov@h", "李", b, "online");
        AddUser(*tree, "zhao$gov@h", "赵", d, "away");
        auto copy = std::make_unique<CUser>(*wangInC);
        copy->groupKey = tree->GroupOf(d)->pathKey();
        auto item = contacts::CIMTreeItemData::ForUser(std::move(copy));
        wangInD = testing_support::Require(tree->AddItemData(item), "copy item")->user();
        ASSERT_NE(tree->InsertUserItem(wangInD, d, os::kTreeLast), os::kNoTreeItem);
        trees.Add(*tree);
        ASSERT_TRUE(CountsEqualAFreshCount(*tree));
    }

  public:  // the path table's actions use them
    void Notify(const std::string& word) {
        platform::PresenceData data;
        data.jid = "wang$gov@h";
        data.presence = word;
        trees.OnPresenceNotify(
            platform::MakeNotify(platform::notify_type::kPresenceAvailable, data));
    }

    std::unique_ptr<contacts::CIMTree> tree;
    contacts::ContactTrees trees{context()};
    CUser* wangInC{};
    CUser* wangInD{};
};

struct PresencePath {
    const char* name;
    std::function<void(PresencePaths&)> act;
    const char* wordInC;
    const char* wordInD;
};

class EveryPresencePath : public PresencePaths,
                          public ::testing::WithParamInterface<PresencePath> {};

TEST_P(EveryPresencePath, KeepsEveryCountEqualToAFreshCount) {
    GetParam().act(*this);
    EXPECT_EQ(wangInC->presence(), GetParam().wordInC);
    EXPECT_EQ(wangInD->presence(), GetParam().wordInD);
    EXPECT_TRUE(CountsEqualAFreshCount(*tree));
    // Each copy's node shows its own word.
    for (CUser* user : {wangInC, wangInD}) {
        EXPECT_GBK_EQ(tree->GetItemText(user->treeItem), tree->UserNodeText(*user));
        EXPECT_EQ(tree->GetItemImage(user->treeItem).image, tree->UserNodeImage(*user));
    }
    // A full recount finds nothing to change.
    for (CUser* user : {wangInC, wangInD}) tree->RecountAncestors(user->treeItem);
    EXPECT_TRUE(CountsEqualAFreshCount(*tree));
}

const PresencePath kPresencePaths[] = {
    {"a notification reaches both copies", [](PresencePaths& t) { t.Notify("online"); }, "online",
     "online"},
    {"the tree changes one copy",
     [](PresencePaths& t) { t.tree->SetUserPresence(t.wangInD, "dnd"); }, "offline", "dnd"},
    {"a copy is set offline on the user itself, as a cache save does",
     [](PresencePaths& t) {
         t.Notify("away");
         t.wangInC->SetPresence("offline");
     },
     "offline", "away"},
    {"an upper-case offline word counts as offline",
     [](PresencePaths& t) {
         t.Notify("online");
         t.tree->SetUserPresence(t.wangInC, "OFFLINE");
     },
     "OFFLINE", "online"},
    {"an assigned copy brings its presence",
     [](PresencePaths& t) {
         CUser source(*t.wangInC);  // a copy no tree holds
         source.SetPresence("busy");
         *t.wangInD = source;
     },
     "offline", "busy"},
};

INSTANTIATE_TEST_SUITE_P(Paths, EveryPresencePath, ::testing::ValuesIn(kPresencePaths),
                         [](const auto& info) {
                             return testing_support::IndexedName(info.index, info.param.name);
                         });

TEST_F(PresencePaths, AUserNoTreeHoldsTakesTheWordAndItsText) {
    CUser loose(*wangInC);
    tree->SetUserPresence(&loose, "away");
    EXPECT_EQ(loose.presence(), "away");
    EXPECT_GBK_EQ(loose.displayText, "王(离开)");
    EXPECT_EQ(wangInC->presence(), "offline");  // the original is another user
    EXPECT_TRUE(CountsEqualAFreshCount(*tree));
}

}  // namespace
}  // namespace contacts_test
