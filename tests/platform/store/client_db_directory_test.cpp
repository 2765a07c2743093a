#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/store/client_db.h"
#include "store_test_support.h"

namespace store_test {
namespace {

using ::testing::IsEmpty;

class DirectoryTest : public StoreTest {};

TEST_F(DirectoryTest, ChildrenComeBackInSiblingOrderPerUnit) {
    CClientDB db("alice", Folder().c_str());
    const CGroupChildList children = {
        {CGroupChild::kUnit, "0101", "办公厅", "01"},
        {CGroupChild::kPerson, "zhang$gov@h", "张三", "01"},
        {CGroupChild::kUnit, "0102", "财政局", "01"},
        {7, "li$gov@h", "李四", "01"},
    };
    ASSERT_TRUE(db.RefreshGroupChildren("orgTop,01", children)) << db.GetErrorInfo();
    ASSERT_TRUE(
        db.RefreshGroupChildren("orgTop,02", {{CGroupChild::kPerson, "w@h", "王五", "02"}}));

    CGroupChildList read;
    ASSERT_TRUE(db.GetGroupChildren("orgTop,01", read)) << db.GetErrorInfo();
    EXPECT_EQ(read, children);
    EXPECT_TRUE(read[0].IsUnit());
    EXPECT_FALSE(read[3].IsUnit()) << "any type other than 0 is a person";
    EXPECT_EQ(read[3].GetType(), 7);

    ASSERT_TRUE(db.GetGroupChildren("orgTop,02", read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].GetName(), "王五");
}

TEST_F(DirectoryTest, RefreshReplacesTheUnitsChildrenWhole) {
    CClientDB db("alice", Folder().c_str());
    ASSERT_TRUE(
        db.RefreshGroupChildren("k", {{0, "a", "A", "p"}, {1, "b", "B", "p"}, {1, "c", "C", "p"}}));
    ASSERT_TRUE(db.RefreshGroupChildren("k", {{1, "d", "D", "p"}}));
    CGroupChildList read;
    ASSERT_TRUE(db.GetGroupChildren("k", read));
    EXPECT_EQ(read, (CGroupChildList{{1, "d", "D", "p"}}));

    ASSERT_TRUE(db.RefreshGroupChildren("k", {}));
    ASSERT_TRUE(db.GetGroupChildren("k", read));
    EXPECT_THAT(read, IsEmpty());
}

TEST_F(DirectoryTest, UnknownUnitIsAnEmptyListAndBadGbkChangesNothing) {
    CClientDB db("alice", Folder().c_str());
    CGroupChildList read = {{0, "stale", "stale", ""}};
    ASSERT_TRUE(db.GetGroupChildren("never-loaded", read));
    EXPECT_THAT(read, IsEmpty());

    ASSERT_TRUE(db.RefreshGroupChildren("k", {{1, "a", "A", "p"}}));
    EXPECT_FALSE(db.RefreshGroupChildren("k", {{1, "b", "B", "p"}, {1, "c", "\x81", "p"}}));
    EXPECT_NE(db.GetErrorInfo().find("GBK"), std::string::npos);
    ASSERT_TRUE(db.GetGroupChildren("k", read));
    EXPECT_EQ(read, (CGroupChildList{{1, "a", "A", "p"}}));
}

}  // namespace
}  // namespace store_test
