// The client's three cache files: the fallback when one cannot be read, the save of all three
// and the clearing of the cache files.
#include "contacts/contact_cache_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "config/client_config.h"
#include "contacts/contact_cache.h"
#include "contacts/contact_trees.h"
#include "contacts/im_tree.h"
#include "os/services/log.h"
#include "os/sys/file_ops.h"
#include "platform/session/sim_session_core.h"
#include "tree_fixture.h"

namespace contacts_test {
namespace {

using contacts::CachedTree;
using ::testing::ElementsAre;

class CacheFilesTest : public TreeTest {
  protected:
    void SetUp() override {
        world_->server().AddAccount(Account("me"));
        ASSERT_EQ(session().Init(nullptr, nullptr, std::this_thread::get_id()), 1);
        ASSERT_EQ(session().Login("me", "pw", 1, "", 0), platform::kLoginAccepted);
        folder_ = *context().CurrentUserFolder();
        ASSERT_TRUE(os::CreateDirectories(folder_));
    }

    platform::SimSessionCore& session() { return world_->simSession(); }
    std::string FileOf(CachedTree which) { return *contacts::CacheFileOf(which, context()); }
    std::unique_ptr<contacts::CIMTree> TreeWithOneUser(std::string name, std::string_view topKind) {
        auto tree = MakeTree(std::move(name));
        tree->topKind = std::string(topKind);
        AddUnplacedUser(*tree, "bob$gov@" + world_->server().HostName(), "Bob");
        return tree;
    }
    std::vector<std::string> Calls() {
        std::vector<std::string> calls;
        for (const platform::SessionCall& call : session().calls().Calls()) {
            if (call.name != "RefreshRoster" && call.name != "RefreshTelContactTop" &&
                call.name != "RequestOrganizeList")
                continue;
            std::string text = call.name;
            for (const std::string& arg : call.args) text += " " + arg;
            calls.push_back(text);
        }
        return calls;
    }

    std::string folder_;
};

TEST_F(CacheFilesTest, EachTreeHasTheFileOfItsTitle) {
    config().PrivateContactFloderGovTitle = "好友";
    config().TelContactTitle = "电话";
    config().WorkContactFloderOrganizeTitle = "单位";
    EXPECT_EQ(FileOf(CachedTree::BuddyList), folder_ + "好友.tree");
    EXPECT_EQ(FileOf(CachedTree::PhoneBook), folder_ + "电话.tree");
    EXPECT_EQ(FileOf(CachedTree::Directory), folder_ + "单位.tree");
}

TEST_F(CacheFilesTest, BrokenCacheIsLoggedDeletedAndTheWholeListRequested) {
    const struct {
        CachedTree which;
        std::vector<std::string> logs;  // %s: the file
        std::string request;
    } cases[] = {
        {CachedTree::BuddyList,
         {"************从本地缓存读取好友列表异常:文件名'%s', 向服务器请求好友列表(Refresh=2)"},
         "RefreshRoster 2"},
        {CachedTree::PhoneBook, {"本地读取好友列表异常:文件名'%s'...."}, "RefreshTelContactTop 2"},
        {CachedTree::Directory,
         {"本地读取'公共通讯录'异常:文件名'%s'....", "重新向服务器请求'公共通讯录'列表"},
         "RequestOrganizeList 9 2"},
    };
    for (const auto& c : cases) {
        const std::string file = FileOf(c.which);
        SCOPED_TRACE(file);
        ASSERT_TRUE(os::WriteFileAtomically(file, std::string("\x05\0\0\0\0\0\0\0\0", 9)));
        auto tree = TreeWithOneUser("t", contacts::kRosterTop);
        tree->cacheStamp = "old";
        world_->log().ClearCaptured();
        session().calls().Clear();

        EXPECT_FALSE(contacts::LoadCachedTree(*tree, c.which, context(), 9));

        std::vector<std::string> expected;
        for (const std::string& log : c.logs) {
            const std::size_t at = log.find("%s");
            expected.push_back(
                at == std::string::npos ? log : log.substr(0, at) + file + log.substr(at + 2));
        }
        std::vector<std::string> logged = world_->log().CapturedTexts();
        for (const std::string& text : expected) EXPECT_THAT(logged, ::testing::Contains(text));
        EXPECT_FALSE(os::FileExists(file));
        EXPECT_EQ(tree->ItemDataCount(), 0u);
        EXPECT_EQ(tree->cacheStamp, "");
        EXPECT_THAT(Calls(), ElementsAre(c.request));
    }
}

TEST_F(CacheFilesTest, GoodCacheIsLoadedWithoutAskingForTheList) {
    auto saved = TreeWithOneUser("t", contacts::kRosterTop);
    saved->cacheStamp = "stamp";
    ASSERT_TRUE(contacts::SaveTree(*saved, context(), FileOf(CachedTree::BuddyList)));
    session().calls().Clear();

    auto tree = MakeTree();
    EXPECT_TRUE(contacts::LoadCachedTree(*tree, CachedTree::BuddyList, context()));
    EXPECT_EQ(tree->ItemDataCount(), 1u);
    EXPECT_EQ(tree->cacheStamp, "stamp");
    EXPECT_THAT(Calls(), ElementsAre());
    EXPECT_TRUE(os::FileExists(FileOf(CachedTree::BuddyList)));
}

TEST_F(CacheFilesTest, NoCacheFileLoadsNothingAndAsksNothing) {
    auto tree = MakeTree();
    EXPECT_FALSE(contacts::LoadCachedTree(*tree, CachedTree::PhoneBook, context()));
    EXPECT_THAT(Calls(), ElementsAre());
}

TEST_F(CacheFilesTest, SavingTheCachesWritesTheThreeTreesThatHaveFiles) {
    contacts::ContactTrees trees(context());
    auto buddies = TreeWithOneUser("我的好友", contacts::kRosterTop);
    auto phones = TreeWithOneUser("电话簿", contacts::kPhoneBookTop);
    auto business = TreeWithOneUser("业务通讯录", "org");
    auto directory = TreeWithOneUser("公共通讯录", "org");
    for (auto* tree : {buddies.get(), phones.get(), business.get(), directory.get()})
        trees.Add(*tree);

    const contacts::CachedTrees found = contacts::FindCachedTrees(trees, config());
    EXPECT_EQ(found.buddyList, buddies.get());
    EXPECT_EQ(found.phoneBook, phones.get());
    EXPECT_EQ(found.directory, directory.get());

    contacts::SaveContactCaches(found, context());
    for (CachedTree which : {CachedTree::BuddyList, CachedTree::PhoneBook, CachedTree::Directory}) {
        auto loaded = MakeTree();
        EXPECT_NO_THROW(contacts::LoadTree(*loaded, context(), FileOf(which)));
        EXPECT_EQ(loaded->ItemDataCount(), 1u);
    }
    EXPECT_FALSE(os::FileExists(folder_ + "业务通讯录.tree"));
    for (auto* tree : {buddies.get(), phones.get(), business.get(), directory.get()})
        trees.Remove(*tree);
}

TEST_F(CacheFilesTest, ClearingDeletesTheChosenFilesAndNamesTheChoices) {
    const std::string history = context().folders.commonDir + "user.dat";
    const std::vector<std::string> caches = {"我的好友", "电话簿", "业务通讯录", "部门通讯录",
                                             "公共通讯录"};
    const struct {
        contacts::CacheClearChoice choice;
        std::string labels;
        bool historyLeft;
        std::vector<bool> cachesLeft;  // in the order of `caches`
    } cases[] = {
        {{false, false, false}, "", true, {true, true, true, true, true}},
        {{true, false, false}, "登录用户信息", false, {true, true, true, true, true}},
        {{false, true, false}, "公共通讯录缓存", true, {true, true, false, false, false}},
        {{false, false, true}, "个人通讯录缓存", true, {false, false, true, true, true}},
        {{true, true, true},
         "登录用户信息公共通讯录缓存个人通讯录缓存",
         false,
         {false, false, false, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.labels);
        ASSERT_TRUE(os::WriteFileAtomically(history, "me;"));
        for (const std::string& title : caches)
            ASSERT_TRUE(os::WriteFileAtomically(folder_ + title + ".tree", "x"));
        EXPECT_EQ(contacts::ClearCacheFiles(c.choice, context(), "user.dat"), c.labels);
        EXPECT_EQ(os::FileExists(history), c.historyLeft);
        for (std::size_t i = 0; i < caches.size(); ++i)
            EXPECT_EQ(os::FileExists(folder_ + caches[i] + ".tree"), c.cachesLeft[i]) << caches[i];
    }
    // Files that are not there are skipped.
    EXPECT_EQ(contacts::ClearCacheFiles({true, true, true}, context(), "user.dat"),
              "登录用户信息公共通讯录缓存个人通讯录缓存");
}

}  // namespace
}  // namespace contacts_test
