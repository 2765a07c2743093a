#pragma once
// One thread's message queue (internal to the window system): sent messages waiting for the
// owner thread, posted messages and tasks in FIFO order, the thread's timers and hooks.
//
// Locking: `mutex` guards the fields marked so; the fields marked "owner thread" are touched
// only by the thread that owns the queue. Only the owner thread ever waits on `cv`. Anyone
// who adds work bumps `epoch` and wakes the owner if it sleeps.
//
// A host that drives the loop from an event loop of its own watches the queue's wake
// descriptor (an eventfd, made on first request): every bump of `epoch` and every change to
// the timers writes to it, and a pump drains it before it looks at the queue, so work that
// comes during the pump leaves it readable.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "os/sys/clock.h"
#include "os/ui/messages.h"
#include "os/ui/window_system.h"

namespace os {

// A message handed to another thread by SendMessage or SendTask. Lives on the sender's stack;
// the receiver must not touch it after setting `done`.
struct SendRequest {
    HWND hwnd;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    const std::function<void()>* task = nullptr;  // SendTask instead of a message
    LRESULT result = 0;
    bool ran = false;                      // the window was there and handled it
    std::shared_ptr<ThreadQueue> replyTo;  // the sender's queue, woken with the answer
    std::atomic<bool> done{false};
};

class ThreadQueue {
  public:
    ThreadQueue(std::uint64_t systemSerial, ThreadQueueId id);
    ~ThreadQueue();
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    const std::uint64_t systemSerial;  // which WindowSystem made it
    const ThreadQueueId id;
    const std::thread::id owner;
    const std::string ownerName;  // the owner thread as the thread checks name it

    enum class ItemKind { Message, Task, Quit };
    struct Item {
        ItemKind kind = ItemKind::Message;
        Msg msg;
        std::function<void()> task;
        std::uint64_t seq = 0;
        // A key message: the modifier keys (MOD_*) held when it was pressed.
        UINT heldModifiers = 0;
    };

    struct Timer {
        HWND hwnd;
        std::uint64_t id = 0;
        Millis period = 0;
        Millis deadline = 0;
        std::uint64_t order = 0;  // ties on one deadline fire in the order they were set
    };

    using Hook = std::pair<HookId, std::function<void(Msg&)>>;

    // ---- Adding work (any thread). False when the queue no longer takes it.
    bool EnqueueSend(SendRequest* request);
    bool EnqueueItem(Item item);
    // Queues a WM_QUIT marker; from now on sends are refused and pending ones answered 0.
    bool EnqueueQuit(int exitCode, Millis now);

    // The thread or the system has gone: refuse everything, answer pending sends 0, drop
    // what is queued.
    void Close();
    bool IsClosed() const;

    // ---- Owner thread
    SendRequest* TakeSend();
    // The front item if its seq is below `seqLimit`; Quit items are left in place (the
    // answer is then an item of kind Quit).
    bool TakeItem(Item& out, std::uint64_t seqLimit);
    void PopQuit();  // consumes the front Quit marker
    std::uint64_t NextSeq() const;
    // A WM_QUIT is queued and not yet taken.
    bool QuitQueued() const;
    // Sends are taken again once the thread pumps after its loop ended.
    void BeginPumping();
    void RemoveItemsFor(HWND hwnd);

    // Waits until `ready()` or `deadline`: spins for at most `spin`, then blocks on the clock.
    void Wait(Clock& clock, Millis deadline, const std::function<bool()>& ready,
              std::chrono::microseconds spin);
    // Wakes the owner if it waits (any thread).
    void Signal();

    // The wake descriptor, made on the first call (owner thread); -1 when it cannot be made.
    // A descriptor made while work waits starts readable.
    int WakeDescriptor();
    // Empties the wake descriptor (owner thread, before a pump).
    void DrainWake();
    // Makes the wake descriptor readable (any thread); nothing until one was asked for.
    void RaiseWake();

    std::atomic<std::uint64_t> epoch{0};
    std::atomic<int> pendingSends{0};
    // Earliest deadline among `timers`, for the ManualClock's deadline source.
    std::atomic<Millis> nextTimerDeadline{kInfinite};

    // Owner thread.
    std::vector<Timer> timers;
    std::uint64_t nextTimerOrder = 1;
    std::shared_ptr<const std::vector<Hook>> hooks;  // newest last; replaced, never changed
    std::function<void(const Msg&)> threadMessageHandler;
    int clockStepDepth = 0;
    // The modifier keys (MOD_*) held for the key message taken last, as GetKeyState tells.
    UINT heldModifiers = 0;
    void RecomputeNextTimerDeadline();
    // After SetTimer/KillTimer: recomputes and tells a watching host to re-arm its timer.
    void TimersChanged();

    // Fails every waiting send with 0 (they were taken off the queue by the caller).
    static void AnswerAll(std::vector<SendRequest*>& requests);

  private:
    bool AcceptsSendsLocked() const { return !closed_ && quitsQueued_ == 0 && !loopEnded_; }
    void NotifyIfSleeping();

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::atomic<bool> sleeping_{false};
    std::atomic<int> wakeFd_{-1};
    std::deque<SendRequest*> sends_;  // guarded
    std::deque<Item> items_;          // guarded
    std::uint64_t nextSeq_ = 1;       // guarded
    int quitsQueued_ = 0;             // guarded
    bool loopEnded_ = false;          // guarded
    bool closed_ = false;             // guarded
};

}  // namespace os
