#include <gtest/gtest.h>

#include <vector>

#include "platform/store/client_db.h"
#include "platform/store/id_list.h"
#include "store_test_support.h"

namespace store_test {
namespace {

class OaTest : public StoreTest {
  protected:
    long AddNotice(CClientDB& db, const char* desc, const char* status = "1") {
        long id = -1;
        EXPECT_TRUE(db.AddRTOAInfo("app1", "公文系统", "张三", "0", "1", desc, "http://oa/x",
                                   "doc=1", "http://oa/d", "2009-01-02 03:04:05", "离线提示",
                                   status, id))
            << db.GetErrorInfo();
        return id;
    }

    static std::vector<RTOARecord> All(CClientDB& db) {
        std::vector<RTOARecord> notices;
        EXPECT_TRUE(db.GetAllOAMsg([&](const RTOARecord& notice) { notices.push_back(notice); }))
            << db.GetErrorInfo();
        return notices;
    }
};

TEST_F(OaTest, NoticeRoundTripsWithItsNewId) {
    CClientDB db("alice", Folder().c_str());
    long id = AddNotice(db, "请审批");
    EXPECT_GT(id, 0);
    std::vector<RTOARecord> notices = All(db);
    ASSERT_EQ(notices.size(), 1u);
    RTOARecord expected{id,
                        "app1",
                        "公文系统",
                        "张三",
                        "0",
                        "1",
                        "请审批",
                        "http://oa/x",
                        "doc=1",
                        "http://oa/d",
                        "2009-01-02 03:04:05",
                        "离线提示",
                        "1"};
    EXPECT_EQ(notices[0], expected);
}

TEST_F(OaTest, NoticesComeNewestFirst) {
    CClientDB db("alice", Folder().c_str());
    AddNotice(db, "一");
    AddNotice(db, "二");
    AddNotice(db, "三");
    std::vector<std::string> titles;
    for (const RTOARecord& notice : All(db)) titles.push_back(notice.desc);
    EXPECT_EQ(titles, (std::vector<std::string>{"三", "二", "一"}));
}

TEST_F(OaTest, UpdateStateAndDeleteTakeThePagesIdList) {
    CClientDB db("alice", Folder().c_str());
    long a = AddNotice(db, "a");
    long b = AddNotice(db, "b");
    long c = AddNotice(db, "c");
    // Ids each followed by the two characters backslash and t; 999 matches nothing.
    std::string list = std::to_string(a) + "\\t" + std::to_string(c) + "\\t999\\t";
    ASSERT_TRUE(db.UpdateRTOAState(list.c_str(), '0')) << db.GetErrorInfo();
    std::vector<RTOARecord> notices = All(db);
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[0].status, "0");  // c
    EXPECT_EQ(notices[1].status, "1");  // b
    EXPECT_EQ(notices[2].status, "0");  // a

    std::string drop = std::to_string(b) + "\\t" + std::to_string(a) + "\\t";
    ASSERT_TRUE(db.DeleteSomeRTOAItem(drop.c_str())) << db.GetErrorInfo();
    notices = All(db);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].id, c);
}

TEST_F(OaTest, MalformedListOrStateChangesNothing) {
    CClientDB db("alice", Folder().c_str());
    long a = AddNotice(db, "a");
    std::string list = std::to_string(a) + "\\tx7\\t";
    EXPECT_FALSE(db.UpdateRTOAState(list.c_str(), '0'));
    EXPECT_NE(db.GetErrorInfo().find("x7"), std::string::npos) << db.GetErrorInfo();
    EXPECT_FALSE(db.DeleteSomeRTOAItem(list.c_str()));
    std::string good = std::to_string(a) + "\\t";
    EXPECT_FALSE(db.UpdateRTOAState(good.c_str(), 'x'));
    std::vector<RTOARecord> notices = All(db);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].status, "1");
    EXPECT_TRUE(db.UpdateRTOAState("", '0')) << "an empty list has nothing to change";
}

TEST(IdListTest, ParsesThePagesListForms) {
    struct Case {
        const char* text;
        bool ok;
        std::vector<long> ids;
    };
    const Case cases[] = {
        {"12\\t13\\t", true, {12, 13}},
        {"12\\t13", true, {12, 13}},
        {"12\t13\t", true, {12, 13}},
        {" 12 \\t\\t13\\t", true, {12, 13}},
        {"", true, {}},
        {"\\t", true, {}},
        {"12\\t-3\\t", false, {}},
        {"12\\t1 3\\t", false, {}},
        {"12a\\t", false, {}},
        {"12\\n13", false, {}},
        {"99999999999999999999999\\t", false, {}},
    };
    for (const Case& c : cases) {
        std::vector<long> ids = {42};
        EXPECT_EQ(store::ParseIdList(c.text, ids), c.ok) << c.text;
        EXPECT_EQ(ids, c.ids) << c.text;
    }
}

}  // namespace
}  // namespace store_test
