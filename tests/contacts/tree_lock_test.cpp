// The item-data lock every contact tree shares.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "contacts/im_tree.h"
#include "os/services/log.h"
#include "support/waiting/clock_waiters.h"
#include "tree_fixture.h"

namespace contacts_test {
namespace {

using contacts::CIMTree;
using contacts::CIMTreeItemData;
using contacts::CUser;

class TreeLockTest : public TreeTest {
  protected:
    std::unique_ptr<CIMTreeItemData> NewItem(std::string jid) {
        return CIMTreeItemData::ForUser(
            std::make_unique<CUser>(clock(), std::move(jid), "n", "", ""));
    }
    // Until `count` threads sleep on the manual clock (they block on the lock there).
    ::testing::AssertionResult AwaitWaiters(int count) {
        return testing_support::WaitForWaiters(clock(), count);
    }
};

TEST_F(TreeLockTest, ASecondThreadGivesUpAfterOneSecondAndKeepsItsItem) {
    auto holder = MakeTree("buddies");
    auto other = MakeTree("directory");
    CIMTree::ItemDataLock held(*holder);  // the lock of every tree, held through another one
    ASSERT_TRUE(held.owns());

    std::atomic<bool> finished{false};
    CIMTreeItemData* added = nullptr;
    bool keptItem = false;
    std::thread worker([&] {
        auto item = NewItem("a$gov@h");
        added = other->AddItemData(item);
        keptItem = item != nullptr;
        finished = true;
    });
    ASSERT_TRUE(AwaitWaiters(1));
    clock().Advance(999);
    EXPECT_FALSE(finished);
    EXPECT_EQ(clock().WaiterCount(), 1);
    clock().Advance(1);
    worker.join();
    EXPECT_EQ(added, nullptr);
    EXPECT_TRUE(keptItem);
    EXPECT_EQ(other->ItemDataCount(), 0u);
    EXPECT_TRUE(world_->log().HasCaptured("CIMTree::AddItemData(directory)"));
}

TEST_F(TreeLockTest, DeleteAllWaitsForTheLockAndThenClears) {
    auto tree = MakeTree();
    AddUnplacedUser(*tree, "a$gov@h", "n");
    auto held = std::make_unique<CIMTree::ItemDataLock>(*tree);

    std::atomic<int> result{-1};
    std::thread worker([&] { result = tree->DeleteAllItemData() ? 1 : 0; });
    ASSERT_TRUE(AwaitWaiters(1));
    clock().Advance(500);
    EXPECT_EQ(result, -1);
    held.reset();  // let go within the second
    worker.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(tree->ItemDataCount(), 0u);
}

TEST_F(TreeLockTest, TheOwnerMayTakeTheLockAgain) {
    auto tree = MakeTree();
    CIMTree::ItemDataLock outer(*tree);
    ASSERT_TRUE(outer.owns());
    EXPECT_NE(AddUnplacedUser(*tree, "a$gov@h", "n"), nullptr);
    EXPECT_NE(tree->FindUser("a$gov@h", "", platform::JidMatch::Exact), nullptr);
}

// Threads filling one tree at once: every item arrives, every one is found.
TEST_F(TreeLockTest, ConcurrentFillersNeverLoseAnItem) {
    auto tree = MakeTree();
    constexpr int kPerThread = 300;
    auto fill = [&](char prefix) {
        for (int i = 0; i < kPerThread; ++i) {
            auto item = NewItem(std::string(1, prefix) + std::to_string(i) + "$gov@h");
            ASSERT_NE(tree->AddItemData(item), nullptr);
            ASSERT_NE(tree->FindUser(std::string(1, prefix) + std::to_string(i) + "$gov@h", "",
                                     platform::JidMatch::Loose),
                      nullptr);
        }
    };
    std::thread first(fill, 'a');
    std::thread second(fill, 'b');
    first.join();
    second.join();
    EXPECT_EQ(tree->ItemDataCount(), 2u * kPerThread);
}

}  // namespace
}  // namespace contacts_test
