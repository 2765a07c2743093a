#pragma once
// The inside of WindowSystem, shared by its source files. Not for other modules.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "os/sys/thread_check.h"
#include "os/ui/thread_queue.h"
#include "os/ui/window.h"
#include "os/ui/window_system.h"

namespace os {

enum class ShowState { Normal, Minimized, Maximized };

// What the registry knows of one live window. Other threads read it, so it lives here under
// the system's lock rather than in the Window object.
struct WindowEntry {
    Window* window = nullptr;
    std::shared_ptr<ThreadQueue> queue;
    std::string className;
    std::string title;
    HWND parent;
    HWND owner;
    Rect rect;
    bool visible = false;
    bool enabled = true;
    ShowState show = ShowState::Normal;
    bool restoreToMaximized = false;  // minimised from maximised
    std::uint32_t processId = 0;
};

struct HotKey {
    HWND hwnd;                // null: a thread hot key
    ThreadQueueId queue = 0;  // the registering thread, for a thread hot key
    int id = 0;
    UINT modifiers = 0;
    UINT vk = 0;
};

struct AtomEntry {
    std::string name;
    int references = 0;
};

struct WindowSystem::Impl {
    explicit Impl(WindowSystem& owner);

    WindowSystem& system;
    const std::uint64_t serial;  // unique per WindowSystem in the process
    ManualClock* manualClock = nullptr;
    ManualClock::DeadlineSource deadlineSource = 0;
    std::atomic<HookId> nextHook{1};

    // ---- Watching (window_changes.cpp)
    using Observer = std::pair<ObserverId, std::function<void(const WindowChange&)>>;
    std::atomic<int> observerCount{0};
    std::mutex observersMutex;                               // guards the two below
    std::shared_ptr<const std::vector<Observer>> observers;  // replaced, never changed
    ObserverId nextObserver = 1;
    // Tells every observer; cheap when there is none. No lock of the system may be held.
    void Report(ChangeKind kind, HWND hwnd, int controlId = 0) {
        if (observerCount.load(std::memory_order_relaxed) == 0) return;
        ReportToObservers(WindowChange{kind, hwnd, controlId});
    }
    void ReportToObservers(const WindowChange& change);

    mutable std::mutex mutex;  // guards everything below
    std::uint32_t nextHandle = 1;
    std::map<std::uint32_t, WindowEntry> windows;  // by handle value: creation order
    std::vector<std::string> classes;
    std::unordered_map<ThreadQueueId, std::shared_ptr<ThreadQueue>> queues;
    ThreadQueueId nextQueueId = 1;
    HWND foreground;
    std::vector<HotKey> hotKeys;
    std::map<ATOM, AtomEntry> atoms;
    std::unordered_map<Window*, std::unique_ptr<Window>> adopted;

    // ---- Queues
    // The calling thread's queue in this system; made when `create` and there is none.
    std::shared_ptr<ThreadQueue> CurrentQueue(bool create);
    std::shared_ptr<ThreadQueue> QueueById(ThreadQueueId id) const;

    // ---- Registry (lock held by the caller where the name ends in Locked)
    const WindowEntry* FindLocked(HWND hwnd) const;
    WindowEntry* FindLocked(HWND hwnd);
    // The window object when the calling thread owns it, else null.
    Window* OwnedWindow(HWND hwnd) const;
    // In a debug build, fails loudly (thread_check.h) unless the calling thread owns the
    // window of `entry`; `call` names what was called. The lock is held by the caller.
    void CheckOwnerLocked(const WindowEntry& entry, HWND hwnd, std::string_view call) const;
    bool IsClassRegisteredLocked(std::string_view className) const;

    // ---- Life of a window (owner thread)
    HWND Register(Window* window, const Window::CreateParams& params,
                  std::shared_ptr<ThreadQueue> queue);
    // Destroys children and owned windows, sends WM_DESTROY when `notify`, retires the
    // handle; PostNcDestroy follows when `notify` (deferred while a handler of it runs).
    void Destroy(Window* window, bool notify);
    void Retire(Window* window);
    void FinishNcDestroy(Window* window);

    // ---- Delivery (owner thread)
    // Handles one waiting sent message of `queue`; false when there was none.
    bool HandleOneSend(ThreadQueue& queue);
    enum class Next { Message, Quit, Nothing };
    // Handles waiting sends and tasks, and takes the next posted message (below `seqLimit`)
    // or the next timer due at `now`; `handled` counts what it handled itself.
    Next NextMessage(ThreadQueue& queue, Msg& out, std::uint64_t seqLimit, Millis now,
                     int& handled);
    // The queue that holds the timers of `hwnd` for the calling thread: the window's queue
    // when the calling thread owns it, the calling thread's own for a null hwnd; else null.
    std::shared_ptr<ThreadQueue> TimerQueue(HWND hwnd);
    bool TakeDueTimer(ThreadQueue& queue, Millis now, Msg& out);
    void ApplyHooks(ThreadQueue& queue, Msg& msg);
    LRESULT Dispatch(ThreadQueue& queue, const Msg& msg);
    int PumpPending(ThreadQueue& queue);
    void PumpUntilIdle(ThreadQueue& queue);
    // Blocks the calling thread until `request` is answered, handling sends to it meanwhile.
    void AwaitReply(const std::shared_ptr<ThreadQueue>& self, SendRequest& request);
    // Runs `change` on the window's owner thread (directly there, else like SendTask).
    bool OnOwnerThread(HWND hwnd, const std::function<void()>& change);
};

// Compares names as Windows compares class names and atoms: ASCII letters without case,
// the two bytes of a GBK character exactly.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace os
