// Order of a contact tree's children and what a presence change does to a user's node.

#include <gtest/gtest.h>

#include <random>

#include "contacts/im_tree.h"
#include "platform/store/contact_person_info.h"
#include "support/gbk_print.h"
#include "tree_fixture.h"

namespace contacts_test {
namespace {

using contacts::CUser;

class TreeOrderTest : public TreeTest {
  protected:
    // A group ordering its users by presence, with users in arrival order.
    void Build(int sortMode) {
        tree_ = MakeTree("roster", 0, sortMode);
        group_ = AddGroup(*tree_, "1", "办公室");
    }
    CUser* Add(const char* jid, const char* name, const char* presence = "offline") {
        return AddUser(*tree_, jid, name, group_, presence);
    }
    std::vector<std::string> Order() { return ChildTexts(*tree_, group_); }

    std::unique_ptr<contacts::CIMTree> tree_;
    os::TreeItem group_{};
};

TEST_F(TreeOrderTest, PresenceModeListsOnlineThenOthersThenOfflineAdministratorsFirst) {
    Build(contacts::kSortByPresence);
    Add("d$gov@h", "dave");
    Add("c$gov@h", "carol", "busy");
    Add("b$gov@h", "Bob", "online");
    CUser* admin = Add("z$gov@h", "zed", "xa");
    admin->EditDetails().nameSuffix = "(管理员)";
    admin->suffixOn = 1;
    tree_->SetUserPresence(admin, "dnd");  // rebuilds the text with the suffix
    Add("a$gov@h", "alice", "online");
    tree_->SortChildren(group_);
    EXPECT_EQ(Order(), (std::vector<std::string>{"alice(在线)", "Bob(在线)", "zed(管理员)(忙碌)",
                                                 "carol(忙碌)", "dave(离线)"}));
}

TEST_F(TreeOrderTest, APresenceChangeMovesTheUserAndEveryCount) {
    Build(contacts::kSortByPresence);
    Add("a$gov@h", "amy", "online");
    Add("b$gov@h", "ben", "away");
    CUser* cat = Add("c$gov@h", "cat");
    Add("d$gov@h", "dan");
    tree_->SortChildren(group_);
    ASSERT_EQ(tree_->GetItemText(group_), "办公室 (2/4)");

    tree_->SetUserPresence(cat, "online");
    EXPECT_EQ(Order(),
              (std::vector<std::string>{"amy(在线)", "cat(在线)", "ben(离开)", "dan(离线)"}));
    EXPECT_EQ(tree_->GetItemImage(cat->treeItem), (os::TreeImages{0, 0}));
    EXPECT_EQ(tree_->GetItemText(group_), "办公室 (3/4)");
    EXPECT_EQ(cat->presence(), "online");

    tree_->SetUserPresence(cat, "offline");
    EXPECT_EQ(Order(),
              (std::vector<std::string>{"amy(在线)", "ben(离开)", "cat(离线)", "dan(离线)"}));
    EXPECT_EQ(tree_->GetItemText(group_), "办公室 (2/4)");
}

TEST_F(TreeOrderTest, TheSameWordAgainChangesNothingButAnotherCaseDoes) {
    Build(contacts::kSortByPresence);
    CUser* user = Add("a$gov@h", "amy", "online");
    tree_->SetItemText(user->treeItem, "marked");
    tree_->SetUserPresence(user, "online");
    EXPECT_EQ(tree_->GetItemText(user->treeItem), "marked");
    tree_->SetUserPresence(user, "Online");
    EXPECT_EQ(tree_->GetItemText(user->treeItem), "amy(在线)");
    EXPECT_EQ(user->presence(), "Online");
}

TEST_F(TreeOrderTest, SortingCanBeSwitchedOff) {
    Build(contacts::kSortByPresence);
    Add("a$gov@h", "amy");
    CUser* ben = Add("b$gov@h", "ben");
    tree_->sortEnabled = false;
    tree_->SetUserPresence(ben, "online");
    tree_->SortChildren(group_);
    EXPECT_EQ(Order(), (std::vector<std::string>{"amy(离线)", "ben(在线)"}));
    tree_->sortEnabled = true;
    tree_->SortChildren(group_);
    EXPECT_EQ(Order(), (std::vector<std::string>{"ben(在线)", "amy(离线)"}));
}

TEST_F(TreeOrderTest, APresenceChangeWhileSortingWasOffCountsAtTheNextSort) {
    Build(contacts::kSortByPresence);
    Add("a$gov@h", "amy");
    CUser* ben = Add("b$gov@h", "ben");
    CUser* cat = Add("c$gov@h", "cat");
    tree_->SortChildren(group_);
    tree_->sortEnabled = false;
    tree_->SetUserPresence(ben, "online");
    tree_->sortEnabled = true;
    tree_->SetUserPresence(cat, "away");  // sorts the group again
    EXPECT_EQ(Order(), (std::vector<std::string>{"ben(在线)", "cat(离开)", "amy(离线)"}));
}

TEST_F(TreeOrderTest, ArrivalModeKeepsOrderIndexOrder) {
    Build(contacts::kSortByArrival);
    CUser* late = Add("a$gov@h", "amy");
    CUser* early = Add("b$gov@h", "ben");
    late->orderIndex = 2;
    early->orderIndex = 1;
    tree_->SortChildren(group_);
    EXPECT_EQ(Order(), (std::vector<std::string>{"ben(离线)", "amy(离线)"}));
    tree_->SetUserPresence(late, "online");  // presence does not reorder arrival order
    EXPECT_EQ(Order(), (std::vector<std::string>{"ben(离线)", "amy(在线)"}));
}

TEST_F(TreeOrderTest, RaisedHandsLeadRoomMemberLists) {
    Build(contacts::kSortRaisedHandFirst);
    Add("a$gov@h", "amy");
    CUser* ben = Add("b$gov@h", "ben");
    tree_->SetItemText(ben->treeItem, "room/ben(举手)");
    tree_->SortChildren(group_);
    EXPECT_EQ(Order(), (std::vector<std::string>{"room/ben(举手)", "amy(离线)"}));
}

TEST_F(TreeOrderTest, TopLevelUsersFirstAndGroupsByNameWhenSortModeIsSet) {
    tree_ = MakeTree("roster", 0, contacts::kSortByName);
    AddGroup(*tree_, "2", "zeta");
    AddGroup(*tree_, "1", "Alpha");
    AddUser(*tree_, "a$gov@h", "loner", os::kTreeRoot);
    tree_->SortChildren(os::kTreeRoot);
    EXPECT_EQ(ChildTexts(*tree_, os::kTreeRoot),
              (std::vector<std::string>{"loner(离线)", "Alpha", "zeta"}));

    auto unsorted = MakeTree("plain", 0, contacts::kSortByArrival);
    AddGroup(*unsorted, "2", "zeta");
    AddGroup(*unsorted, "1", "Alpha");
    unsorted->SortChildren(0);
    EXPECT_EQ(ChildTexts(*unsorted, os::kTreeRoot), (std::vector<std::string>{"zeta", "Alpha"}));
}

TEST_F(TreeOrderTest, GroupsTakeTheTreesSortModeWhenPlaced) {
    tree_ = MakeTree("roster", 0, contacts::kSortByName);
    const os::TreeItem group = AddGroup(*tree_, "1", "g");
    EXPECT_EQ(tree_->GroupOf(group)->childSortMode, contacts::kSortByName);
}

TEST_F(TreeOrderTest, ChildrenWithoutDataStayPutAroundTheOthers) {
    Build(contacts::kSortByName);
    Add("b$gov@h", "bob");
    tree_->InsertItem("(无数据)", contacts::kPlaceholderImage, contacts::kPlaceholderImage, group_);
    Add("a$gov@h", "amy");
    tree_->SortChildren(group_);
    // The placeholder equals everything, so a stable sort leaves all three where they are.
    EXPECT_EQ(Order(), (std::vector<std::string>{"bob(离线)", "(无数据)", "amy(离线)"}));
}

// After each presence change the children stand as a full sort leaves them, while users
// join, leave and are renamed between the changes.
TEST_F(TreeOrderTest, PresenceChangesKeepTheOrderAFullSortGives) {
    Build(contacts::kSortByPresence);
    tree_->options.renameFromVcard = true;
    std::mt19937 random(17);
    const std::vector<std::string> words{"online", "away", "offline", "dnd", "Online"};
    const std::vector<std::string> names{"amy", "Ben", "cat", "amy", "管理员丁"};
    std::vector<CUser*> users;
    int next = 0;
    for (int step = 0; step < 400; ++step) {
        const unsigned op = random() % 10;
        if (op < 2 || users.size() < 3) {
            const std::string jid = "u" + std::to_string(next++) + "$gov@h";
            users.push_back(AddUser(*tree_, jid, names[random() % names.size()], group_,
                                    words[random() % words.size()]));
        } else if (op == 2) {
            const std::size_t at = random() % users.size();
            ASSERT_TRUE(tree_->RemoveItemData(users[at]->holder()));
            users.erase(users.begin() + static_cast<std::ptrdiff_t>(at));
        } else if (op == 3) {
            CContactPersonInfo vcard;
            vcard.jid = users[random() % users.size()]->GetJid();
            vcard.name = names[random() % names.size()];
            tree_->ApplyPersonVcard(vcard);
        } else {
            CUser* user = users[random() % users.size()];
            const std::string word = words[random() % words.size()];
            if (user->presence() == word) continue;  // nothing happens, not even a sort
            tree_->SetUserPresence(user, word);
            const std::vector<std::string> shown = Order();
            tree_->SortChildren(group_);
            ASSERT_EQ(Order(), shown) << "step " << step;
        }
    }
}

}  // namespace
}  // namespace contacts_test
