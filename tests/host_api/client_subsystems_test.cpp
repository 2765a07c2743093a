// The client's subsystems plugged into the window manager: notifications from the embedded
// server travel through the real pump to the contact trees, the window manager and the
// incoming-message handling.

#include <gtest/gtest.h>

#include "core/doors.h"
#include "core/doors/contact_service.h"
#include "notify/routes/notification_handlers.h"
#include "notify/routes/ui_subcodes.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"
#include "support/require.h"

namespace host_api_test {
namespace {

using ClientSubsystemsTest = SubsystemsTest;

TEST_F(ClientSubsystemsTest, PlugsThePumpInAndTakesItOutAgain) {
    core::Doors& doors = context.doors();
    EXPECT_EQ(&*doors.pump, &subsystems->baseProxy());
    EXPECT_TRUE(doors.contacts.plugged());
    EXPECT_EQ(&*doors.shell, &subsystems->mainWindowShell());
    EXPECT_EQ(&*doors.history, &subsystems->messageManager());
    EXPECT_EQ(manager->contactTrees(), &subsystems->contactTrees());
    manager->FreeWindows();
    subsystems.reset();
    EXPECT_FALSE(doors.pump.plugged());
    EXPECT_FALSE(doors.contacts.plugged());
    EXPECT_FALSE(doors.shell.plugged());
    EXPECT_FALSE(doors.history.plugged());
    EXPECT_EQ(manager->contactTrees(), nullptr);
}

TEST_F(ClientSubsystemsTest, EachSubsystemRegistersItsNotificationHandlersWhileItLives) {
    using notify::Side;
    notify::NotificationHandlers& handlers = subsystems->notificationHandlers();
    struct Case {
        const char* owner;
        std::vector<std::uint32_t> types;
        Side side;
    };
    const Case registered[] = {
        {"login panel", {0}, Side::Ui},
        {"contact trees", {16, 18, 19, 20, 21, 22, 24, 39}, Side::Ui},
        {"window manager", {38, 41, 103}, Side::Ui},
        {"window manager", {25, 38, 43, 86, 87, 88, 89, 90, 91}, Side::Direct},
        {"chat windows", {42}, Side::Direct},
        {"chat windows", {26, 27, 28, 29, 30, 31, 32, 104}, Side::Ui},
        {"conference centre", {47, 49, 50, 52, 53, 54, 55, 60, 61}, Side::Direct},
        {"pump", {1, 17}, Side::Direct},
        {"pump", {11, 12, 13, 14, 15, 51, 101}, Side::Ui},
        {"updates", {2}, Side::Copy},
    };
    for (const Case& c : registered) {
        for (std::uint32_t type : c.types) {
            EXPECT_TRUE(handlers.Has(type, c.side)) << c.owner << " " << type;
        }
    }
    for (int subcode : {notify::ui::kStatusTip, notify::ui::kFriendRequest, notify::ui::kArrivalTip,
                        notify::ui::kOpenChatAtOnce, notify::ui::kSystemMessageBox,
                        notify::ui::kBroadcastMessageBox}) {
        EXPECT_TRUE(handlers.HasSubcode(subcode)) << subcode;
    }
    // Parts of subsystems this client does not have yet stay without a handler.
    EXPECT_FALSE(handlers.Has(16, Side::ServiceDesk));
    EXPECT_FALSE(handlers.Has(92, Side::Direct));

    // Nothing keeps the registry once the subsystems are gone.
    const std::weak_ptr<notify::NotificationHandlers> registry = handlers.weak_from_this();
    manager->FreeWindows();
    subsystems.reset();
    EXPECT_TRUE(registry.expired());
}

// A handler registered for a part its code's route does not have (or a second one) is
// refused and never runs: the notice it waits for would be lost without a trace.
TEST_F(ClientSubsystemsTest, NoSubsystemRegistersAHandlerThatIsRefused) {
    ASSERT_NO_FATAL_FAILURE(Init());
    const std::vector<std::string> lines = world.log().CapturedTexts();
    ASSERT_FALSE(lines.empty());  // the start-up was logged where this looks
    for (const std::string& line : lines) {
        const bool refusal = os::Find(line, "handler for ") >= 0 && os::Find(line, " refused") >= 0;
        EXPECT_FALSE(refusal) << testing_support::DisplayGbk(line);
    }
}

TEST_F(ClientSubsystemsTest, TheStartUpLogNamesOnlyTheDoorsLeftUnplugged) {
    ASSERT_NO_FATAL_FAILURE(Init());
    const auto logged = [&](const char* door) {
        return world.log().HasCaptured(std::string("door \"") + door + "\" is not plugged in");
    };
    EXPECT_FALSE(logged("notification pump"));
    EXPECT_FALSE(logged("contacts"));
    EXPECT_FALSE(logged("shake memory"));
    EXPECT_FALSE(logged("user settings"));
    EXPECT_FALSE(logged("chat settings"));
    EXPECT_FALSE(logged("main window shell"));
    EXPECT_FALSE(logged("message history"));
    EXPECT_FALSE(logged("web pages"));
    EXPECT_TRUE(world.log().HasCaptured(
        "CWindowManager::InitWindows: door \"main window panes\" is not plugged in: it waits for "
        "the tool bar, channel tabs and panes of the main window"));
    EXPECT_FALSE(logged("rooms"));
    EXPECT_TRUE(logged("chat commands"));
}

TEST_F(ClientSubsystemsTest, TheChannelListAfterLoginSwitchesToTheMainPanel) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    EXPECT_TRUE(subsystems->baseProxy().ThreadRunning());
    EXPECT_TRUE(manager->IsLoggedIn());
    EXPECT_FALSE(world.windows().IsWindowVisible(manager->LoginPanel()));
}

TEST_F(ClientSubsystemsTest, AContactComingOnlineChangesTheTreeAndShowsATip) {
    context.config.BuddyStatusNotify = 1;
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    ASSERT_EQ(bobInTree->presence(), "offline");
    const int onlineBefore = tree->GroupOf(groupNode)->OnlineCount();

    remote = Remote("bob");
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));

    EXPECT_EQ(tree->GroupOf(groupNode)->OnlineCount(), onlineBefore + 1);
    const os::TreeItem node = tree->FindUserNode(groupNode, bob);
    EXPECT_EQ(tree->GetItemText(node), tree->UserNodeText(*bobInTree));
    EXPECT_EQ(tree->GetItemImage(node).image, tree->UserNodeImage(*bobInTree));
    ASSERT_TRUE(PumpUntil(world.windows(),
                          [&] { return !world.tips().CallsNamed("ShowStatusTip").empty(); }));
    EXPECT_GBK_EQ(world.tips().TipTexts().back(), "Bob 刚登录");
}

TEST_F(ClientSubsystemsTest, AVcardReachesTheUsersOfThatJid) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    platform::SlotData slots;
    slots.slots.resize(32);
    slots.slots[0] = bob;
    slots.slots[1] = "Bob";
    slots.slots[2] = "13900000000";
    slots.slots[31] = "<SIGNATURE>忙</SIGNATURE>";
    world.simSession().Inject(platform::MakeNotify(platform::notify_type::kVcard, slots));
    ASSERT_TRUE(
        PumpUntil(world.windows(), [&] { return bobInTree->details().mobile == "13900000000"; }));
    EXPECT_GBK_EQ(bobInTree->details().signature.view(), "忙");
}

TEST_F(ClientSubsystemsTest, AVcardNameThatDiffersFromTheTreeIsReportedToTheWindowManager) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    tree->options.nameCheck = true;
    platform::SlotData slots;
    slots.slots.resize(32);
    slots.slots[0] = bob;
    slots.slots[1] = "鲍勃";
    slots.slots[2] = "13900000000";
    world.simSession().Inject(platform::MakeNotify(platform::notify_type::kVcard, slots));
    ASSERT_TRUE(
        PumpUntil(world.windows(), [&] { return bobInTree->details().mobile == "13900000000"; }));
    EXPECT_TRUE(world.log().HasCaptured(os::Format(
        "CWindowManager::OnContactNameDiffers: %s 的名片姓名为 \"鲍勃\" (联系人树 buddy)",
        bob.c_str())));
    EXPECT_EQ(tree->hotItem, bobInTree->treeItem);
    EXPECT_GBK_EQ(bobInTree->name, "Bob");  // the tree keeps its name
}

// Bob is shown in "同事" and, as a copy, in "小组" inside "项目": every group counts him, by
// whichever path his presence changes.
TEST_F(ClientSubsystemsTest, APresenceReachesEveryCopyAndEveryAncestorCount) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    auto projectItem = contacts::CIMTreeItemData::ForGroup(
        std::make_unique<contacts::CGroup>("g2", "项目", "", "top,g2"));
    const os::TreeItem project = tree->InsertGroupItem(
        testing_support::Require(tree->AddItemData(projectItem), "project")->group(), os::kTreeRoot,
        os::kTreeLast);
    auto teamItem = contacts::CIMTreeItemData::ForGroup(
        std::make_unique<contacts::CGroup>("g3", "小组", "g2", "top,g2,g3"));
    const os::TreeItem team = tree->InsertGroupItem(
        testing_support::Require(tree->AddItemData(teamItem), "team")->group(), project,
        os::kTreeLast);
    auto copyItem =
        contacts::CIMTreeItemData::ForUser(std::make_unique<contacts::CUser>(*bobInTree));
    copyItem->user()->groupKey = "top,g2,g3";
    contacts::CUser* bobInTeam =
        testing_support::Require(tree->AddItemData(copyItem), "copy")->user();
    ASSERT_NE(tree->InsertUserItem(bobInTeam, team, os::kTreeLast), os::kNoTreeItem);
    const auto titles = [&] {
        return std::vector<std::string>{tree->GetItemText(groupNode), tree->GetItemText(project),
                                        tree->GetItemText(team)};
    };
    ASSERT_EQ(titles(), (std::vector<std::string>{"同事 (0/1)", "项目 (0/1)", "小组 (0/1)"}));

    remote = Remote("bob");  // through the server, the pump and the trees
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTeam->presence() == "online"; }));
    EXPECT_EQ(bobInTree->presence(), "online");
    EXPECT_EQ(titles(), (std::vector<std::string>{"同事 (1/1)", "项目 (1/1)", "小组 (1/1)"}));

    bobInTeam->SetPresence("offline");  // on the user itself, as a cache save does
    EXPECT_EQ(titles(), (std::vector<std::string>{"同事 (1/1)", "项目 (0/1)", "小组 (0/1)"}));
    EXPECT_EQ(tree->GetItemText(bobInTeam->treeItem), tree->UserNodeText(*bobInTeam));

    remote.reset();  // Bob leaves: the copy still online in the tree goes offline too
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "offline"; }));
    EXPECT_EQ(titles(), (std::vector<std::string>{"同事 (0/1)", "项目 (0/1)", "小组 (0/1)"}));
}

TEST_F(ClientSubsystemsTest, ARequestFromAContactAlreadySeenIsConfirmedQuietly) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    bobInTree->subscription = "to";
    world.server().SetRoster(bob, {});  // Bob does not list me yet: his request goes out
    remote = Remote("bob");
    const auto confirmsBefore = world.simSession().calls().Named("ConfirmSubscribe").size();
    ASSERT_EQ(remote->AddContact(me, "Me", "同事"), 1);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return world.simSession().calls().Named("ConfirmSubscribe").size() > confirmsBefore;
    }));
}

TEST_F(ClientSubsystemsTest, AnSmsFromTheHostIsAnnounced) {
    context.config.MessageArrivedTipType = 1;
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    manager->ReceiveSMSMsg("13800000000@sms", "短信内容", "2026-12-10 09:00:00", "张三");
    const auto pending = manager->PendingMessages().Snapshot();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].from, "13800000000@sms." + world.server().HostName() + "/PC");
    EXPECT_GBK_EQ(pending[0].content, "短信内容");
}

TEST_F(ClientSubsystemsTest, TheExportsReadTheSelectedContact) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    EXPECT_FALSE(context.doors().contacts->Selection().has_value());
    bobInTree->EditDetails().mobile = "13900000000";
    ASSERT_TRUE(tree->Select(tree->FindUserNode(groupNode, bob)));
    EXPECT_EQ(manager->GetCurSelUserTel().mobile, "13900000000");

    manager->CallUserChat();
    EXPECT_NE(manager->FindChatWindow(bob, platform::JidMatch::Exact), nullptr);

    ASSERT_TRUE(tree->Select(groupNode));
    const auto group = context.doors().contacts->Selection();
    ASSERT_TRUE(group.has_value());
    EXPECT_EQ(group->kind, core::ContactSelection::Kind::Group);
    EXPECT_GBK_EQ(group->name, "同事");
}

}  // namespace
}  // namespace host_api_test
