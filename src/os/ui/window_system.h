#pragma once
// The window system: the context object behind every window, message, timer, hook and hot
// key. There is no hidden global; the library makes one for the host and each test makes its
// own.
//
// Threads. A window belongs to the thread that created it (its owner thread) and only that
// thread runs its handler. Each thread that owns windows or runs a loop has a message queue
// in this system, made on first use (CurrentThreadQueueId, creating a window, pumping). The
// functions marked "calling thread" act on that thread's queue; the rest may be called from
// any thread.
//
// A thread that ends without destroying its windows leaves them registered but out of reach:
// sends to them answer 0 and posts fail. Destroy a thread's windows before it ends.
//
// The calls marked "owner thread only" are a programming error from another thread: a debug
// build fails loudly there, naming the window and both threads (os/sys/thread_check.h); a
// release build answers as noted. The calls meant to cross threads (SendMessage,
// PostMessage, SendTask, PostTask, PostThreadMessage, the state readers and changers) never
// trip that check.
//
// Ownership of Window objects: see window.h. The WindowSystem must outlive every window and
// every thread that uses it; windows still alive when it is destroyed are detached (they stop
// being windows and their later destruction does nothing).
//
// Time. Every deadline is on the given Clock. With a ManualClock the system registers as a
// deadline source, so ManualClock::Advance stops at each timer deadline; at each stop the
// thread that called Advance pumps its own queue (firing its due timers and handling posted
// messages until idle). AdvanceClock wraps that for tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "os/sys/clock.h"
#include "os/ui/geometry.h"
#include "os/ui/hwnd.h"
#include "os/ui/messages.h"

namespace os {

class Window;
class ThreadQueue;
class Thread;

// Names one thread's message queue (for PostThreadMessage). 0 = none; never reused.
using ThreadQueueId = std::uint32_t;
// Names one installed get-message hook. 0 = none.
using HookId = std::uint32_t;

class WindowSystem {
  public:
    // The dialog class, registered from the start.
    static constexpr std::string_view kDialogClass = "#32770";

    // `processId` is what GetWindowThreadProcessId reports for this system's windows
    // (default: this process's id).
    explicit WindowSystem(Clock& clock, std::uint32_t processId = 0);
    ~WindowSystem();
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

    Clock& clock() const { return clock_; }
    std::uint32_t processId() const { return processId_; }

    // ---- Window classes. Names compare without regard to ASCII case.
    // False when the name is empty or already registered.
    bool RegisterClass(std::string_view className);
    bool IsClassRegistered(std::string_view className) const;

    // ---- Windows by handle (any thread). Answers for a handle that names no window: false,
    // empty, null or 0.
    bool IsWindow(HWND hwnd) const;
    // The object behind a handle. Owner thread only: another thread may see the window
    // destroyed and the object deleted at any moment (a release build answers the object
    // all the same).
    Window* FromHandle(HWND hwnd) const;
    std::string GetClassName(HWND hwnd) const;
    std::string GetWindowText(HWND hwnd) const;
    Rect GetWindowRect(HWND hwnd) const;
    HWND GetParent(HWND hwnd) const;
    HWND GetOwner(HWND hwnd) const;
    // True when the window and every parent above it are shown.
    bool IsWindowVisible(HWND hwnd) const;
    bool IsWindowEnabled(HWND hwnd) const;
    bool IsIconic(HWND hwnd) const;  // minimised
    bool IsZoomed(HWND hwnd) const;  // maximised
    // The process id of the window's process (0 for no window); `threadQueue`, when given,
    // receives the id of its owner thread's queue.
    std::uint32_t GetWindowThreadProcessId(HWND hwnd, ThreadQueueId* threadQueue = nullptr) const;
    // True when the calling thread owns the window.
    bool IsOwnedByCallingThread(HWND hwnd) const;

    // ---- Changing windows (any thread: from another thread the change runs on the owner
    // thread, blocking like SendMessage). False when the handle names no window.
    // ShowWindow takes an SW_* command; it answers whether the window was shown before and
    // sends WM_SHOWWINDOW when the shown state changes.
    bool ShowWindow(HWND hwnd, int command);
    bool EnableWindow(HWND hwnd, bool enable);
    bool SetWindowText(HWND hwnd, std::string_view text);  // through WM_SETTEXT
    bool MoveWindow(HWND hwnd, const Rect& rect);
    // Moves (x, y) and resizes (width, height); SWP_NOMOVE / SWP_NOSIZE keep either, and
    // SWP_SHOWWINDOW / SWP_HIDEWINDOW show or hide. Z-order flags are accepted and ignored.
    bool SetWindowPos(HWND hwnd, int x, int y, int width, int height, UINT flags);
    // Destroys a window of the calling thread (see Window::DestroyWindow). Owner thread only
    // (a release build answers false, as Windows does).
    bool DestroyWindow(HWND hwnd);

    // ---- Finding windows (any thread)
    // The first top-level window, in creation order, whose class and title match; an empty
    // className or title matches any. Class names compare without ASCII case, titles exactly.
    HWND FindWindow(std::string_view className, std::string_view title) const;
    // Calls `callback` for each top-level window in creation order until it answers false.
    // The list is taken before the first call, so the callback may create or destroy windows
    // (a window destroyed meanwhile is skipped; one created meanwhile is not visited).
    void EnumWindows(const std::function<bool(HWND)>& callback) const;
    // The same for the direct children of `parent`.
    void EnumChildWindows(HWND parent, const std::function<bool(HWND)>& callback) const;

    // ---- Messages
    // On the owner thread: calls the handler directly. From another thread: hands the message
    // to the owner thread, blocks until it has been handled and answers the handler's result;
    // while blocked, messages sent to the calling thread's own windows are handled. Answers 0
    // at once when the window is gone, or its thread's loop has ended or is quitting.
    LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queues the message on the owner thread's queue (FIFO per queue). False when the window
    // is already gone or its thread has ended; a window destroyed before the message is taken
    // never receives it.
    bool PostMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queues a thread message (null hwnd) on a thread's queue. WM_QUIT asks that thread's loop
    // to end, like PostQuitMessage on that thread. False when no such queue is open.
    bool PostThreadMessage(ThreadQueueId queue, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Runs `task` on the window's owner thread in the order of its queue, unless the window is
    // destroyed first (then it is dropped, never run). False when the window is already gone.
    bool PostTask(HWND hwnd, std::function<void()> task);
    // Runs `task` on the window's owner thread and waits for it, like SendMessage. False, and
    // the task not run, when the window is gone or its loop has ended or is quitting.
    bool SendTask(HWND hwnd, const std::function<void()>& task);

    // Calling thread: waits up to `timeoutMs` of the clock (kInfinite: no limit) for the body
    // of `thread` to return, handling meanwhile what other threads send to this thread's
    // windows (messages and SendTask), as a thread blocked in SendMessage does. A thread asked
    // to stop while it sends to the waiting thread is answered and ends, rather than the two
    // waiting for each other. Posted messages and timers wait for the next pump. True when
    // the body returned (the thread is then joined), as Thread::WaitEnded answers.
    bool WaitForThreadEnd(Thread& thread, Millis timeoutMs);

    // Calling thread: its queue id (the queue is made on first use).
    ThreadQueueId CurrentThreadQueueId();
    // Calling thread: asks its loop to end. Run() returns `exitCode` after the messages posted
    // before this one; from now until then, and after Run() returned until the thread pumps
    // again, sends to the thread's windows answer 0 at once.
    void PostQuitMessage(int exitCode = 0);

    // Calling thread: whether its loop was asked to end (a WM_QUIT waits to be taken).
    bool IsQuitPending();

    // ---- The message loop of the calling thread
    // Dispatches until WM_QUIT and answers its exit code. Blocks when idle until a message
    // arrives or the next timer is due.
    int Run();
    // Handles what is queued now: sent messages, the posted messages present at the call, and
    // every timer due now (each once); first it drains the wake descriptor. Messages posted
    // meanwhile wait for the next pump. Stops at a pending WM_QUIT and leaves it for Run(). Answers
    // the number of messages handled.
    int PumpPending();
    // Pumps until `condition` is true (checked before the first and after every message) and
    // answers true, or answers false when `timeoutMs` of the system clock pass, or at a
    // pending WM_QUIT (left queued). With a ManualClock, time only moves when a test moves it,
    // so this answers false as soon as nothing is left to handle and the condition is still
    // false: it never blocks.
    bool PumpUntil(const std::function<bool()>& condition, Millis timeoutMs);
    // The primitives of a hand-written loop. GetMessage blocks until a posted message, a thread
    // message or a due timer is there (handling sent messages meanwhile) and answers false for
    // WM_QUIT. PeekMessage answers false at once when nothing is there. Both pass the message
    // through the thread's get-message hooks; neither returns messages of destroyed windows.
    bool GetMessage(Msg& msg);
    bool PeekMessage(Msg& msg);
    // A loop driven from outside (a host with an event loop of its own): the calling
    // thread's wake descriptor, an eventfd that is readable while the thread has work (a
    // message posted or sent to it, a task, a thread message, a quit) or its timers changed,
    // and drained by PumpPending. Made on the first call and owned by the system; -1 when it
    // cannot be made. The host pumps when it turns readable and, after every pump, re-arms
    // one timer for NextTimerDue.
    int LoopDescriptor();
    // Calling thread: milliseconds of the clock until its next timer falls due (0 when one
    // is due now), or kInfinite when none runs.
    Millis NextTimerDue();
    // Calls the handler of msg.hwnd (nothing when it is gone); a thread message goes to the
    // thread-message handler. Answers the handler's result. Owner thread only (a release
    // build answers 0 for a window of another thread).
    LRESULT DispatchMessage(const Msg& msg);
    // Calling thread: where Run and the pumps deliver thread messages (null hwnd). Without a
    // handler they are dropped.
    void SetThreadMessageHandler(std::function<void(const Msg&)> handler);

    // ---- Hooks (calling thread)
    // `hook` sees each message that the calling thread takes from its queue (posted messages,
    // thread messages, WM_TIMER; never sent messages) before it is dispatched, and may change
    // it (its wParam, for example). Hooks chain: the newest runs first, then the one before.
    HookId SetGetMessageHook(std::function<void(Msg&)> hook);
    bool UnhookGetMessageHook(HookId hook);

    // ---- Timers (the window's owner thread)
    // Starts or restarts timer `id` of the window: WM_TIMER(wParam = id) every `periodMs`
    // (at least 10 ms). Due timers fire in deadline order, one WM_TIMER per due time: a late
    // loop gets one, never a pile. A null hwnd makes a thread timer (WM_TIMER with null hwnd
    // to the thread-message handler). False for a window that is gone. Owner thread only (a
    // release build answers false for a window of another thread).
    bool SetTimer(HWND hwnd, std::uint64_t id, Millis periodMs);
    bool KillTimer(HWND hwnd, std::uint64_t id);
    static constexpr Millis kMinimumTimerPeriod = 10;

    // ---- Hot keys and atoms
    // False when the key combination is already registered (by any window), the window is
    // gone, or this window already has a hot key `id`. A null hwnd registers for the calling
    // thread. A destroyed window's hot keys are released.
    bool RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk);
    bool UnregisterHotKey(HWND hwnd, int id);
    // Simulates the key: posts WM_HOTKEY(id, MAKELPARAM(modifiers, vk)) to the registrant.
    // False when the combination is not registered.
    bool PressHotKey(UINT modifiers, UINT vk);
    // Global atoms: 16-bit values from 0xC000, reference-counted, names compared without ASCII
    // case. 0 for an empty name or when the table is full.
    ATOM GlobalAddAtom(std::string_view name);
    ATOM GlobalFindAtom(std::string_view name) const;
    std::string GlobalGetAtomName(ATOM atom) const;
    // Drops one reference; the atom goes with its last. False for an unknown atom.
    bool GlobalDeleteAtom(ATOM atom);

    // ---- Foreground and keyboard
    // The foreground window is always top-level: asking for a child makes its top-level
    // ancestor the foreground window. False for a handle that names no window.
    bool SetForegroundWindow(HWND hwnd);
    HWND GetForegroundWindow() const;
    // Queues WM_KEYDOWN (WM_SYSKEYDOWN when Alt is held) for `vk` to the window, as a key
    // press with the `modifiers` (MOD_ALT, MOD_CONTROL, MOD_SHIFT) held would, so get-message
    // hooks see it. The modifiers travel with the message: GetKeyState tells them while it is
    // handled.
    bool PostKey(HWND hwnd, UINT vk, UINT modifiers = 0);
    // Calling thread: whether a modifier key (VK_CONTROL, VK_MENU, VK_SHIFT, or their left and
    // right keys) was held for the key message the thread took last, as Windows' GetKeyState
    // answers with its high bit. Other keys answer false.
    bool IsKeyHeld(UINT vk) const;
    // Calling thread: the modifiers (MOD_*) held from now on until the thread takes its next
    // key message; for a host that hands its own key presses to OnKeyDown.
    void SetHeldModifiers(UINT modifiers);

    // ---- Ownership
    // Hands a window object to the system, which deletes it on the owner thread right after
    // the window is destroyed (after PostNcDestroy), or when the system itself goes. The
    // usual home of a modeless dialog that lives until the user closes it. An adopted window
    // must not delete itself in PostNcDestroy.
    template <typename T>
    T* Adopt(std::unique_ptr<T> window) {
        T* raw = window.get();
        AdoptWindow(std::unique_ptr<Window>(std::move(window)));
        return raw;
    }

    // ---- Watching (any thread)
    // What changed, as a view of the windows needs to hear of it. A control change names the
    // control: its text, items, selection, check, state, rectangle or content changed.
    enum class ChangeKind {
        Created,
        Destroyed,
        Shown,
        Hidden,
        Retitled,
        Moved,    // moved or resized
        Enabled,  // enabled or disabled
        ControlChanged
    };
    struct WindowChange {
        ChangeKind kind = ChangeKind::ControlChanged;
        HWND window;
        int controlId = 0;
    };
    using ObserverId = std::uint32_t;
    // `observer` hears of every change right after it happened, on the thread that made it,
    // with no lock of the system held; it must not change windows from inside the call.
    // Observers are called newest last. While none is installed a change costs one load.
    ObserverId AddObserver(std::function<void(const WindowChange&)> observer);
    // Once it returns, the observer is not called again from this thread (a call running
    // on another thread at that moment may finish).
    void RemoveObserver(ObserverId observer);

    // ---- Tests
    // With a ManualClock: pumps the calling thread, then advances the clock by `ms`, stopping
    // at every timer deadline on the way (timers started by handlers included) and pumping
    // until idle at each stop. False, and nothing done, with another clock.
    bool AdvanceClock(Millis ms);

  private:
    friend class Window;
    friend class ThreadQueue;
    struct Impl;
    void AdoptWindow(std::unique_ptr<Window> window);

    Clock& clock_;
    std::uint32_t processId_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace os
