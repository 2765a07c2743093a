// The simulated server's lists: roster and phone-book records, the organisation directory,
// and a unit's children handed to the client's directory store.
#include <gtest/gtest.h>

#include <thread>

#include "os/sys/event.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "sim_world.h"
#include "support/gbk_print.h"

namespace {

using platform::ContactListData;
using platform::DirectoryChild;
using platform::NotifyRecord;
namespace nt = platform::notify_type;

class SimDirectoryTest : public ::testing::Test {
  protected:
    SimDirectoryTest()
        : lost_(world_.clock(), os::EventReset::Auto),
          notify_(world_.clock(), os::EventReset::Auto),
          session_(world_.serverPtr()) {
        platform::SimAccount me;
        me.loginName = "me";
        me.password = "pw";
        me_ = world_.server().AddAccount(me);
        session_.Init(&lost_, &notify_, std::this_thread::get_id());
    }

    std::vector<NotifyRecord> Drain() {
        std::vector<NotifyRecord> records;
        while (NotifyRecord* record = session_.GetNotify()) {
            records.push_back(*record);
            session_.FreeNotify(record);
        }
        return records;
    }

    void LogIn() {
        ASSERT_EQ(session_.Login("me", "pw", 1, "", 0), platform::kLoginAccepted);
        Drain();
    }

    sim_testing::SimWorld world_;
    os::Event lost_;
    os::Event notify_;
    platform::SimSessionCore session_;
    std::string me_;
};

TEST_F(SimDirectoryTest, AGeneratedDirectoryHasEveryLevelAndItsPersons) {
    const platform::SimDirectory directory =
        platform::SimDirectory::Generate("host.test", 2, 3, 3, 4);
    // 2 roots, 6 units below them, 18 below those.
    ASSERT_EQ(directory.units.size(), 26u);
    EXPECT_EQ(directory.units[0].id, "u1");
    EXPECT_EQ(directory.units[0].parentId, "");
    EXPECT_EQ(directory.units[2].id, "u1_1");
    EXPECT_EQ(directory.units[2].parentId, "u1");
    EXPECT_EQ(directory.units.back().id, "u2_3_3");
    for (const platform::SimUnit& unit : directory.units) {
        ASSERT_EQ(unit.persons.size(), 4u) << unit.id;
    }
    EXPECT_EQ(directory.units[0].persons[1].jid, "pu1_2$gov@host.test");
    EXPECT_GBK_EQ(directory.units[0].persons[1].name, "职员2");
}

TEST_F(SimDirectoryTest, AUnitsChildrenAreItsSubUnitsThenItsPersons) {
    world_.server().SetDirectory(platform::SimDirectory::Generate("h", 2, 2, 2, 2));
    struct Case {
        const char* pathKey;
        std::vector<DirectoryChild> children;
    };
    const Case cases[] = {
        {"organizeTop", {{true, "u1", "部门u1", ""}, {true, "u2", "部门u2", ""}}},
        {"organizeTop,u2",
         {{true, "u2_1", "部门u2_1", "u2"},
          {true, "u2_2", "部门u2_2", "u2"},
          {false, "pu2_1$gov@h", "职员1", "u2"},
          {false, "pu2_2$gov@h", "职员2", "u2"}}},
        {"organizeTop,u2,u2_1",
         {{false, "pu2_1_1$gov@h", "职员1", "u2_1"}, {false, "pu2_1_2$gov@h", "职员2", "u2_1"}}},
        {"organizeTop,nowhere", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(world_.server().DirectoryChildren(c.pathKey), c.children) << c.pathKey;
    }
}

TEST_F(SimDirectoryTest, RefreshesHandOverTheRosterAndThePhoneBookAsListRecords) {
    world_.server().SetRoster(me_, {{"a$gov@h", "A", "同事"},
                                    {"b$gov@h", "B", "朋友"},
                                    {"c$gov@h", "C", "同事"},
                                    {"d$gov@h", "D", ""}});
    world_.server().SetPhoneBook(me_, {{"13900000001", "张三", "家人"}});
    ASSERT_NO_FATAL_FAILURE(LogIn());

    EXPECT_EQ(session_.RefreshRoster(2), 1);
    EXPECT_EQ(session_.RefreshTelContactTop(2), 1);
    const std::vector<NotifyRecord> records = Drain();
    ASSERT_EQ(records.size(), 2u);
    for (const NotifyRecord& record : records) {
        EXPECT_EQ(record.type, nt::kContactListLoading);
        EXPECT_TRUE(platform::HasExpectedPayload(record));
    }
    const ContactListData roster{std::string(platform::kRosterNameSpace),
                                 {{"a$gov@h", "A", "iqRosterTop,同事"},
                                  {"b$gov@h", "B", "iqRosterTop,朋友"},
                                  {"c$gov@h", "C", "iqRosterTop,同事"},
                                  {"d$gov@h", "D", "iqRosterTop"}},
                                 {{"同事", "同事", ""}, {"朋友", "朋友", ""}}};
    EXPECT_EQ(*records[0].As<ContactListData>(), roster);
    const ContactListData phoneBook{std::string(platform::kPhoneBookNameSpace),
                                    {{std::string("13900000001@sms.") + platform::kDefaultSimHost,
                                      "张三", "privatePhoneTop,家人"}},
                                    {{"家人", "家人", ""}}};
    EXPECT_EQ(*records[1].As<ContactListData>(), phoneBook);
}

TEST_F(SimDirectoryTest, ListsAreRefusedWithoutALogin) {
    EXPECT_EQ(session_.RefreshRoster(2), 0);
    EXPECT_EQ(session_.RefreshTelContactTop(2), 0);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(SimDirectoryTest, AUnitsChildrenGoToTheDirectoryStoreBeforeTheWaitEnds) {
    world_.server().SetDirectory(platform::SimDirectory::Generate("h", 1, 2, 2, 1));
    std::vector<std::pair<std::string, std::vector<DirectoryChild>>> stored;
    bool storeAnswer = true;
    session_.SetDirectoryStore(
        [&](std::string_view key, const std::vector<DirectoryChild>& children) {
            stored.emplace_back(std::string(key), children);
            return storeAnswer;
        });
    ASSERT_NO_FATAL_FAILURE(LogIn());

    os::Event done(world_.clock(), os::EventReset::Manual);
    int result = -1;
    EXPECT_EQ(session_.RequestGroupChildren({}, "organizeTop,u1", &result, 2000, &done, 0, 0), 1);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(done.IsSet());
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].first, "organizeTop,u1");
    EXPECT_EQ(stored[0].second, world_.server().DirectoryChildren("organizeTop,u1"));

    // Online information only (no wait): nothing is stored.
    EXPECT_EQ(session_.RequestGroupChildren({}, "organizeTop,u1", &result, 0, nullptr, 0, 1), 1);
    EXPECT_EQ(stored.size(), 1u);

    // A store that fails makes the request fail; the waiter is released all the same.
    storeAnswer = false;
    done.Reset();
    EXPECT_EQ(session_.RequestGroupChildren({}, "organizeTop,u1", &result, 2000, &done, 0, 0), 0);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(done.IsSet());
}

}  // namespace
