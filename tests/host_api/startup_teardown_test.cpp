// InitWindows and FreeWindows: the order of their steps and what each leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "config/client_config.h"
#include "core/doors.h"
#include "core/window_messages.h"
#include "login/dlg_login.h"
#include "manager_fixture.h"
#include "notify/wnd_child.h"
#include "os/services/log.h"
#include "os/sys/named_objects.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"
#include "platform/services/shared_util.h"
#include "support/doors/recording_rooms.h"

namespace host_api_test {
namespace {

using ::testing::ElementsAre;

TEST_F(ManagerTest, StartUpRunsItsStepsInOrder) {
    ASSERT_NO_FATAL_FAILURE(Init(/*keepSteps=*/true));
    EXPECT_THAT(
        Steps(),
        ElementsAre("InitCom", "ApplyPendingFileUpdates", "CheckProgramUpdate", "TakeServerIndex",
                    "LoadConfig", "SetAutoRun", "RegisterWindowClasses", "InstallMessageHook",
                    "OpenSharedBlock", "ParseStartParameters", "InitTipManager", "CreatePanels",
                    "InitNotificationPump", "InitToolTip", "RegisterPickHotKey",
                    "InitFeatureCallbacks", "InitConferenceCentre", "CreateCacheFolder",
                    "LoadPlugin", "BeginLoginPanel", "CreateSessionObject"));
}

TEST_F(ManagerTest, StartUpNamesEveryUnpluggedDoorAndTheSubsystemItWaitsFor) {
    struct Expected {
        const char* door;
        const char* waitsFor;  // empty: the subsystem exists, so the line says no more
    };
    const Expected unplugged[] = {
        {"notification pump", ""},
        {"contacts", ""},
        {"rooms", "the conference centre"},
        {"message history", ""},
        {"batch composer", "the batch message and SMS composer"},
        {"user settings", "the user settings and the settings dialog"},
        {"web pages", "the web pages and forms"},
        {"start parameters", "the start parameter parser"},
        {"updates", "the file updates and the program update check"},
        {"main window shell", "the main window shell"},
        {"main window panes", "the tool bar, channel tabs and panes of the main window"},
        {"feature libraries", "the feature libraries"},
        {"reconnect", "the reconnect flow"},
        {"chat settings", "the user settings"},
        {"SMS quota", "the SMS quota"},
        {"chat commands", "screen capture, file transfer and calls"},
    };
    testing_support::RecordingRooms rooms;
    context.doors().rooms.Plug(rooms);
    Init();
    const std::vector<std::string> logged = world.log().CapturedTexts();
    for (const Expected& e : unplugged) {
        std::string line =
            std::string("CWindowManager::InitWindows: door \"") + e.door + "\" is not plugged in";
        if (*e.waitsFor != '\0') line += std::string(": it waits for ") + e.waitsFor;
        const bool found = std::find(logged.begin(), logged.end(), line) != logged.end();
        EXPECT_EQ(found, std::string_view(e.door) != "rooms") << line;
    }
    // The window manager plugs its own shake memory into every chat window.
    EXPECT_FALSE(world.log().HasCaptured("door \"shake memory\""));
    context.doors().rooms.Unplug();
}

TEST_F(ManagerTest, StartUpRefreshesTheAutostartEntryOnlyWhenAutoRunIsOn) {
    ASSERT_NO_FATAL_FAILURE(Init(/*keepSteps=*/true));  // AutoRun is on by default
    EXPECT_TRUE(std::filesystem::exists(commonDir.path() / "xdg/autostart/qorv_DEMO.desktop"));
}

TEST_F(ManagerTest, StartUpWithAutoRunOffLeavesTheAutostartEntryAlone) {
    std::ofstream(commonDir.path() / "config.ini") << "[Common Setting]\r\nAutoRun=0\r\n";
    ASSERT_NO_FATAL_FAILURE(Init(/*keepSteps=*/true));
    EXPECT_FALSE(Traced("SetAutoRun"));
    EXPECT_FALSE(std::filesystem::exists(commonDir.path() / "xdg/autostart"));
}

TEST_F(ManagerTest, StartUpLeavesTheLoginPanelShownAndTheMainPanelHidden) {
    ASSERT_NO_FATAL_FAILURE(Init());
    os::WindowSystem& windows = world.windows();
    ASSERT_TRUE(windows.IsWindow(manager->MainPanel()));
    ASSERT_TRUE(windows.IsWindow(manager->LoginPanel()));
    EXPECT_EQ(windows.GetParent(manager->MainPanel()), client.hwnd());
    EXPECT_EQ(windows.GetParent(manager->LoginPanel()), client.hwnd());
    EXPECT_FALSE(windows.IsWindowVisible(manager->MainPanel()));
    EXPECT_TRUE(windows.IsWindowVisible(manager->LoginPanel()));
    EXPECT_EQ(manager->HostMainWnd(), host.hwnd());
    EXPECT_EQ(manager->HostClientWnd(), client.hwnd());
    EXPECT_TRUE(windows.IsClassRegistered(core::kChatWindowClass));
    EXPECT_TRUE(windows.IsClassRegistered(core::kRoomWindowClass));
    EXPECT_TRUE(world.tips().initialised());
    EXPECT_TRUE(std::filesystem::is_directory(commonDir.path() / "cache"));
    EXPECT_EQ(manager->SharedBlock().size(), core::kSharedBlockSize);
    EXPECT_FALSE(manager->IsLoggedIn());
}

TEST_F(ManagerTest, ThePickHotKeyIsCtrlAltXOnTheMainPanel) {
    ASSERT_NO_FATAL_FAILURE(Init());
    os::WindowSystem& windows = world.windows();
    const os::ATOM atom = windows.GlobalFindAtom(core::kPickMessageKeyName);
    ASSERT_NE(atom, 0);
    // A second registration of the same keys fails while ours holds them.
    EXPECT_FALSE(windows.RegisterHotKey(host.hwnd(), 1, os::MOD_CONTROL | os::MOD_ALT, 'X'));
    EXPECT_TRUE(windows.PressHotKey(os::MOD_CONTROL | os::MOD_ALT, 'X'));
    EXPECT_FALSE(world.log().HasCaptured("注册消息提取快捷键失败"));
}

TEST_F(ManagerTest, AHotKeyTakenByAnotherWindowIsLoggedAndStartUpGoesOn) {
    os::Window other(world.windows());
    ASSERT_TRUE(other.Create({}));
    ASSERT_TRUE(
        world.windows().RegisterHotKey(other.hwnd(), 7, os::MOD_CONTROL | os::MOD_ALT, 'X'));
    ASSERT_NO_FATAL_FAILURE(Init(/*keepSteps=*/true));
    EXPECT_TRUE(world.log().HasCaptured("注册消息提取快捷键失败"));
    EXPECT_EQ(Steps().back(), "CreateSessionObject");
}

TEST_F(ManagerTest, TearDownRunsItsStepsInOrder) {
    ASSERT_NO_FATAL_FAILURE(Init());
    manager->FreeWindows();
    EXPECT_THAT(Steps(), ElementsAre("LogEnterFree", "CloseAllWindows(final)", "ReleaseLoginPanel",
                                     "CloseSharedBlock", "FreeNotificationPump", "FreeTipManager",
                                     "SaveConfig", "UnregisterAudio", "UnregisterPickHotKey",
                                     "FreeFeatureLibraries", "StopPlugin"));
    EXPECT_TRUE(world.log().HasCaptured("Enter CWindowManager::Free()"));
}

TEST_F(ManagerTest, TearDownWritesNIntoTheSharedBlockAndLetsTheHotKeyGo) {
    ASSERT_NO_FATAL_FAILURE(Init());
    ASSERT_TRUE(manager->WriteSharedFlag("Y"));
    // Another holder of the block sees what the client leaves in it.
    auto reader = os::SharedMemory::Open(context.namedObjects, core::kSharedBlockName,
                                         core::kSharedBlockSize);
    ASSERT_NE(reader, nullptr);
    EXPECT_STREQ(reader->data(), "Y");

    manager->FreeWindows();
    EXPECT_STREQ(reader->data(), "N");
    EXPECT_TRUE(manager->SharedBlock().empty());
    EXPECT_EQ(world.windows().GlobalFindAtom(core::kPickMessageKeyName), 0);
    EXPECT_FALSE(world.windows().PressHotKey(os::MOD_CONTROL | os::MOD_ALT, 'X'));
    EXPECT_FALSE(world.tips().initialised());
}

TEST_F(ManagerTest, TheServerIndexOfSharedUtilIsTakenAsCurrentAndInitial) {
    ASSERT_NO_FATAL_FAILURE(Init());
    EXPECT_EQ(manager->currentServerIndex(), context.sharedUtil.nServerSel());
    EXPECT_EQ(manager->initialServerIndex(), context.sharedUtil.nServerSel());
}

TEST_F(ManagerTest, RecalcClientSizeResizesBothPanelsWithoutMovingThem) {
    ASSERT_NO_FATAL_FAILURE(Init());
    os::WindowSystem& windows = world.windows();
    windows.MoveWindow(manager->LoginPanel(), os::Rect::FromSize(5, 7, 10, 10));
    manager->RecalcClientSize(640, 480);
    EXPECT_EQ(windows.GetWindowRect(manager->MainPanel()), os::Rect::FromSize(0, 0, 640, 480));
    EXPECT_EQ(windows.GetWindowRect(manager->LoginPanel()), os::Rect::FromSize(5, 7, 640, 480));
}

TEST_F(ManagerTest, RecalcClientSizeSkipsAPanelWithoutAWindow) {
    // Before InitWindows there is no panel at all.
    manager->RecalcClientSize(640, 480);
    ASSERT_NO_FATAL_FAILURE(Init());
    manager->loginPanel()->DestroyWindow();
    manager->RecalcClientSize(320, 200);
    EXPECT_EQ(world.windows().GetWindowRect(manager->MainPanel()),
              os::Rect::FromSize(0, 0, 320, 200));
}

}  // namespace
}  // namespace host_api_test
