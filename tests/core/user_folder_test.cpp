#include "core/user_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "core/client_world.h"
#include "os/services/log.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "platform/store/client_db.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"

namespace {

TEST(UserFolder, IsTheSharedDirectoryAndTheAccountNameWhenTheNameCanNameAFolder) {
    struct Case {
        std::string name;
        std::optional<std::string> folder;
    };
    const Case cases[] = {
        {"alice", "/common/alice/"}, {"张三", "/common/张三/"},
        {"a.b", "/common/a.b/"},     {"..a", "/common/..a/"},
        {"", std::nullopt},          {".", std::nullopt},
        {"..", std::nullopt},        {"/", std::nullopt},
        {"a/b", std::nullopt},       {"../x", std::nullopt},
        {"a\\b", std::nullopt},      {std::string("a\0b", 3), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(core::UserFolder("/common/", c.name), c.folder);
        EXPECT_EQ(core::IsUsableFolderName(c.name), c.folder.has_value());
    }
}

class UserStoreTest : public ::testing::Test {
  protected:
    UserStoreTest() : world({common.str(), app.str()}) {
        world.simSession().Init(nullptr, nullptr, std::this_thread::get_id());
    }

    void LogIn(const std::string& login, const std::string& limitName) {
        platform::SimAccount account;
        account.loginName = login;
        account.password = "pw";
        account.limitName = limitName;
        world.server().AddAccount(account);
        ASSERT_EQ(world.simSession().Login(login, "pw", 1, "", 0), platform::kLoginAccepted);
    }

    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world;
};

TEST_F(UserStoreTest, TheStoreOfTheLoggedInUserIsInTheUserFolder) {
    LogIn("alice", "");
    core::ClientContext& context = world.context();
    EXPECT_EQ(context.CurrentUserFolder(), common.str() + "alice/");
    std::filesystem::create_directories(common.path() / "alice");

    const std::unique_ptr<CClientDB> db = context.OpenUserStore();
    ASSERT_NE(db, nullptr);
    ASSERT_TRUE(db->AddMsg("a@h", "b@h", "2026-01-05 09:00:00", "hi", "", "", "", 0, false, "", "",
                           CClientDB::kStateUnhandled, nullptr))
        << db->GetErrorInfo();
    EXPECT_TRUE(std::filesystem::exists(common.path() / "alice" / CClientDB::kDatabaseFileName));

    // A second handle reads what the first stored.
    int count = 0;
    const std::unique_ptr<CClientDB> again = context.OpenUserStore();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(
        again->GetMsg([&](const MsgFields& fields) { count += IsMsgEndMark(fields) ? 0 : 1; }, -1));
    EXPECT_EQ(count, 1);
}

TEST_F(UserStoreTest, AnAccountNameThatNamesNoFolderGetsNoStore) {
    LogIn("bob", "..");
    core::ClientContext& context = world.context();
    EXPECT_EQ(context.CurrentUserFolder(), std::nullopt);
    EXPECT_EQ(context.OpenUserStore(), nullptr);
    EXPECT_TRUE(world.log().HasCaptured("用户名不能作为目录名:.."));
    EXPECT_FALSE(
        std::filesystem::exists(common.path().parent_path() / CClientDB::kDatabaseFileName))
        << "nothing is stored outside the shared directory";
}

TEST_F(UserStoreTest, NobodyLoggedInHasNoUserFolder) {
    EXPECT_EQ(world.context().CurrentUserFolder(), std::nullopt);
    EXPECT_EQ(world.context().OpenUserStore(), nullptr);
}

}  // namespace
