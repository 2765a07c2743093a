// The recent-contacts tree in the product: filled after a login from the user's own vCard
// extension as the embedded server hands it over.
#include <gtest/gtest.h>

#include "config/client_config.h"
#include "contacts/im_tree.h"
#include "contacts/main_panel_trees.h"
#include "os/services/log.h"
#include "platform/session/sim_server.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

using contacts::CIMTree;

class RecentContactsTest : public SubsystemsTest {
  protected:
    RecentContactsTest() {
        platform::SimServer& server = world.server();
        carol = server.AddAccount({.loginName = "carol", .password = "pw", .nickname = "Carol"});
        server.SetPhoneBook(me, {{"13900000001", "张三", "客户"}});
    }

    // Gives "me" this own extension, logs in through the panel and pumps every record.
    void LogInWith(const std::string& extensionXml) {
        platform::SimServer& server = world.server();
        server.AddAccount(
            {.loginName = "me", .password = "pw", .nickname = "我", .extensionXml = extensionXml});
        if (!manager->mainPanel()) {
            ASSERT_NO_FATAL_FAILURE(Init());
        }
        context.config.HasRecentContact = 1;  // after Init, which reads the settings
        ASSERT_NO_FATAL_FAILURE(LogInAs("me"));
        const platform::SimSessionCore& session = world.simSession();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] {
            return session.QueuedCount() == 0 && session.IssuedCount() == 0;
        }));
    }
    CIMTree* Recent() { return manager->mainPanel()->GetControl<CIMTree>(contacts::kRecentTreeId); }
    static std::string Outline(const CIMTree& tree) {
        std::string lines;
        tree.ForEachItem([&](os::TreeItem item, int depth) {
            lines += std::string(static_cast<std::size_t>(depth) * 2, ' ') +
                     tree.GetItemText(item) + "\n";
        });
        return lines;
    }

    std::string carol;
};

TEST_F(RecentContactsTest, TheRecentGroupsShowTheOwnExtensionsContactsNewestFirst) {
    // The own vCard comes before the lists, so each contact takes its entry's text as its
    // name; Carol's second entry and the entry without a JID are left out; the SMS list names
    // numbers.
    const std::string xml = "<SIGNATURE>s</SIGNATURE><RECENTIM>" + carol + "||卡罗尔;" + bob +
                            "||鲍勃;" + carol +
                            "||again;没有地址||x</RECENTIM>"
                            "<RECENTSMS>13800000000||李四;13900000001||张三</RECENTSMS>";
    ASSERT_NO_FATAL_FAILURE(LogInWith(xml));
    CIMTree* recent = Recent();
    ASSERT_NE(recent, nullptr);
    EXPECT_GBK_EQ(Outline(*recent),
                  "最近IM联系人 (0/2)\n  卡罗尔(离线)\n  鲍勃(离线)\n"
                  "最近手机联系人 (0/2)\n  李四\n  张三\n");
    const std::string host = world.server().HostName();
    const contacts::CUser* sms =
        recent->FindUser("13800000000@sms." + host, "1000,1002", platform::JidMatch::Exact);
    ASSERT_NE(sms, nullptr);
    EXPECT_EQ(sms->groupKey, "1000,1002");
    EXPECT_NE(recent->FindUser(carol, "1000,1001", platform::JidMatch::Exact), nullptr);
    EXPECT_TRUE(world.log().HasCaptured("构造最近联系人信息出错"));
}

TEST_F(RecentContactsTest, EmptyListsShowNoDataAndTheNextAccountSeesItsOwnList) {
    struct Case {
        const char* name;
        std::string xml;
        std::string outline;
    };
    const Case cases[] = {
        {"no lists", "<SIGNATURE>s</SIGNATURE>",
         "最近IM联系人\n  无数据\n最近手机联系人\n  无数据\n"},
        {"only separators", "<RECENTIM>;;</RECENTIM><RECENTSMS>;</RECENTSMS>",
         "最近IM联系人\n  无数据\n最近手机联系人\n  无数据\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(LogInWith(c.xml));
        ASSERT_NE(Recent(), nullptr);
        EXPECT_GBK_EQ(Outline(*Recent()), c.outline);
        manager->UserLogout();
        EXPECT_EQ(Recent()->ItemDataCount(), 0u);
    }
}

}  // namespace
}  // namespace host_api_test
