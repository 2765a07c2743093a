// The contact caches in the client as it ships: a log-out writes the cache file of each tree
// that changed or has none, and the cache page of the settings dialog deletes them for good
// in this session. The buddy list saved is the first one that joined the contact trees: the
// fixture's buddy tree on the main panel, which joins before the product's own trees.

#include <gtest/gtest.h>

#include "contacts/contact_cache.h"
#include "core/user_folder.h"
#include "host_api/cache_clearing_page.h"
#include "os/prompt/scripted_prompter.h"
#include "os/sys/file_ops.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

class ContactCacheEndToEndTest : public SubsystemsTest {
  protected:
    std::string CacheFile() {
        return core::UserFolder(commonDir.str(), "me").value() + "我的好友.tree";
    }
    void Drain() {
        const platform::SimSessionCore& session = world.simSession();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] {
            return session.QueuedCount() == 0 && session.IssuedCount() == 0;
        }));
    }
    void LogOut() {
        ASSERT_NO_FATAL_FAILURE(Drain());
        manager->UserLogout();
    }
    std::string FileBytes() {
        std::string bytes;
        os::ReadFile(CacheFile(), bytes);
        return bytes;
    }
};

TEST_F(ContactCacheEndToEndTest, LogOutWritesTheBuddyListCache) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    ASSERT_FALSE(os::FileExists(CacheFile()));
    ASSERT_NO_FATAL_FAILURE(LogOut());
    EXPECT_TRUE(Traced("SaveContactCaches"));

    contacts::CIMTree loaded(context, 1, "loaded", 0);
    ASSERT_NO_THROW(contacts::LoadTree(loaded, context, CacheFile()));
    ASSERT_EQ(loaded.ItemDataCount(), 2u);
    ASSERT_NE(loaded.FindGroup("top,g1"), nullptr);
    const contacts::CUser* saved = loaded.FindUser(bob, "top,g1", platform::JidMatch::Exact);
    ASSERT_NE(saved, nullptr);
    EXPECT_GBK_EQ(saved->displayText, "Bob [离线]");
    EXPECT_EQ(saved->presence(), "offline");
}

// An unchanged tree keeps its file; a changed one rewrites it.
class CacheRewriteTest : public ContactCacheEndToEndTest,
                         public ::testing::WithParamInterface<bool> {};

TEST_P(CacheRewriteTest, ExistingFileIsRewrittenOnlyWhenTheTreeChanged) {
    const bool dirty = GetParam();
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    // The login has loaded the trees (a cache file present then would have been read).
    ASSERT_NO_FATAL_FAILURE(Drain());
    ASSERT_TRUE(os::CreateDirectories(core::UserFolder(commonDir.str(), "me").value()));
    ASSERT_TRUE(os::WriteFileAtomically(CacheFile(), "old"));
    tree->SetDirty(dirty);
    ASSERT_NO_FATAL_FAILURE(LogOut());
    EXPECT_EQ(FileBytes() != "old", dirty);
}

INSTANTIATE_TEST_SUITE_P(Dirty, CacheRewriteTest, ::testing::Bool());

TEST_F(ContactCacheEndToEndTest, ClearedCachesAreNotWrittenAgainAtLogOut) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    ASSERT_TRUE(os::CreateDirectories(core::UserFolder(commonDir.str(), "me").value()));
    ASSERT_TRUE(os::WriteFileAtomically(CacheFile(), "old"));
    ASSERT_TRUE(os::WriteFileAtomically(commonDir.str() + "user.dat", "me;"));
    CCacheClearingPage page(context);
    ASSERT_TRUE(page.Create({}, os::Rect::FromSize(0, 0, 300, 200)));
    const std::uint32_t window = page.hwnd().value();
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());

    // Nothing chosen: told so, nothing deleted, the caches are still saved at log-out.
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_TRUE(driver.Click(window, CCacheClearingPage::kClear)) << driver.LastError();
    EXPECT_GBK_EQ(world.prompter().Records().back().text, "未选择缓存类别");
    EXPECT_GBK_EQ(world.prompter().Records().back().caption, "提示");
    EXPECT_TRUE(os::FileExists(CacheFile()));
    EXPECT_TRUE(manager->Flags().saveContactCaches.load());

    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_TRUE(driver.Click(window, CCacheClearingPage::kPersonalContacts)) << driver.LastError();
    ASSERT_TRUE(driver.Click(window, CCacheClearingPage::kLoginHistory)) << driver.LastError();
    ASSERT_TRUE(driver.Click(window, CCacheClearingPage::kClear)) << driver.LastError();
    EXPECT_GBK_EQ(world.prompter().Records().back().text,
                  "清除:登录用户信息个人通讯录缓存 成功\r\n 请重新登录，才能生效。");
    EXPECT_FALSE(os::FileExists(CacheFile()));
    EXPECT_FALSE(os::FileExists(commonDir.str() + "user.dat"));

    ASSERT_NO_FATAL_FAILURE(LogOut());
    EXPECT_FALSE(Traced("SaveContactCaches"));
    EXPECT_FALSE(os::FileExists(CacheFile())) << "a cleared cache stays deleted";
}

}  // namespace
}  // namespace host_api_test
