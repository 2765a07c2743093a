// The recent-contacts tree in the product: filled after a login from the user's own vCard
// extension as the embedded server hands it over, and kept up to date as the user chats and
// texts: the server keeps the lists for the next login.
#include <gtest/gtest.h>

#include "batch/batch_controls.h"
#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "config/client_config.h"
#include "contacts/im_tree.h"
#include "contacts/main_panel_trees.h"
#include "core/doors.h"
#include "core/doors/contact_service.h"
#include "core/window_messages.h"
#include "host_api/library.h"
#include "os/services/log.h"
#include "platform/session/sim_server.h"
#include "qorvdesk/exports.h"
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

    // The last extension the client sent to the server.
    std::string LastSentExtension() const {
        const auto calls = world.simSession().calls().Named("UpdateMyExtendInfo");
        return calls.empty() ? std::string() : calls.back().args.at(0);
    }
    bool Drained() const {
        const platform::SimSessionCore& session = world.simSession();
        return session.QueuedCount() == 0 && session.IssuedCount() == 0;
    }
    void LogOutAndIn() {
        manager->UserLogout();
        ASSERT_NO_FATAL_FAILURE(LogInAs("me"));
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    }

    std::string carol;
    qorvdesk::automation::Driver driver{world.windows(), &world.prompter()};
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

TEST_F(RecentContactsTest, AMessageFromAContactPutsItFirstAndTheServerKeepsTheListForTheNextLogin) {
    ASSERT_NO_FATAL_FAILURE(LogInWith("<SIGNATURE>我的签名</SIGNATURE><RECENTIM>" + bob +
                                      "||鲍勃;" + carol + "||卡罗尔</RECENTIM>"));
    remote = Remote("carol");
    ASSERT_EQ(remote->SendChatMessage(me, "你好", ""), 1);
    ASSERT_TRUE(
        PumpUntil(world.windows(), [&] { return Drained() && !LastSentExtension().empty(); }));

    // Carol is not in the buddy list: her entry keeps the text the list had for her.
    EXPECT_GBK_EQ(Outline(*Recent()),
                  "最近IM联系人 (0/2)\n  卡罗尔(离线)\n  鲍勃(离线)\n最近手机联系人\n  无数据\n");
    // The whole extension goes to the server, the signature with it.
    EXPECT_GBK_EQ(LastSentExtension(),
                  "<SIGNATURE>我的签名</SIGNATURE><PHOTO><TYPE></TYPE><BINVAL></BINVAL></PHOTO>"
                  "<RECENTIM>" +
                      carol + "||卡罗尔;" + bob + "||鲍勃</RECENTIM><RECENTSMS></RECENTSMS>");

    // The next login reads the list from the server; Bob, in the buddy list read from its
    // cache by then, is shown as the buddy list names him.
    remote.reset();
    ASSERT_NO_FATAL_FAILURE(LogOutAndIn());
    EXPECT_GBK_EQ(Outline(*Recent()),
                  "最近IM联系人 (0/2)\n  卡罗尔(离线)\n  Bob(离线)\n最近手机联系人\n  无数据\n");
}

TEST_F(RecentContactsTest, SendingFromTheChatWindowAddsTheContactAndTheListKeepsItsLength) {
    ASSERT_NO_FATAL_FAILURE(LogInWith("<RECENTSMS>13800000000||李四</RECENTSMS>"));
    context.config.CountOfRecentContact = 1;
    struct Case {
        const char* name;
        bool sms;
        std::string to;  // the window's peer
        std::string outline;
    };
    const std::string host = world.server().HostName();
    const Case cases[] = {
        // The empty chat group gives way to Bob; the SMS group keeps its one entry.
        {"a chat", false, bob, "最近IM联系人 (0/1)\n  Bob(离线)\n最近手机联系人 (0/1)\n  李四\n"},
        // A number texted pushes the older one out: one entry is kept.
        {"an SMS", true, "13900000009@sms." + host,
         "最近IM联系人 (0/1)\n  Bob(离线)\n最近手机联系人 (0/1)\n  13900000009\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        core::ChatWindow* opened =
            c.sms ? manager->OpenSmsChatWindow(c.to) : manager->OpenChatWindow(c.to);
        auto* chat = dynamic_cast<CDlgChat*>(opened);
        ASSERT_NE(chat, nullptr);
        const auto window = chat->hwnd().value();
        ASSERT_TRUE(driver.AppendText(window, chat::control::kInput, "明天见"))
            << driver.LastError();
        ASSERT_TRUE(driver.Click(window, chat::control::kSend)) << driver.LastError();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
        EXPECT_GBK_EQ(Outline(*Recent()), c.outline);
    }
    EXPECT_EQ(LastSentExtension().find("13800000000"), std::string::npos);
}

TEST_F(RecentContactsTest, EveryRecipientOfABatchJoinsTheRecentContactsInTheOrderSent) {
    ASSERT_NO_FATAL_FAILURE(LogInWith("<RECENTSMS>13800000000||李四</RECENTSMS>"));
    theWindowManager = manager.get();
    ShowSendSmsWindow(2);
    theWindowManager = nullptr;
    const auto window = driver.FindWindowByClass(core::kBatchChatWindowClass);
    ASSERT_NE(window, 0u);
    namespace id = batch::control;
    ASSERT_TRUE(driver.AppendText(window, id::kRecipients, "13900000001；13900000002"))
        << driver.LastError();
    ASSERT_TRUE(driver.TypeText(window, id::kContents, "明天九点开会")) << driver.LastError();
    ASSERT_TRUE(driver.Click(window, id::kSend)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    ASSERT_EQ(world.server().SmsSent().size(), 2u);
    // The last one sent is the newest; the phone book names the first number.
    EXPECT_GBK_EQ(Outline(*Recent()),
                  "最近IM联系人\n  无数据\n最近手机联系人 (0/3)\n  13900000002\n  张三\n  李四\n");
    EXPECT_NE(
        LastSentExtension().find(
            "<RECENTSMS>13900000002||13900000002;13900000001||13900000001;13800000000||李四<"),
        std::string::npos)
        << LastSentExtension();
}

TEST_F(RecentContactsTest,
       DeletingTheSelectedContactTakesItOutForGoodAndTheNextAccountStartsEmpty) {
    ASSERT_NO_FATAL_FAILURE(
        LogInWith("<RECENTIM>" + bob + "||鲍勃;" + carol + "||卡罗尔</RECENTIM>"));
    CIMTree* recent = Recent();
    contacts::CUser* listed = recent->FindUser(bob, "1000,1001", platform::JidMatch::Exact);
    ASSERT_NE(listed, nullptr);
    ASSERT_TRUE(recent->Select(recent->NodeOf(*listed->holder())));
    theWindowManager = manager.get();
    DelRecentContact();
    theWindowManager = nullptr;
    EXPECT_GBK_EQ(Outline(*recent),
                  "最近IM联系人 (0/1)\n  卡罗尔(离线)\n最近手机联系人\n  无数据\n");
    ASSERT_NO_FATAL_FAILURE(LogOutAndIn());
    EXPECT_GBK_EQ(Outline(*Recent()),
                  "最近IM联系人 (0/1)\n  卡罗尔(离线)\n最近手机联系人\n  无数据\n");

    // Carol has no extension: her first chat starts her own list, not the last user's.
    manager->UserLogout();
    world.server().SetRoster(carol, {{me, "Me", "同事"}});
    ASSERT_NO_FATAL_FAILURE(LogInAs("carol"));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    context.doors().contacts->AddRecentContact(me, {});
    EXPECT_GBK_EQ(LastSentExtension(),
                  "<SIGNATURE></SIGNATURE><PHOTO><TYPE></TYPE><BINVAL></BINVAL></PHOTO>"
                  "<RECENTIM>" +
                      me + "||Me</RECENTIM><RECENTSMS></RECENTSMS>");
}

}  // namespace
}  // namespace host_api_test
