// The client's subsystems plugged into the window manager: notifications from the embedded
// server travel through the real pump to the contact trees, the window manager and the
// incoming-message handling.

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "config/client_config.h"
#include "contacts/contact_group.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "core/window_messages.h"
#include "host_api/client_subsystems.h"
#include "login/dlg_login.h"
#include "manager_fixture.h"
#include "notify/wnd_child.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "qorvdesk/automation.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

using contacts::CGroup;
using contacts::CIMTree;
using contacts::CIMTreeItemData;
using contacts::CUser;

class ClientSubsystemsTest : public ManagerTest {
  protected:
    ClientSubsystemsTest() {
        subsystems = std::make_unique<ClientSubsystems>(context, *manager);
        platform::SimServer& server = world.server();
        me = server.AddAccount({.loginName = "me", .password = "pw", .nickname = "我"});
        bob = server.AddAccount({.loginName = "bob", .password = "pw", .nickname = "Bob"});
        server.SetRoster(me, {{bob, "Bob", "同事"}});
        server.SetRoster(bob, {{me, "Me", "同事"}});
    }
    ~ClientSubsystemsTest() override {
        // Whatever the server still sends (Bob leaving, a status answer) goes through the
        // pump first: stopping it mid-send would wait out its time for a UI thread that is
        // busy stopping it.
        remote.reset();
        const platform::SimSessionCore& session = world.simSession();
        PumpUntil([&] { return session.QueuedCount() == 0 && session.IssuedCount() == 0; });
        if (tree != nullptr) subsystems->contactTrees().Remove(*tree);
        manager->FreeWindows();
        subsystems.reset();
    }

    // InitWindows (which starts the pump), a buddy tree on the main panel holding Bob in the
    // group "同事", and the login of "me" on the engine.
    void StartLoggedIn() {
        Init();
        tree = CIMTree::Create(*manager->mainPanel(), context, "buddy", 0, 5001,
                               contacts::ScrollSkin::Plain);
        ASSERT_NE(tree, nullptr);
        tree->topKind = std::string(contacts::kRosterTop);
        auto groupItem = CIMTreeItemData::ForGroup(
            std::make_unique<CGroup>("g1", "同事", "", "top,g1"));
        CIMTreeItemData* group = tree->AddItemData(groupItem);
        ASSERT_NE(group, nullptr);
        groupNode = tree->InsertGroupItem(group->group(), os::kTreeRoot, os::kTreeLast);
        auto userItem = CIMTreeItemData::ForUser(
            std::make_unique<CUser>(world.clock(), bob, "Bob", "g1", "both"));
        userItem->user()->groupKey = "top,g1";
        CIMTreeItemData* user = tree->AddItemData(userItem);
        ASSERT_NE(user, nullptr);
        bobInTree = user->user();
        ASSERT_NE(tree->InsertUserItem(bobInTree, groupNode, os::kTreeLast), os::kNoTreeItem);
        subsystems->contactTrees().Add(*tree);

        // As a person logs in: account, password, the login button.
        qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
        const auto panel = manager->LoginPanel().value();
        ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kAccountId, "me")) << driver.LastError();
        ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kPasswordId, "pw")) << driver.LastError();
        ASSERT_TRUE(driver.Click(panel, CDlgLogin::kLoginButtonId)) << driver.LastError();
        // Logged in with the result; the channel list that follows switches the interface.
        PumpUntil([&] { return world.windows().IsWindowVisible(manager->MainPanel()); });
    }

    std::unique_ptr<platform::SimSessionCore> Remote(const char* login) {
        auto session = std::make_unique<platform::SimSessionCore>(
            std::shared_ptr<platform::SimServer>(std::shared_ptr<platform::SimServer>{},
                                                 &world.server()));
        session->Init(nullptr, nullptr, {});
        EXPECT_EQ(session->Login(login, "pw", 1, "", 0), platform::kLoginAccepted);
        return session;
    }

    // Handles the test thread's messages until `done()` holds: for work the notification
    // thread is doing right now (idle rounds, never the clock, guard against a hang).
    void PumpUntil(const std::function<bool()>& done) {
        long idle = 0;
        while (!done()) {
            if (world.windows().PumpPending() > 0) {
                idle = 0;
                continue;
            }
            if (++idle > 20'000'000) {
                ADD_FAILURE() << "the awaited work never came";
                return;
            }
            std::this_thread::yield();
        }
    }

    std::unique_ptr<ClientSubsystems> subsystems;
    std::string me;
    std::string bob;
    CIMTree* tree = nullptr;
    os::TreeItem groupNode = os::kNoTreeItem;
    CUser* bobInTree = nullptr;
    std::unique_ptr<platform::SimSessionCore> remote;
};

TEST_F(ClientSubsystemsTest, PlugsThePumpInAndTakesItOutAgain) {
    EXPECT_EQ(context.services.pump, &subsystems->baseProxy());
    EXPECT_NE(context.services.contacts, core::Services().contacts);
    EXPECT_EQ(manager->contactTrees(), &subsystems->contactTrees());
    manager->FreeWindows();
    subsystems.reset();
    EXPECT_EQ(context.services.pump, core::Services().pump);
    EXPECT_EQ(context.services.contacts, core::Services().contacts);
    EXPECT_EQ(manager->contactTrees(), nullptr);
}

TEST_F(ClientSubsystemsTest, TheChannelListAfterLoginSwitchesToTheMainPanel) {
    StartLoggedIn();
    EXPECT_TRUE(subsystems->baseProxy().ThreadRunning());
    EXPECT_TRUE(manager->IsLoggedIn());
    EXPECT_FALSE(world.windows().IsWindowVisible(manager->LoginPanel()));
}

TEST_F(ClientSubsystemsTest, AContactComingOnlineChangesTheTreeAndShowsATip) {
    context.config.BuddyStatusNotify = 1;
    StartLoggedIn();
    ASSERT_EQ(bobInTree->presence, "offline");
    const int onlineBefore = tree->GroupOf(groupNode)->OnlineCount();

    remote = Remote("bob");
    PumpUntil([&] { return bobInTree->presence == "online"; });

    EXPECT_EQ(tree->GroupOf(groupNode)->OnlineCount(), onlineBefore + 1);
    const os::TreeItem node = tree->FindUserNode(groupNode, bob);
    EXPECT_EQ(tree->GetItemText(node), tree->UserNodeText(*bobInTree));
    EXPECT_EQ(tree->GetItemImage(node).image, tree->UserNodeImage(*bobInTree));
    PumpUntil([&] { return !world.tips().CallsNamed("ShowStatusTip").empty(); });
    EXPECT_GBK_EQ(world.tips().TipTexts().back(), "Bob 刚登录");
}

TEST_F(ClientSubsystemsTest, AVcardReachesTheUsersOfThatJid) {
    StartLoggedIn();
    platform::SlotData slots;
    slots.slots.resize(32);
    slots.slots[0] = bob;
    slots.slots[1] = "Bob";
    slots.slots[2] = "13900000000";
    slots.slots[31] = "<SIGNATURE>忙</SIGNATURE>";
    world.simSession().Inject(platform::MakeNotify(platform::notify_type::kVcard, slots));
    PumpUntil([&] { return bobInTree->mobile == "13900000000"; });
    EXPECT_GBK_EQ(bobInTree->signature, "忙");
}

TEST_F(ClientSubsystemsTest, ARequestFromAContactAlreadySeenIsConfirmedQuietly) {
    StartLoggedIn();
    bobInTree->subscription = "to";
    world.server().SetRoster(bob, {});  // Bob does not list me yet: his request goes out
    remote = Remote("bob");
    const auto confirmsBefore = world.simSession().calls().Named("ConfirmSubscribe").size();
    ASSERT_EQ(remote->AddContact(me, "Me", "同事"), 1);
    PumpUntil([&] {
        return world.simSession().calls().Named("ConfirmSubscribe").size() > confirmsBefore;
    });
}

TEST_F(ClientSubsystemsTest, AnSmsFromTheHostIsAnnounced) {
    context.config.MessageArrivedTipType = 1;
    StartLoggedIn();
    manager->ReceiveSMSMsg("13800000000@sms", "短信内容", "2026-12-10 09:00:00", "张三");
    const auto pending = manager->PendingMessages().Snapshot();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].from, "13800000000@sms." + world.server().HostName() + "/PC");
    EXPECT_GBK_EQ(pending[0].content, "短信内容");
}

TEST_F(ClientSubsystemsTest, TheExportsReadTheSelectedContact) {
    StartLoggedIn();
    EXPECT_FALSE(context.services.contacts->Selection().has_value());
    bobInTree->mobile = "13900000000";
    ASSERT_TRUE(tree->Select(tree->FindUserNode(groupNode, bob)));
    EXPECT_EQ(manager->GetCurSelUserTel().mobile, "13900000000");

    manager->CallUserChat();
    EXPECT_NE(manager->FindChatWindow(bob, core::JidMatch::Exact), nullptr);

    ASSERT_TRUE(tree->Select(groupNode));
    const auto group = context.services.contacts->Selection();
    ASSERT_TRUE(group.has_value());
    EXPECT_EQ(group->kind, core::ContactSelection::Kind::Group);
    EXPECT_GBK_EQ(group->name, "同事");
}

}  // namespace
}  // namespace host_api_test
