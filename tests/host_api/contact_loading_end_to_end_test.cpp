// The main panel's contact trees in the product: made and filled after a login from the
// embedded server, emptied at the session end, and what the exports do with their
// selection.
#include <gtest/gtest.h>

#include "contacts/directory_loader.h"
#include "contacts/im_tree.h"
#include "contacts/main_panel_trees.h"
#include "core/doors.h"
#include "core/user_folder.h"
#include "os/prompt/scripted_prompter.h"
#include "os/services/log.h"
#include "os/services/recording_shell.h"
#include "os/sys/file_ops.h"
#include "platform/session/sim_server.h"
#include "subsystems_fixture.h"
#include "support/doors/recording_libraries.h"
#include "support/doors/recording_web.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

using contacts::CIMTree;

class ContactLoadingTest : public SubsystemsTest {
  protected:
    ContactLoadingTest() {
        platform::SimServer& server = world.server();
        carol = server.AddAccount({.loginName = "carol", .password = "pw", .nickname = "Carol"});
        dave = server.AddAccount({.loginName = "dave", .password = "pw", .nickname = "Dave"});
        server.SetRoster(carol, {{dave, "Dave", "家人"}});
        server.SetPhoneBook(me, {{"13900000001", "张三", "客户"}});
        server.SetDirectory(platform::SimDirectory::Generate(server.HostName(), 2, 2, 2, 3));
    }

    // Logs in through the panel and lets the pump carry every record the login brought.
    void LogIn(const char* login) {
        if (!manager->mainPanel()) {
            ASSERT_NO_FATAL_FAILURE(Init());
        }
        ASSERT_NO_FATAL_FAILURE(LogInAs(login));
        ASSERT_NO_FATAL_FAILURE(Drained());
    }
    void Drained() {
        const platform::SimSessionCore& session = world.simSession();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] {
            return session.QueuedCount() == 0 && session.IssuedCount() == 0;
        }));
    }
    contacts::MainPanelTrees& trees() { return subsystems->mainPanelTrees(); }
    static std::string Outline(const CIMTree& tree) {
        std::string lines;
        tree.ForEachItem([&](os::TreeItem item, int depth) {
            lines += std::string(static_cast<std::size_t>(depth) * 2, ' ') +
                     tree.GetItemText(item) + "\n";
        });
        return lines;
    }
    std::uint32_t PanelHandle() { return manager->MainPanel().value(); }

    std::string carol, dave;
};

TEST_F(ContactLoadingTest, ALoginMakesTheThreeTreesAndFillsThemFromTheServer) {
    ASSERT_NO_FATAL_FAILURE(LogIn("me"));
    CIMTree* roster = manager->mainPanel()->GetControl<CIMTree>(contacts::kRosterTreeId);
    CIMTree* phoneBook = manager->mainPanel()->GetControl<CIMTree>(contacts::kPhoneBookTreeId);
    CIMTree* directory = manager->mainPanel()->GetControl<CIMTree>(contacts::kDirectoryTreeId);
    ASSERT_NE(roster, nullptr);
    ASSERT_NE(phoneBook, nullptr);
    ASSERT_NE(directory, nullptr);
    EXPECT_EQ(subsystems->contactTrees().trees().size(), 3u);
    EXPECT_GBK_EQ(Outline(*roster), "同事 (0/1)\n  Bob(离线)\n");
    EXPECT_GBK_EQ(Outline(*phoneBook), "客户 (0/1)\n  张三\n");
    EXPECT_GBK_EQ(Outline(*directory), "部门u1\n部门u2\n");
    const platform::CallLog& calls = world.simSession().calls();
    EXPECT_EQ(calls.Named("RefreshRoster").at(0).args[0], "2");
    EXPECT_EQ(calls.Named("RefreshTelContactTop").at(0).args[0], "2");
    EXPECT_EQ(calls.Count("RequestGroupOnlineInfo"), 1u);
    EXPECT_EQ(calls.Count("GetServersTime"), 1u);
    EXPECT_EQ(calls.Count("AddBudyGroup"), 0u);

    // Opening a unit: its children come through the user's own directory store.
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    const os::TreeItem unit =
        driver.FindTreeItem(PanelHandle(), contacts::kDirectoryTreeId, "部门u2");
    ASSERT_NE(unit, os::kNoTreeItem) << driver.LastError();
    EXPECT_EQ(contacts::ExpandDirectoryNode(context, *directory, unit, 0, 0),
              contacts::UnitOpen::ChildrenLoaded);
    EXPECT_GBK_EQ(Outline(*directory),
                  "部门u1\n部门u2 (0/3)\n  职员1(离线)\n  职员2(离线)\n  职员3(离线)\n"
                  "  部门u2_1\n  部门u2_2\n");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(commonDir.str()) / "me" / "msg.db"));
}

TEST_F(ContactLoadingTest, AnEmptyRosterAndPhoneBookAskForTheirDefaultGroup) {
    ASSERT_NO_FATAL_FAILURE(LogIn("dave"));
    const platform::CallLog& calls = world.simSession().calls();
    ASSERT_EQ(calls.Count("AddBudyGroup"), 1u);
    EXPECT_GBK_EQ(calls.Named("AddBudyGroup")[0].args[0], "未分组");
    EXPECT_GBK_EQ(calls.Named("AddBudyGroup")[0].args[1], "未分组");
    EXPECT_GBK_EQ(calls.Named("AddBudyGroup")[0].args[2], "我的好友");
    ASSERT_EQ(calls.Count("AddTelGroup"), 1u);
    EXPECT_GBK_EQ(calls.Named("AddTelGroup")[0].args[2], "电话簿");
}

TEST_F(ContactLoadingTest, AfterALogOutTheNextAccountSeesOnlyItsOwnContacts) {
    ASSERT_NO_FATAL_FAILURE(LogIn("me"));
    ASSERT_NE(trees().roster()->FindUser(bob, "", platform::JidMatch::Exact), nullptr);
    manager->UserLogout();
    EXPECT_EQ(trees().roster()->ItemDataCount(), 0u);
    EXPECT_EQ(trees().directory()->GetCount(), 0);

    ASSERT_NO_FATAL_FAILURE(LogIn("carol"));
    CIMTree* roster = trees().roster();
    EXPECT_EQ(roster->FindUser(bob, "", platform::JidMatch::Exact), nullptr)
        << "the last account's contact is gone";
    EXPECT_GBK_EQ(Outline(*roster), "家人 (0/1)\n  Dave(离线)\n");
    // Carol's phone book is empty: none of the last account's numbers, only the default
    // group its emptiness asked the server for, which the server's push put in place.
    EXPECT_GBK_EQ(Outline(*trees().phoneBook()), "未分组\n");
    EXPECT_EQ(trees().phoneBook()->FindUser("13900000001@sms." + world.server().HostName(), "",
                                            platform::JidMatch::Exact),
              nullptr);
    EXPECT_GBK_EQ(Outline(*trees().directory()), "部门u1\n部门u2\n");
}

TEST_F(ContactLoadingTest, TheNextLoginReadsTheBuddyListFromItsCacheAndAsksWhetherItIsCurrent) {
    ASSERT_NO_FATAL_FAILURE(LogIn("me"));
    manager->UserLogout();  // writes the caches
    world.simSession().calls().Clear();

    ASSERT_NO_FATAL_FAILURE(LogIn("me"));
    const platform::CallLog& calls = world.simSession().calls();
    EXPECT_EQ(calls.Count("RefreshRoster"), 0u);
    const auto checks = calls.Named("CheckCacheTimeVersion");
    ASSERT_GE(checks.size(), 1u);
    EXPECT_EQ(checks[0].args[0], me);
    EXPECT_EQ(checks[0].args[1], "jabber:iq:roster");
    EXPECT_GBK_EQ(Outline(*trees().roster()), "同事 (0/1)\n  Bob(离线)\n");
}

TEST_F(ContactLoadingTest, ABrokenBuddyListCacheIsDroppedAndTheRosterFetchedOnce) {
    const std::string folder = core::UserFolder(commonDir.str(), "me").value();
    ASSERT_TRUE(os::CreateDirectories(folder));
    ASSERT_TRUE(os::WriteFileAtomically(folder + "我的好友.tree", "not a cache"));
    ASSERT_NO_FATAL_FAILURE(LogIn("me"));
    EXPECT_EQ(world.simSession().calls().Count("RefreshRoster"), 1u);
    EXPECT_FALSE(os::FileExists(folder + "我的好友.tree"));
    EXPECT_GBK_EQ(Outline(*trees().roster()), "同事 (0/1)\n  Bob(离线)\n");
}

// Two trees with a user selected: what the exports act on is the tree a person clicked last.
class FocusedTreeTest : public ContactLoadingTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(LogIn("me"));
        context.doors().libraries.Plug(libraries);
        qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
        bobNode = driver.FindTreeItem(PanelHandle(), contacts::kRosterTreeId, "Bob(离线)");
        clientNode = driver.FindTreeItem(PanelHandle(), contacts::kPhoneBookTreeId, "张三");
        ASSERT_NE(bobNode, 0u);
        ASSERT_NE(clientNode, 0u);
        contacts::CUser* bobUser = trees().roster()->UserOf(bobNode);
        bobUser->EditDetails().mail = "bob@mail.test";
        bobUser->EditDetails().mobile = "13700000000";
        trees().phoneBook()->UserOf(clientNode)->EditDetails().mail = "zhang@mail.test";
        // The phone book is clicked first, the buddy list last...
        ASSERT_TRUE(driver.SelectTreeItem(PanelHandle(), contacts::kPhoneBookTreeId, clientNode));
        ASSERT_TRUE(driver.SelectTreeItem(PanelHandle(), contacts::kRosterTreeId, bobNode));
        // ...then the phone book again, which keeps its selection.
        ASSERT_TRUE(driver.SelectTreeItem(PanelHandle(), contacts::kPhoneBookTreeId, clientNode));
    }
    void TearDown() override { context.doors().libraries.Unplug(); }

    testing_support::RecordingLibraries libraries;
    os::TreeItem bobNode = 0, clientNode = 0;
};

TEST_F(FocusedTreeTest, TheExportsActOnTheFocusedTreesSelection) {
    const std::string client = "13900000001@sms." + world.server().HostName();
    EXPECT_EQ(manager->GetCurSelUserTel().mobile, "");

    manager->CallContactMail();
    ASSERT_FALSE(world.shell().Requests().empty());
    EXPECT_EQ(world.shell().Requests().back().file, "mailto:zhang@mail.test");

    world.prompter().AnswerMessageBox(os::IDOK);
    manager->CallPhone(1);
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_GBK_EQ(boxes[0].text, "张三 的手机信息为空,不能拨打手机.");
    EXPECT_TRUE(libraries.dialled.empty());

    manager->CallUserChat();
    EXPECT_NE(manager->FindChatWindow(client, platform::JidMatch::Exact), nullptr);
    EXPECT_EQ(manager->FindChatWindow(bob, platform::JidMatch::Exact), nullptr);

    // Back to the buddy list: Bob.
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    ASSERT_TRUE(driver.SelectTreeItem(PanelHandle(), contacts::kRosterTreeId, bobNode));
    EXPECT_EQ(manager->GetCurSelUserTel().mobile, "13700000000");
    manager->CallPhone(1);
    EXPECT_EQ(libraries.dialled, (std::vector<std::string>{"13700000000"}));
}

TEST_F(ContactLoadingTest, TheSelectedGroupsSortPlanIsSetReadAndApplied) {
    world.server().SetRoster(me, {{"zed@h", "Zed", "同事"}, {"amy@h", "Amy", "同事"}});
    ASSERT_NO_FATAL_FAILURE(LogIn("me"));
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    const os::TreeItem group =
        driver.FindTreeItem(PanelHandle(), contacts::kRosterTreeId, "同事 (0/2)");
    ASSERT_NE(group, 0u) << driver.LastError();
    EXPECT_EQ(manager->contactTrees(), &subsystems->contactTrees());
    EXPECT_EQ(context.doors().contacts->GetGroupSortPlan(), 0) << "nothing selected";
    ASSERT_TRUE(driver.SelectTreeItem(PanelHandle(), contacts::kRosterTreeId, group));
    EXPECT_EQ(context.doors().contacts->GetGroupSortPlan(), 0);
    EXPECT_GBK_EQ(Outline(*trees().roster()), "同事 (0/2)\n  Zed(离线)\n  Amy(离线)\n");

    context.doors().contacts->SetGroupSortPlan(contacts::kSortByName);
    EXPECT_EQ(context.doors().contacts->GetGroupSortPlan(), contacts::kSortByName);
    EXPECT_GBK_EQ(Outline(*trees().roster()), "同事 (0/2)\n  Amy(离线)\n  Zed(离线)\n");

    // A user selected: no group, no plan, and setting one changes nothing.
    ASSERT_TRUE(driver.SelectTreeItem(PanelHandle(), contacts::kRosterTreeId,
                                      trees().roster()->GetChild(group)));
    EXPECT_EQ(context.doors().contacts->GetGroupSortPlan(), 0);
    context.doors().contacts->SetGroupSortPlan(0);
    EXPECT_EQ(trees().roster()->GroupOf(group)->childSortMode, contacts::kSortByName);
}

TEST_F(ContactLoadingTest, TheBatchMailFormCarriesTheSelectedGroupsAddresses) {
    world.server().SetRoster(
        me, {{"zed@h", "Zed", "同事"}, {"amy@h", "Amy", "同事"}, {"nomail@h", "NoMail", "同事"}});
    ASSERT_NO_FATAL_FAILURE(LogIn("me"));
    testing_support::RecordingWeb web;
    context.doors().web.Plug(web);
    CIMTree& roster = *trees().roster();
    roster.FindUser("zed@h", "", platform::JidMatch::Exact)->EditDetails().mail = "zed@mail.test";
    roster.FindUser("amy@h", "", platform::JidMatch::Exact)->EditDetails().mail = "amy@mail.test";
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    ASSERT_TRUE(driver.SelectTreeItem(PanelHandle(), contacts::kRosterTreeId, roster.GetRoot()));

    manager->ShowBatchMailWindow();
    context.doors().web.Unplug();
    ASSERT_EQ(web.forms.size(), 1u);
    const std::string& body = web.forms[0].second;
    const std::string tail = "sendto%3Dzed@mail.test,amy@mail.test";
    ASSERT_GE(body.size(), tail.size());
    EXPECT_EQ(body.substr(body.size() - tail.size()), tail) << body;
}

}  // namespace
}  // namespace host_api_test
