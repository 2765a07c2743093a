// Opening organisation units: children fetched into the user's directory store, read back
// and placed; later opens ask only for online information.
#include "contacts/directory_loader.h"

#include <gtest/gtest.h>

#include <thread>

#include "contacts/contact_group.h"
#include "contacts/im_tree.h"
#include "core/client_context.h"
#include "loading_fixture.h"
#include "os/services/log.h"
#include "support/gbk_print.h"
#include "support/waiting/clock_waiters.h"

namespace contacts_test {
namespace {

using contacts::ExpandDirectoryNode;
using contacts::UnitOpen;

class DirectoryLoaderTest : public LoadingTest {
  protected:
    DirectoryLoaderTest() {
        // Two roots with two sub-units each, two persons everywhere, and a root without
        // children.
        platform::SimDirectory directory = platform::SimDirectory::Generate("h", 2, 2, 2, 2);
        directory.units.push_back({"empty", "空部门", "", {}});
        server().SetDirectory(std::move(directory));
        tree_ = MakeTree("组织机构");
        tree_->topKind = "organizeTop";
    }

    os::TreeItem RootNamed(const std::string& name) {
        for (os::TreeItem node = tree_->GetRoot(); node != os::kNoTreeItem;
             node = tree_->GetNextSibling(node)) {
            if (contacts::CGroup* group = tree_->GroupOf(node); group && group->name == name) {
                return node;
            }
        }
        return os::kNoTreeItem;
    }

    std::unique_ptr<contacts::CIMTree> tree_;
};

TEST_F(DirectoryLoaderTest, TheTopAndAUnitLoadThroughTheStoreOnce) {
    ASSERT_TRUE(LogIn());
    EXPECT_EQ(contacts::LoadDirectoryTop(context(), *tree_, 0), 3);
    EXPECT_GBK_EQ(Outline(*tree_), "部门u1\n部门u2\n空部门\n");

    const os::TreeItem unit = RootNamed("部门u1");
    ASSERT_NE(unit, os::kNoTreeItem);
    world_->log().ClearCaptured();
    session().calls().Clear();
    EXPECT_EQ(ExpandDirectoryNode(context(), *tree_, unit, 7, 9), UnitOpen::ChildrenLoaded);
    // Units first in sibling order, then persons (users come before groups in a node).
    EXPECT_GBK_EQ(Outline(*tree_),
                  "部门u1 (0/2)\n  职员1(离线)\n  职员2(离线)\n  部门u1_1\n  部门u1_2\n部门u2\n"
                  "空部门\n");
    const auto requests = session().calls().Named("RequestGroupChildren");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].args[1], "organizeTop,u1");
    EXPECT_EQ(requests[0].args[2], "2000");
    EXPECT_EQ(requests[0].args[3], "7");
    EXPECT_EQ(requests[0].args[4], "0") << "the first open sends no flag";
    EXPECT_TRUE(world_->log().HasCaptured("获取节点'部门u1'的用户列表"));
    EXPECT_TRUE(world_->log().HasCaptured("建树完毕"));
    contacts::CGroup* loaded = tree_->FindGroup("organizeTop,u1");
    ASSERT_NE(loaded, nullptr);
    EXPECT_NE(loaded->childrenLoaded, 0u);
    contacts::CUser* person =
        tree_->FindUser("pu1_2$gov@h", "organizeTop,u1", platform::JidMatch::Exact);
    ASSERT_NE(person, nullptr);
    EXPECT_EQ(person->orderIndex, 3) << "order runs over units and persons in child order";
    EXPECT_NE(tree_->FindGroup("organizeTop,u1,u1_2"), nullptr);

    // The second open only asks for online information, with the flag.
    const std::size_t items = tree_->ItemDataCount();
    EXPECT_EQ(ExpandDirectoryNode(context(), *tree_, unit, 7, 9), UnitOpen::OnlineInfoRequested);
    const auto again = session().calls().Named("RequestGroupChildren");
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1].args[2], "0");
    EXPECT_EQ(again[1].args[4], "9");
    EXPECT_TRUE(world_->log().HasCaptured("获取节点'部门u1'的在线信息"));
    EXPECT_EQ(tree_->ItemDataCount(), items);
}

TEST_F(DirectoryLoaderTest, ThePersonsOfAUnitShareItsKeyText) {
    ASSERT_TRUE(LogIn());
    contacts::LoadDirectoryTop(context(), *tree_, 0);
    ASSERT_EQ(ExpandDirectoryNode(context(), *tree_, RootNamed("部门u1"), 0, 0),
              UnitOpen::ChildrenLoaded);
    const contacts::CUser* first =
        tree_->FindUser("pu1_1$gov@h", "organizeTop,u1", platform::JidMatch::Exact);
    const contacts::CUser* second =
        tree_->FindUser("pu1_2$gov@h", "organizeTop,u1", platform::JidMatch::Exact);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->groupKey, "organizeTop,u1");
    EXPECT_EQ(first->groupId, "u1");
    EXPECT_TRUE(first->groupKey.SharesWith(second->groupKey));
    EXPECT_TRUE(first->groupId.SharesWith(second->groupId));
}

TEST_F(DirectoryLoaderTest, AUnitWithoutChildrenShowsNoData) {
    ASSERT_TRUE(LogIn());
    contacts::LoadDirectoryTop(context(), *tree_, 0);
    const os::TreeItem unit = RootNamed("空部门");
    ASSERT_NE(unit, os::kNoTreeItem);
    EXPECT_EQ(ExpandDirectoryNode(context(), *tree_, unit, 0, 0), UnitOpen::ChildrenLoaded);
    ASSERT_EQ(tree_->GetChildCount(unit), 1);
    EXPECT_GBK_EQ(tree_->GetItemText(tree_->GetChild(unit)), "(无数据)");
    EXPECT_EQ(tree_->GetItemImage(tree_->GetChild(unit)).image, contacts::kPlaceholderImage);
    EXPECT_EQ(tree_->GetItemData(tree_->GetChild(unit)), nullptr);
}

TEST_F(DirectoryLoaderTest, AUserNodeIsNoUnit) {
    ASSERT_TRUE(LogIn());
    contacts::LoadDirectoryTop(context(), *tree_, 0);
    const os::TreeItem unit = RootNamed("部门u2");
    ExpandDirectoryNode(context(), *tree_, unit, 0, 0);
    EXPECT_EQ(ExpandDirectoryNode(context(), *tree_, tree_->GetChild(unit), 0, 0),
              UnitOpen::NotAUnit);
}

TEST_F(DirectoryLoaderTest, AServerThatDoesNotAnswerIsWaitedForTwoSecondsOfTheClock) {
    ASSERT_TRUE(LogIn());
    contacts::LoadDirectoryTop(context(), *tree_, 0);
    const os::TreeItem unit = RootNamed("部门u2");
    session().HoldDirectoryAnswers(true);
    const os::Millis before = clock().Now();

    // The opening blocks on the clock; another thread steps it past the wait.
    std::thread stepper([&] {
        if (testing_support::WaitForWaiters(clock(), 1))
            clock().Advance(contacts::kGroupChildrenWaitMs);
    });
    EXPECT_EQ(ExpandDirectoryNode(context(), *tree_, unit, 0, 0), UnitOpen::ChildrenLoaded);
    stepper.join();
    EXPECT_EQ(clock().Now() - before, contacts::kGroupChildrenWaitMs);
    // Nothing came: the unit shows no data, and it counts as loaded.
    ASSERT_EQ(tree_->GetChildCount(unit), 1);
    EXPECT_GBK_EQ(tree_->GetItemText(tree_->GetChild(unit)), "(无数据)");
    EXPECT_TRUE(world_->log().HasCaptured("建树完毕"));
}

}  // namespace
}  // namespace contacts_test
