#include "os/ui/window.h"

#include <gtest/gtest.h>

#include <memory>

#include "os/sys/clock.h"
#include "support/windows/recording_window.h"

namespace {

using namespace os;
using testing_support::RecordingWindow;

class WindowTest : public ::testing::Test {
  protected:
    ManualClock clock;
    WindowSystem system{clock};
};

// A control whose notifications a test raises by hand.
class FakeControl : public Control {
  public:
    FakeControl(int id, ControlKind kind = ControlKind::Button) : Control(id, kind) {}
    void Raise(int code, std::int64_t item = 0) { Notify(code, item, "t"); }
};

TEST_F(WindowTest, CreateGivesAHandleAndSendsCreateWithTheParameters) {
    RecordingWindow window(system);
    Window::CreateParams params;
    params.title = "登录";
    params.rect = Rect::FromSize(10, 20, 300, 200);
    params.visible = true;
    ASSERT_TRUE(window.Create(params));

    EXPECT_TRUE(window.IsWindow());
    EXPECT_TRUE(system.IsWindow(window.hwnd()));
    EXPECT_EQ(window.GetWindowText(), "登录");
    EXPECT_EQ(window.GetClassName(), "#32770");
    EXPECT_EQ(window.GetWindowRect(), Rect::FromSize(10, 20, 300, 200));
    EXPECT_TRUE(window.IsWindowVisible());
    EXPECT_TRUE(window.IsWindowEnabled());
    ASSERT_EQ(window.seen.size(), 1u);
    EXPECT_EQ(window.seen[0].message, WM_CREATE);
    EXPECT_EQ(FromLParam<const Window::CreateParams>(window.seen[0].lParam)->title, "登录");
    EXPECT_FALSE(window.Create(params)) << "a window is created once";
}

TEST_F(WindowTest, CreateFailsForUnknownClassMissingParentOrARefusingHandler) {
    RecordingWindow unknownClass(system);
    EXPECT_FALSE(unknownClass.CreateTopLevel("x", "NO_SUCH_CLASS"));
    EXPECT_FALSE(unknownClass.hwnd());

    RecordingWindow orphan(system);
    EXPECT_FALSE(orphan.CreateChild(HWND(12345)));

    bool ncDestroyed = false;
    RecordingWindow refuses(system);
    refuses.script = [](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_CREATE) return -1;
        return std::nullopt;
    };
    refuses.onNcDestroy = [&] { ncDestroyed = true; };
    EXPECT_FALSE(refuses.CreateTopLevel("refuses"));
    EXPECT_FALSE(refuses.IsWindow());
    EXPECT_FALSE(system.IsWindow(refuses.hwnd()));
    EXPECT_FALSE(ncDestroyed);
    EXPECT_FALSE(system.FindWindow("", "refuses"));
}

TEST_F(WindowTest, ClassesRegisterOnceAndCompareWithoutCase) {
    EXPECT_TRUE(system.IsClassRegistered(WindowSystem::kDialogClass));
    EXPECT_TRUE(system.RegisterClass("KESTRAL_IM_CHATWND"));
    EXPECT_FALSE(system.RegisterClass("kestral_im_chatwnd"));
    EXPECT_FALSE(system.RegisterClass(""));
    EXPECT_TRUE(system.IsClassRegistered("Kestral_IM_ChatWnd"));
    EXPECT_FALSE(system.IsClassRegistered("KESTRAL_IM_ROOMWND"));

    RecordingWindow chat(system);
    ASSERT_TRUE(chat.CreateTopLevel("", "KESTRAL_IM_CHATWND"));
    EXPECT_EQ(system.GetClassName(chat.hwnd()), "KESTRAL_IM_CHATWND");
}

TEST_F(WindowTest, DestroyTakesChildrenAndOwnedWindowsFirstThenRetiresTheHandle) {
    std::vector<std::string> journal;
    RecordingWindow parent(system, &journal, "parent");
    RecordingWindow child1(system, &journal, "child1");
    RecordingWindow child2(system, &journal, "child2");
    RecordingWindow grandchild(system, &journal, "grandchild");
    RecordingWindow owned(system, &journal, "owned");
    ASSERT_TRUE(parent.CreateTopLevel("p"));
    ASSERT_TRUE(child1.CreateChild(parent.hwnd()));
    ASSERT_TRUE(child2.CreateChild(parent.hwnd()));
    ASSERT_TRUE(grandchild.CreateChild(child1.hwnd()));
    Window::CreateParams ownedParams;
    ownedParams.owner = parent.hwnd();
    ASSERT_TRUE(owned.Create(ownedParams));
    // During WM_DESTROY the window is still a window.
    bool validDuringDestroy = false;
    parent.script = [&](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_DESTROY) validDuringDestroy = system.IsWindow(parent.hwnd());
        return std::nullopt;
    };
    journal.clear();

    ASSERT_TRUE(parent.DestroyWindow());

    const std::string destroy = std::to_string(WM_DESTROY);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"owned:" + destroy, "owned:ncdestroy",            //
                                        "child2:" + destroy, "child2:ncdestroy",          //
                                        "grandchild:" + destroy, "grandchild:ncdestroy",  //
                                        "child1:" + destroy, "child1:ncdestroy",          //
                                        "parent:" + destroy, "parent:ncdestroy"}));
    EXPECT_TRUE(validDuringDestroy);
    for (HWND h : {parent.hwnd(), child1.hwnd(), child2.hwnd(), grandchild.hwnd(), owned.hwnd()}) {
        EXPECT_FALSE(system.IsWindow(h));
    }
    EXPECT_FALSE(parent.DestroyWindow()) << "already gone";
    EXPECT_FALSE(system.DestroyWindow(HWND(999)));
}

TEST_F(WindowTest, HandlesAreNeverReused) {
    HWND first;
    {
        RecordingWindow w(system);
        ASSERT_TRUE(w.CreateTopLevel());
        first = w.hwnd();
        ASSERT_TRUE(w.DestroyWindow());
    }
    RecordingWindow next(system);
    ASSERT_TRUE(next.CreateTopLevel());
    EXPECT_NE(next.hwnd(), first);
    EXPECT_FALSE(system.IsWindow(first));
    EXPECT_EQ(system.FromHandle(first), nullptr);
    EXPECT_EQ(system.FromHandle(next.hwnd()), &next);
}

// A modeless dialog that deletes itself once destroyed, as MFC dialogs do.
class SelfDeletingDialog : public Window {
  public:
    SelfDeletingDialog(WindowSystem& system, int* deleted) : Window(system), deleted_(deleted) {}
    ~SelfDeletingDialog() override { ++*deleted_; }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER + 1) {
            DestroyWindow();
            // Still safe: deletion waits until this handler returns.
            touchedAfterDestroy_ = 42;
            return touchedAfterDestroy_;
        }
        return Window::OnMessage(message, wParam, lParam);
    }
    void PostNcDestroy() override { delete this; }

  private:
    int* deleted_;
    int touchedAfterDestroy_ = 0;
};

TEST_F(WindowTest, PostNcDestroyMayDeleteTheWindowEvenFromInsideItsOwnHandler) {
    int deleted = 0;
    auto* byClose = new SelfDeletingDialog(system, &deleted);
    ASSERT_TRUE(byClose->Create({}));
    HWND closeHandle = byClose->hwnd();
    EXPECT_EQ(system.SendMessage(closeHandle, WM_CLOSE), 0);
    EXPECT_EQ(deleted, 1);
    EXPECT_FALSE(system.IsWindow(closeHandle));

    auto* byHandler = new SelfDeletingDialog(system, &deleted);
    ASSERT_TRUE(byHandler->Create({}));
    HWND handlerHandle = byHandler->hwnd();
    EXPECT_EQ(system.SendMessage(handlerHandle, WM_USER + 1), 42);
    EXPECT_EQ(deleted, 2);
    EXPECT_FALSE(system.IsWindow(handlerHandle));
}

TEST_F(WindowTest, AnAdoptedWindowIsDeletedAfterItIsDestroyed) {
    int deleted = 0;
    struct Counted : RecordingWindow {
        Counted(WindowSystem& s, int* d) : RecordingWindow(s), deleted(d) {}
        ~Counted() override { ++*deleted; }
        int* deleted;
    };
    auto* window = system.Adopt(std::make_unique<Counted>(system, &deleted));
    ASSERT_TRUE(window->CreateTopLevel("adopted"));
    HWND hwnd = window->hwnd();
    EXPECT_EQ(deleted, 0);
    system.PostMessage(hwnd, WM_CLOSE);
    system.PumpPending();
    EXPECT_EQ(deleted, 1);
    EXPECT_FALSE(system.IsWindow(hwnd));

    // One never destroyed goes with the system.
    {
        int lateDeleted = 0;
        auto owner = std::make_unique<WindowSystem>(clock);
        auto* late = owner->Adopt(std::make_unique<Counted>(*owner, &lateDeleted));
        ASSERT_TRUE(late->CreateTopLevel());
        owner.reset();
        EXPECT_EQ(lateDeleted, 1);
    }
}

TEST_F(WindowTest, DeletingALiveWindowRetiresItAndDestroysItsChildren) {
    std::vector<std::string> journal;
    RecordingWindow child(system, &journal, "child");
    HWND parentHandle;
    {
        RecordingWindow parent(system, &journal, "parent");
        ASSERT_TRUE(parent.CreateTopLevel());
        ASSERT_TRUE(parent.SetTimer(1, 100));
        ASSERT_TRUE(parent.PostMessage(WM_USER));
        ASSERT_TRUE(child.CreateChild(parent.hwnd()));
        parentHandle = parent.hwnd();
        journal.clear();
    }
    EXPECT_FALSE(system.IsWindow(parentHandle));
    EXPECT_FALSE(child.IsWindow());
    // The child got its WM_DESTROY; the deleted parent could not.
    EXPECT_EQ(journal,
              (std::vector<std::string>{"child:" + std::to_string(WM_DESTROY), "child:ncdestroy"}));
    EXPECT_EQ(system.PumpPending(), 0) << "the parent's message was dropped";
    EXPECT_EQ(clock.NextDeadline(), kInfinite) << "its timer is gone too";
    system.AdvanceClock(1000);  // nothing fires into freed memory
}

TEST_F(WindowTest, WindowsOutlivingTheirSystemAreDetached) {
    auto owner = std::make_unique<WindowSystem>(clock);
    RecordingWindow window(*owner);
    ASSERT_TRUE(window.CreateTopLevel());
    owner.reset();
    EXPECT_FALSE(window.IsWindow());
    EXPECT_FALSE(window.PostMessage(WM_USER));
    EXPECT_EQ(window.SendMessage(WM_USER), 0);
}

TEST_F(WindowTest, DefaultHandlingOfSetTextCloseAndSystemCommands) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel("old"));
    window.SetWindowText("新标题");
    EXPECT_EQ(window.GetWindowText(), "新标题");
    EXPECT_EQ(window.WParamsOf(WM_SETTEXT).size(), 1u) << "the title changes through WM_SETTEXT";

    window.ShowWindow(SW_SHOW);
    window.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    EXPECT_TRUE(window.IsZoomed());
    window.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    EXPECT_TRUE(window.IsIconic());
    window.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_TRUE(window.IsZoomed()) << "restores to maximised, where it was before minimising";
    window.SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_FALSE(window.IsZoomed());
    EXPECT_FALSE(window.IsIconic());

    window.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_FALSE(window.IsWindow());
    auto messages = window.Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), WM_CLOSE), messages.end());
}

TEST_F(WindowTest, AHandlerThatKeepsCloseKeepsTheWindow) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    window.script = [](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_CLOSE) return 0;
        return std::nullopt;
    };
    window.SendMessage(WM_CLOSE);
    EXPECT_TRUE(window.IsWindow());
}

struct ShowCase {
    const char* name;
    std::vector<int> commands;
    bool visible;
    bool minimised;
    bool maximised;
};

class ShowWindowTest : public WindowTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowWindowTest, EndsInTheExpectedState) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    for (int command : GetParam().commands) window.ShowWindow(command);
    EXPECT_EQ(window.IsWindowVisible(), GetParam().visible);
    EXPECT_EQ(window.IsIconic(), GetParam().minimised);
    EXPECT_EQ(window.IsZoomed(), GetParam().maximised);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ShowWindowTest,
    ::testing::Values(
        ShowCase{"Created", {}, false, false, false},
        ShowCase{"Show", {SW_SHOW}, true, false, false},
        ShowCase{"ShowThenHide", {SW_SHOW, SW_HIDE}, false, false, false},
        ShowCase{"Minimise", {SW_MINIMIZE}, true, true, false},
        ShowCase{"Maximise", {SW_SHOWMAXIMIZED}, true, false, true},
        ShowCase{"RestoreMinimised", {SW_MINIMIZE, SW_RESTORE}, true, false, false},
        ShowCase{"RestoreToMaximised", {SW_MAXIMIZE, SW_MINIMIZE, SW_RESTORE}, true, false, true},
        ShowCase{"RestoreMaximised", {SW_MAXIMIZE, SW_RESTORE}, true, false, false},
        ShowCase{"HideKeepsMinimised", {SW_MINIMIZE, SW_HIDE}, false, true, false},
        ShowCase{"ShowKeepsMaximised", {SW_MAXIMIZE, SW_HIDE, SW_SHOW}, true, false, true},
        ShowCase{"ShowNormalClearsMaximised", {SW_MAXIMIZE, SW_SHOWNORMAL}, true, false, false},
        ShowCase{"UnknownCommandChangesNothing", {SW_SHOW, 77}, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, ShowWindowAnswersThePreviousVisibilityAndReportsChanges) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    EXPECT_FALSE(window.ShowWindow(SW_SHOW));
    EXPECT_TRUE(window.ShowWindow(SW_SHOW));
    EXPECT_TRUE(window.ShowWindow(SW_HIDE));
    EXPECT_EQ(window.WParamsOf(WM_SHOWWINDOW), (std::vector<WPARAM>{1, 0}))
        << "WM_SHOWWINDOW only when the shown state changes";
}

TEST_F(WindowTest, AChildIsVisibleOnlyWhenItsParentsAreToo) {
    RecordingWindow parent(system);
    RecordingWindow child(system);
    ASSERT_TRUE(parent.CreateTopLevel());
    ASSERT_TRUE(child.CreateChild(parent.hwnd()));
    child.ShowWindow(SW_SHOW);
    EXPECT_FALSE(child.IsWindowVisible());
    parent.ShowWindow(SW_SHOW);
    EXPECT_TRUE(child.IsWindowVisible());
    EXPECT_EQ(child.GetParent(), parent.hwnd());
    EXPECT_EQ(parent.GetParent(), HWND());
}

TEST_F(WindowTest, SetWindowPosMovesResizesOrBoth) {
    RecordingWindow window(system);
    Window::CreateParams params;
    params.rect = Rect::FromSize(10, 10, 100, 50);
    ASSERT_TRUE(window.Create(params));

    ASSERT_TRUE(window.SetWindowPos(0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(window.GetWindowRect(), Rect::FromSize(10, 10, 300, 200));
    ASSERT_TRUE(window.SetWindowPos(50, 60, 0, 0, SWP_NOSIZE));
    EXPECT_EQ(window.GetWindowRect(), Rect::FromSize(50, 60, 300, 200));
    ASSERT_TRUE(window.SetWindowPos(1, 2, 3, 4, SWP_SHOWWINDOW));
    EXPECT_EQ(window.GetWindowRect(), Rect::FromSize(1, 2, 3, 4));
    EXPECT_TRUE(window.IsWindowVisible());
    ASSERT_TRUE(window.MoveWindow(Rect{5, 6, 15, 26}));
    EXPECT_EQ(window.GetWindowRect(), (Rect{5, 6, 15, 26}));
    EXPECT_FALSE(system.SetWindowPos(HWND(4242), 0, 0, 1, 1, 0));
}

TEST_F(WindowTest, EnableWindowSetsTheFlag) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    ASSERT_TRUE(window.EnableWindow(false));
    EXPECT_FALSE(window.IsWindowEnabled());
    ASSERT_TRUE(window.EnableWindow(true));
    EXPECT_TRUE(window.IsWindowEnabled());
    EXPECT_FALSE(system.EnableWindow(HWND(4242), true));
}

struct RouteCase {
    const char* name;
    int code;
    UINT expectedMessage;
};

class ControlRoutingTest : public WindowTest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(ControlRoutingTest, NotificationsReachTheWindowAtOnce) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    auto* control = window.AddControl(std::make_unique<FakeControl>(1001));
    ASSERT_NE(control, nullptr);
    const ControlNotification* delivered = nullptr;
    int deliveredCode = 0;
    window.script = [&](UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_COMMAND || m == WM_NOTIFY) {
            delivered = FromLParam<const ControlNotification>(l);
            deliveredCode = delivered->code;
        }
        return std::nullopt;
    };
    window.seen.clear();

    control->Raise(GetParam().code, 7);

    ASSERT_EQ(window.seen.size(), 1u) << "delivered synchronously, not queued";
    EXPECT_EQ(window.seen[0].message, GetParam().expectedMessage);
    if (GetParam().expectedMessage == WM_COMMAND) {
        EXPECT_EQ(LOWORD(window.seen[0].wParam), 1001);
        EXPECT_EQ(HIWORD(window.seen[0].wParam), static_cast<std::uint16_t>(GetParam().code));
    } else {
        EXPECT_EQ(window.seen[0].wParam, 1001u);
    }
    EXPECT_EQ(deliveredCode, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ControlRoutingTest,
    ::testing::Values(RouteCase{"ButtonClicked", notify::kClicked, WM_COMMAND},
                      RouteCase{"EditChange", notify::kEditChange, WM_COMMAND},
                      RouteCase{"ComboSelChange", notify::kSelChange, WM_COMMAND},
                      RouteCase{"TreeExpanded", notify::kItemExpanded, WM_NOTIFY},
                      RouteCase{"TreeSelChanged", notify::kTreeSelChanged, WM_NOTIFY},
                      RouteCase{"ListItemChanged", notify::kListItemChanged, WM_NOTIFY},
                      RouteCase{"DoubleClick", notify::kDoubleClick, WM_NOTIFY},
                      RouteCase{"RichEditLink", notify::kLinkClicked, WM_NOTIFY}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, ControlsAreFoundByIdAndTypeAndIdsAreUnique) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    auto* button = window.AddControl(std::make_unique<FakeControl>(1, ControlKind::Button));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(window.AddControl(std::make_unique<FakeControl>(1)), nullptr) << "duplicate id";
    EXPECT_NE(window.AddControl(std::make_unique<FakeControl>(IDC_STATIC)), nullptr);
    EXPECT_NE(window.AddControl(std::make_unique<FakeControl>(IDC_STATIC)), nullptr)
        << "labels share IDC_STATIC";
    EXPECT_EQ(window.GetControl<FakeControl>(1), button);
    EXPECT_EQ(window.FindControl(99), nullptr);
    struct OtherControl : Control {
        OtherControl() : Control(5, ControlKind::Label) {}
    };
    window.AddControl(std::make_unique<OtherControl>());
    EXPECT_EQ(window.GetControl<FakeControl>(5), nullptr) << "wrong type";
    EXPECT_EQ(window.Controls().size(), 4u);
}

TEST_F(WindowTest, FocusGoesOnlyToAVisibleEnabledControl) {
    RecordingWindow window(system);
    ASSERT_TRUE(window.CreateTopLevel());
    auto* first = window.AddControl(std::make_unique<FakeControl>(1));
    auto* second = window.AddControl(std::make_unique<FakeControl>(2));
    EXPECT_EQ(window.GetFocus(), 0);
    EXPECT_TRUE(window.SetFocus(2));
    EXPECT_EQ(window.GetFocus(), 2);
    EXPECT_FALSE(window.SetFocus(3));
    second->SetEnabled(false);
    first->SetVisible(false);
    EXPECT_FALSE(window.SetFocus(1));
    EXPECT_EQ(window.GetFocus(), 2);
    EXPECT_TRUE(window.SetFocus(0));
    EXPECT_EQ(window.GetFocus(), 0);
}

}  // namespace
