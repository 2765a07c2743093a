// Finding users and groups in a contact tree, and the loose JID rule it uses.

#include <gtest/gtest.h>

#include <random>

#include "contacts/im_tree.h"
#include "core/idle_window_manager.h"
#include "platform/store/contact_person_info.h"
#include "support/case_name.h"
#include "support/gbk_print.h"
#include "tree_fixture.h"

namespace contacts_test {
namespace {

using contacts::CIMTreeItemData;
using contacts::CUser;
using platform::JidMatch;

using TreeFindTest = TreeTest;

struct SameUserCase {
    const char* a;
    const char* b;
    bool exact;
    bool loose;
};

class SameUser : public TreeTest, public ::testing::WithParamInterface<SameUserCase> {};

TEST_P(SameUser, ExactAndLooseRules) {
    auto tree = MakeTree();
    const SameUserCase& c = GetParam();
    EXPECT_EQ(tree->IsSameUser(c.a, c.b, JidMatch::Exact), c.exact) << c.a << " / " << c.b;
    EXPECT_EQ(tree->IsSameUser(c.a, c.b, JidMatch::Loose), c.loose) << c.a << " / " << c.b;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SameUser,
    ::testing::Values(SameUserCase{"Wang$Gov@H", "wang$gov@h", true, true},
                      SameUserCase{"wang$gov@h", "wang@gover.h", false, true},
                      SameUserCase{"li$pub@h", "li@puber.h", false, true},
                      SameUserCase{"wang$gov@h", "wang$pub@h", false, false},
                      SameUserCase{"wang$gov@h/desk", "wang$gov@h", false, true},
                      SameUserCase{"wang$gov@h/desk", "wang$gov@h/phone", false, true},
                      SameUserCase{"  wang$gov@h", "wang$gov@h", false, true},
                      // The last 11 digits before "@" decide for SMS recipients.
                      SameUserCase{"8613800138000@sms.h", "13800138000@sms.h/x", false, true},
                      SameUserCase{"13800138001@sms.h", "13800138000@sms.h", false, false},
                      // A leading "/" is no resource.
                      SameUserCase{"/x@h", "/y@h", false, false}),
    [](const ::testing::TestParamInfo<SameUserCase>& info) {
        return testing_support::IndexedName(info.index, info.param.a);
    });

// The tree's look-ups against a walk of its item data, through random changes.
TEST_F(TreeFindTest, FindUserAgreesWithALinearWalk) {
    auto tree = MakeTree();
    const std::vector<std::string> jids{
        "a$gov@h", "A$GOV@h",   "a@gover.h",           "a$gov@h/r",
        "b$pub@h", "b@puber.h", "8613800138000@sms.h", "13800138000@sms.h",
        "c@h"};
    const std::vector<std::string> groupKeys{"", "top,1", "top,2"};
    std::mt19937 random(3);
    auto pick = [&](const auto& pool) { return pool[random() % pool.size()]; };
    std::vector<CUser*> users;

    auto linear = [&](const std::string& jid, const std::string& groupKey, JidMatch match) {
        CUser* found = nullptr;
        tree->ForEachItemData([&](CIMTreeItemData& item) {
            CUser* user = item.user();
            if (found == nullptr && user != nullptr &&
                tree->IsSameUser(user->GetJid(), jid, match) &&
                (groupKey.empty() || user->groupKey == groupKey)) {
                found = user;
            }
        });
        return found;
    };

    for (int step = 0; step < 3000; ++step) {
        const unsigned op = random() % 20;
        if (op < 10) {
            users.push_back(AddUnplacedUser(*tree, pick(jids), "n", pick(groupKeys)));
        } else if (op < 15 && !users.empty()) {
            const std::size_t at = random() % users.size();
            ASSERT_TRUE(tree->RemoveItemData(users[at]->holder()));
            users.erase(users.begin() + static_cast<std::ptrdiff_t>(at));
        } else if (op < 18 && !users.empty()) {
            users[random() % users.size()]->SetJid(pick(jids));
        } else if (op == 18 && step % 7 == 0) {
            ASSERT_TRUE(tree->DeleteAllItemData());
            users.clear();
        }
        const std::string jid = pick(jids);
        const std::string groupKey = pick(groupKeys);
        for (JidMatch match : {JidMatch::Exact, JidMatch::Loose}) {
            ASSERT_EQ(tree->FindUser(jid, groupKey, match), linear(jid, groupKey, match))
                << "step " << step;
        }
    }
}

TEST_F(TreeFindTest, GroupsAreFoundByPathKeyAfterARename) {
    auto tree = MakeTree();
    const os::TreeItem node = AddGroup(*tree, "1", "g");
    contacts::CGroup* group = tree->GroupOf(node);
    EXPECT_EQ(tree->FindGroup("top,1"), group);
    group->SetPathKey("top,9");
    EXPECT_EQ(tree->FindGroup("top,1"), nullptr);
    EXPECT_EQ(tree->FindGroup("top,9"), group);
}

// ---- vCards ----

class VcardTest : public TreeTest {
  protected:
    void SetUp() override {
        tree_ = MakeTree();
        group_ = AddGroup(*tree_, "1", "g");
        shown_ = AddUser(*tree_, "wang$gov@h", "王", group_, "online");
        hidden_ = AddUnplacedUser(*tree_, "WANG$gov@h", "王");
        AddUser(*tree_, "li$gov@h", "李", group_);
        tree_->SetDirty(false);
        vcard_.jid = "wang$gov@h";
        vcard_.name = "王伟";
        vcard_.mobile = "13800138000";
        vcard_.extensionXml = "<SIGNATURE>开会</SIGNATURE>";
    }
    std::unique_ptr<contacts::CIMTree> tree_;
    os::TreeItem group_{};
    CUser* shown_{};
    CUser* hidden_{};
    CContactPersonInfo vcard_;
};

TEST_F(VcardTest, EveryUserWithTheJidTakesTheFields) {
    EXPECT_EQ(tree_->ApplyPersonVcard(vcard_), 2);
    EXPECT_EQ(shown_->details().mobile, "13800138000");
    EXPECT_EQ(hidden_->details().mobile, "13800138000");
    EXPECT_GBK_EQ(shown_->details().signature.view(), "开会");
    EXPECT_GBK_EQ(shown_->name, "王");  // no renaming unless asked
    EXPECT_TRUE(tree_->dirty());
}

TEST_F(VcardTest, RenamingReachesPlacedUsersOnly) {
    tree_->options.renameFromVcard = true;
    tree_->ApplyPersonVcard(vcard_);
    EXPECT_GBK_EQ(shown_->name, "王伟");
    EXPECT_GBK_EQ(tree_->GetItemText(shown_->treeItem), "王伟(在线)");
    EXPECT_GBK_EQ(hidden_->name, "王");

    vcard_.name.clear();  // an empty name never blanks the tree's
    tree_->ApplyPersonVcard(vcard_);
    EXPECT_GBK_EQ(shown_->name, "王伟");
}

// A window manager that keeps the name differences it is told of.
class NameDifferenceRecorder final : public core::IdleWindowManager {
  public:
    void OnContactNameDiffers(std::string_view jid, std::string_view vcardName,
                              std::string_view treeName) override {
        reports.push_back(std::string(jid) + "|" + std::string(vcardName) + "|" +
                          std::string(treeName));
    }
    std::vector<std::string> reports;
};

TEST_F(VcardTest, ANameThatDiffersIsReportedOnceToTheWindowManager) {
    NameDifferenceRecorder manager;
    context().SetWindowManager(&manager);
    tree_->options.nameCheck = true;
    tree_->ApplyPersonVcard(vcard_);
    EXPECT_EQ(manager.reports, std::vector<std::string>{"wang$gov@h|王伟|tree"});
    EXPECT_EQ(tree_->hotItem, shown_->treeItem);
    EXPECT_GBK_EQ(shown_->name, "王");

    vcard_.name = "王";  // the same name, ignoring case: nothing to report
    tree_->ApplyPersonVcard(vcard_);
    EXPECT_EQ(manager.reports.size(), 1u);
    context().SetWindowManager(nullptr);
}

TEST_F(VcardTest, AVcardForNobodyChangesNothing) {
    vcard_.jid = "nobody$gov@h";
    EXPECT_EQ(tree_->ApplyPersonVcard(vcard_), 0);
    EXPECT_FALSE(tree_->dirty());
}

}  // namespace
}  // namespace contacts_test
