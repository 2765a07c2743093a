#pragma once
// CBaseProxy: the notification pump (the client's `theBaseProxy`). It owns three events and
// the notification thread, gives the session engine the two events it signals, and carries
// every notification the engine queues along its route (notification_dispatcher.h).
//
// The notification thread waits for [stop, lost, notify] (the lowest set one wins) for at
// most 100 ms at a time:
//   stop    the thread ends;
//   lost    the connection is gone (NotificationDispatcher::ConnectionLost);
//   notify  every queued record is taken (GetNotify until null), carried along its route and
//           given back (FreeNotify), strictly one after another in the engine's order;
//   nothing the wait starts again.
//
// Lifetime of the events. The engine keeps pointers to the lost and notify events from its
// Init until its Free or its next Init. So events are never destroyed while the engine may
// still signal them: closing the handles at a session end only stops the thread; the old
// events live on until the next Init has handed the engine new ones, or Free has taken them
// back. The thread owns its events through shared ownership, so a thread that outlives its
// 200 ms stop wait never touches freed events. It uses the context and the jobs of its
// routes by reference, though: such a thread is kept (not forgotten) until it ends, and the
// destructor waits for it, so no thread of the pump outlives the pump. Both waits answer what
// the thread sends to the waiting thread's windows meanwhile (WindowSystem::WaitForThreadEnd):
// a thread asked to stop while it sends to the UI thread that stops it gets its answer and
// ends, with no stall and no deadlock.
//
// The pump carries records to the handlers of the registry it is given
// (notification_handlers.h) and registers its own there (pump_handlers.h: the account taken
// over, friend requests, incoming messages) for as long as it lives.
//
// Init, Free, CloseSessionHandles and HandleIncomingMessage run on the UI thread. Init also
// makes the main panel hand its notifications to the registry (CWndChild).

#include <memory>
#include <thread>
#include <vector>

#include "core/client_context.h"
#include "core/doors/notification_pump.h"
#include "notify/incoming_hooks.h"
#include "notify/pump_handlers.h"
#include "notify/routes/notification_handlers.h"
#include "os/sys/clock.h"
#include "os/sys/thread.h"
#include "os/ui/hwnd.h"

class CBaseProxy final : public core::NotificationPump {
  public:
    // The longest the thread waits for a signal before it looks again.
    static constexpr os::Millis kWaitSliceMs = 100;
    // The longest Free waits for the thread to end before it goes on without it.
    static constexpr os::Millis kStopWaitMs = 200;

    CBaseProxy(core::ClientContext& context, std::shared_ptr<notify::NotificationHandlers> handlers,
               notify::IncomingMessageHooks& hooks = notify::NoIncomingHooks());
    // Stops the thread as Free does; the engine is freed too when it still holds our events.
    ~CBaseProxy() override;
    CBaseProxy(const CBaseProxy&) = delete;
    CBaseProxy& operator=(const CBaseProxy&) = delete;

    // Creates the events, starts the thread and calls the engine's Init with them; answers
    // what Init answered. A thread of an earlier Init is stopped first (as by Free), so there
    // is never more than one.
    int Init() override;
    // The engine's Free; then the thread is asked to stop and waited for at most 200 ms of
    // the clock, its sends to this thread answered meanwhile. A thread still running then is left
    // asked to stop (it ends as soon as it gets back to its wait) and kept until it ends; the
    // events are forgotten.
    void Free() override;
    // A session ends: the thread is stopped as by Free and the handles are forgotten; the
    // next Init makes new ones. The engine is not freed.
    void CloseSessionHandles() override;
    // A message that came another way (an SMS the host hands in), handled by the
    // incoming-message handling as if the engine had delivered it.
    void HandleIncomingMessage(const core::QueuedMessage& message) override;

    // Whether the notification thread runs, and its id (a default id when none runs).
    bool ThreadRunning() const override;
    std::thread::id ThreadId() const;
    // Whether the pump holds events (from Init until Free or a session end).
    bool HasHandles() const;

    CIncomingMsgHandler& incoming() { return own_.incoming(); }

  private:
    struct Handles;
    struct Core;
    static void RunThread(Core& core, Handles& handles);
    // Asks the thread to stop and waits for it at most kStopWaitMs; true when it ended.
    bool StopThread();
    void AttachToMainPanel();

    core::ClientContext& context_;
    const std::shared_ptr<notify::NotificationHandlers> handlers_;
    std::shared_ptr<Core> core_;
    notify::PumpHandlers own_;
    // The events of the running thread; null once closed.
    std::shared_ptr<Handles> handles_;
    // Closed events the engine may still signal until its next Init or Free.
    std::shared_ptr<Handles> retired_;
    os::Thread thread_;
    // Threads asked to stop that had not ended within kStopWaitMs; dropped once ended,
    // waited for by the destructor.
    std::vector<os::Thread> stoppedThreads_;
    os::HWND attachedPanel_;
};
