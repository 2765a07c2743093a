// Finding windows, the foreground window, hot keys and atoms.

#include <gtest/gtest.h>

#include <thread>

#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "support/windows/recording_window.h"

namespace {

using namespace os;
using testing_support::RecordingWindow;

class FindTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(system.RegisterClass("KESTRAL_IM_CHATWND"));
        ASSERT_TRUE(system.RegisterClass("KESTRAL_IM_ROOMWND"));
        ASSERT_TRUE(settings.CreateTopLevel("系统设置"));
        ASSERT_TRUE(chat.CreateTopLevel("张三", "KESTRAL_IM_CHATWND"));
        ASSERT_TRUE(room.CreateTopLevel("张三", "KESTRAL_IM_ROOMWND"));
        ASSERT_TRUE(child.CreateChild(settings.hwnd(), "子窗口"));
    }

    ManualClock clock;
    WindowSystem system{clock};
    RecordingWindow settings{system};
    RecordingWindow chat{system};
    RecordingWindow room{system};
    RecordingWindow child{system};
};

struct FindCase {
    const char* name;
    const char* className;
    const char* title;
    int expected;  // 0 none, 1 settings, 2 chat, 3 room
};

class FindWindowTest : public FindTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindWindowTest, MatchesClassAndTitle) {
    HWND expected[] = {HWND(), settings.hwnd(), chat.hwnd(), room.hwnd()};
    EXPECT_EQ(system.FindWindow(GetParam().className, GetParam().title),
              expected[GetParam().expected]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindWindowTest,
    ::testing::Values(FindCase{"ByTitle", "", "系统设置", 1},
                      FindCase{"ByClass", "KESTRAL_IM_ROOMWND", "", 3},
                      FindCase{"ClassIgnoresCase", "kestral_im_chatwnd", "", 2},
                      FindCase{"BothMustMatch", "KESTRAL_IM_ROOMWND", "张三", 3},
                      FindCase{"FirstInCreationOrder", "", "张三", 2},
                      FindCase{"AnyIsTheFirst", "", "", 1}, FindCase{"TitleIsExact", "", "系统", 0},
                      FindCase{"ChildrenAreNotTopLevel", "", "子窗口", 0},
                      FindCase{"UnknownClass", "NOPE", "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FindTest, DestroyedWindowsAreNotFound) {
    ASSERT_TRUE(chat.DestroyWindow());
    EXPECT_EQ(system.FindWindow("", "张三"), room.hwnd());
}

TEST_F(FindTest, EnumWindowsListsTopLevelInCreationOrderAndStopsOnFalse) {
    std::vector<HWND> all;
    system.EnumWindows([&](HWND h) {
        all.push_back(h);
        return true;
    });
    EXPECT_EQ(all, (std::vector<HWND>{settings.hwnd(), chat.hwnd(), room.hwnd()}));

    std::vector<HWND> firstTwo;
    system.EnumWindows([&](HWND h) {
        firstTwo.push_back(h);
        return firstTwo.size() < 2;
    });
    EXPECT_EQ(firstTwo.size(), 2u);

    // The callback may destroy windows (closing dialogs by title is done this way).
    system.EnumWindows([&](HWND h) {
        if (system.GetWindowText(h) == "张三") system.SendMessage(h, WM_CLOSE);
        return true;
    });
    EXPECT_FALSE(chat.IsWindow());
    EXPECT_FALSE(room.IsWindow());
    EXPECT_TRUE(settings.IsWindow());

    std::vector<HWND> children;
    system.EnumChildWindows(settings.hwnd(), [&](HWND h) {
        children.push_back(h);
        return true;
    });
    EXPECT_EQ(children, std::vector<HWND>{child.hwnd()});
}

TEST_F(FindTest, ProcessAndThreadOfAWindow) {
    ThreadQueueId queue = 0;
    EXPECT_EQ(system.GetWindowThreadProcessId(chat.hwnd(), &queue), system.processId());
    EXPECT_EQ(queue, system.CurrentThreadQueueId());
    EXPECT_EQ(system.GetWindowThreadProcessId(HWND(777), &queue), 0u);
    EXPECT_EQ(queue, 0u);

    RecordingWindow foreign(system);
    Window::CreateParams params;
    params.className = "KESTRAL_IM_ROOMWND";
    params.processId = system.processId() + 1;
    ASSERT_TRUE(foreign.Create(params));
    EXPECT_NE(system.GetWindowThreadProcessId(foreign.hwnd()), system.processId());
}

TEST_F(FindTest, ForegroundIsTheTopLevelAncestorAndClearsWhenDestroyed) {
    EXPECT_EQ(system.GetForegroundWindow(), HWND());
    ASSERT_TRUE(system.SetForegroundWindow(child.hwnd()));
    EXPECT_EQ(system.GetForegroundWindow(), settings.hwnd());
    ASSERT_TRUE(system.SetForegroundWindow(chat.hwnd()));
    EXPECT_EQ(system.GetForegroundWindow(), chat.hwnd());
    EXPECT_FALSE(system.SetForegroundWindow(HWND(777)));
    EXPECT_EQ(system.GetForegroundWindow(), chat.hwnd());
    chat.DestroyWindow();
    EXPECT_EQ(system.GetForegroundWindow(), HWND());
}

TEST_F(FindTest, HotKeysCollideOnTheKeyCombinationWhoeverRegistered) {
    const UINT ctrlAlt = MOD_CONTROL | MOD_ALT;
    ASSERT_TRUE(system.RegisterHotKey(settings.hwnd(), 1, ctrlAlt, 'X'));
    EXPECT_FALSE(system.RegisterHotKey(chat.hwnd(), 7, ctrlAlt, 'X')) << "taken by another window";
    EXPECT_FALSE(system.RegisterHotKey(settings.hwnd(), 1, ctrlAlt, 'Y')) << "id already used";
    EXPECT_FALSE(system.RegisterHotKey(settings.hwnd(), 2, ctrlAlt | MOD_NOREPEAT, 'X'))
        << "MOD_NOREPEAT does not make another combination";
    EXPECT_TRUE(system.RegisterHotKey(chat.hwnd(), 7, MOD_CONTROL, 'X'));
    EXPECT_FALSE(system.RegisterHotKey(HWND(777), 3, MOD_SHIFT, 'X')) << "no such window";
    EXPECT_FALSE(system.RegisterHotKey(settings.hwnd(), 4, MOD_SHIFT, 0)) << "no key";

    EXPECT_TRUE(system.PressHotKey(ctrlAlt, 'X'));
    EXPECT_FALSE(system.PressHotKey(MOD_ALT, 'X'));
    system.PumpPending();
    auto hotKeys = settings.WParamsOf(WM_HOTKEY);
    ASSERT_EQ(hotKeys.size(), 1u);
    EXPECT_EQ(hotKeys[0], 1u);
    EXPECT_EQ(LOWORD(settings.seen.back().lParam), ctrlAlt);
    EXPECT_EQ(HIWORD(settings.seen.back().lParam), 'X');

    EXPECT_TRUE(system.UnregisterHotKey(settings.hwnd(), 1));
    EXPECT_FALSE(system.UnregisterHotKey(settings.hwnd(), 1));
    EXPECT_TRUE(system.RegisterHotKey(room.hwnd(), 1, ctrlAlt, 'X')) << "free again";
    room.DestroyWindow();
    EXPECT_FALSE(system.PressHotKey(ctrlAlt, 'X')) << "released with its window";
    EXPECT_TRUE(system.RegisterHotKey(chat.hwnd(), 8, ctrlAlt, 'X'));
}

TEST_F(FindTest, AThreadHotKeyReachesTheThreadMessageHandler) {
    std::vector<Msg> threadMessages;
    system.SetThreadMessageHandler([&](const Msg& m) { threadMessages.push_back(m); });
    ASSERT_TRUE(system.RegisterHotKey(HWND(), 5, MOD_SHIFT, VK_F2));
    ASSERT_TRUE(system.PressHotKey(MOD_SHIFT, VK_F2));
    system.PumpPending();
    ASSERT_EQ(threadMessages.size(), 1u);
    EXPECT_EQ(threadMessages[0].message, WM_HOTKEY);
    EXPECT_EQ(threadMessages[0].wParam, 5u);
    EXPECT_TRUE(system.UnregisterHotKey(HWND(), 5));
}

TEST_F(FindTest, AtomsAreCountedAndNamedWithoutCase) {
    ATOM atom = system.GlobalAddAtom("Pick Message Key");
    EXPECT_GE(atom, 0xC000);
    EXPECT_EQ(system.GlobalAddAtom("pick message key"), atom);
    EXPECT_EQ(system.GlobalFindAtom("PICK MESSAGE KEY"), atom);
    EXPECT_EQ(system.GlobalGetAtomName(atom), "Pick Message Key");
    ATOM other = system.GlobalAddAtom("其他");
    EXPECT_NE(other, atom);
    EXPECT_EQ(system.GlobalAddAtom(""), 0);

    EXPECT_TRUE(system.GlobalDeleteAtom(atom));
    EXPECT_EQ(system.GlobalFindAtom("Pick Message Key"), atom) << "one reference left";
    EXPECT_TRUE(system.GlobalDeleteAtom(atom));
    EXPECT_EQ(system.GlobalFindAtom("Pick Message Key"), 0);
    EXPECT_FALSE(system.GlobalDeleteAtom(atom));
    EXPECT_EQ(system.GlobalAddAtom("again"), atom) << "a freed value is used again";
}

TEST(NameCompareTest, GbkTrailBytesAreNotFoldedAsLetters) {
    // 0x81 0x41 and 0x81 0x61 are two different GBK characters whose trail bytes happen to
    // be 'A' and 'a'.
    ManualClock clock;
    WindowSystem system(clock);
    const std::string upper = "\x81\x41";
    const std::string lower = "\x81\x61";
    ASSERT_TRUE(system.RegisterClass(upper));
    EXPECT_FALSE(system.IsClassRegistered(lower));
    EXPECT_TRUE(system.RegisterClass(lower));
}

}  // namespace
