#include "notify/base_proxy.h"

#include <exception>
#include <mutex>

#include "core/window_manager.h"
#include "notify/notification_dispatcher.h"
#include "notify/wnd_child.h"
#include "os/services/log.h"
#include "os/sys/event.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"
#include "platform/session/session_core.h"

// The three events of one Init.
struct CBaseProxy::Handles {
    explicit Handles(os::Clock& clock)
        : stop(clock, os::EventReset::Manual),
          lost(clock, os::EventReset::Auto),
          notify(clock, os::EventReset::Auto) {}

    os::Event stop;
    os::Event lost;
    os::Event notify;
};

// What every notification thread works with, shared so a thread left running after its stop
// wait still has it.
struct CBaseProxy::Core {
    Core(core::ClientContext& context, std::shared_ptr<notify::NotificationHandlers> handlers)
        : context(context), dispatcher(context, std::move(handlers)) {}

    // Takes, carries and gives back every queued record until none is left or the thread is
    // asked to stop.
    void Drain(const os::Event& stop) {
        platform::SessionCore& session = context.session;
        while (!stop.IsSet()) {
            // One record at a time, even across an old thread that has not ended yet.
            std::lock_guard lock(drainMutex);
            platform::NotifyRecord* record = session.GetNotify();
            if (record == nullptr) return;
            try {
                dispatcher.Dispatch(*record);
            } catch (const std::exception& error) {
                context.log.WriteLog2(
                    1, os::Format("Notification %u failed: %s", record->type, error.what()));
            }
            session.FreeNotify(record);
        }
    }

    core::ClientContext& context;
    notify::NotificationDispatcher dispatcher;
    std::mutex drainMutex;
};

CBaseProxy::CBaseProxy(core::ClientContext& context,
                       std::shared_ptr<notify::NotificationHandlers> handlers,
                       notify::IncomingMessageHooks& hooks)
    : context_(context),
      handlers_(std::move(handlers)),
      core_(std::make_shared<Core>(context, handlers_)),
      own_(context, *handlers_, hooks) {}

CBaseProxy::~CBaseProxy() {
    if (handles_ || retired_) {
        // The engine must not keep signalling events that are about to go.
        context_.session.Free();
    }
    StopThread();
    // The threads use the context and the jobs of the routes: none may outlive the pump.
    for (os::Thread& thread : stoppedThreads_)
        context_.windows.WaitForThreadEnd(thread, os::kInfinite);
}

void CBaseProxy::RunThread(Core& core, Handles& handles) {
    os::Event* const events[] = {&handles.stop, &handles.lost, &handles.notify};
    for (;;) {
        switch (os::WaitForAny(core.context.clock, events, kWaitSliceMs)) {
            case 0:
                return;
            case 1:
                core.dispatcher.ConnectionLost();
                break;
            case 2:
                core.Drain(handles.stop);
                break;
            default:
                break;  // the wait ran out: wait again
        }
    }
}

int CBaseProxy::Init() {
    AttachToMainPanel();
    StopThread();

    auto handles = std::make_shared<Handles>(context_.clock);
    thread_ = os::Thread("qorv-notify",
                         [core = core_, handles](std::stop_token) { RunThread(*core, *handles); });
    const int result = context_.session.Init(&handles->lost, &handles->notify, thread_.Id());
    // The engine holds the new events now; the old ones may go.
    handles_ = std::move(handles);
    retired_.reset();
    return result;
}

void CBaseProxy::Free() {
    context_.session.Free();
    StopThread();
    handles_.reset();
    retired_.reset();
}

void CBaseProxy::CloseSessionHandles() {
    StopThread();
    if (handles_) retired_ = std::move(handles_);
}

void CBaseProxy::HandleIncomingMessage(const core::QueuedMessage& message) {
    own_.incoming().HandleMessage(message);
}

bool CBaseProxy::StopThread() {
    if (!thread_.Joinable()) return true;
    if (handles_) handles_->stop.Set();
    // The thread may be in a send to this (the UI) thread: the wait answers it meanwhile, so
    // the thread gets back to its stop at once instead of waiting out the 200 ms with us.
    const bool ended = context_.windows.WaitForThreadEnd(thread_, kStopWaitMs);
    if (!ended) {
        context_.log.WriteLog2(1, "Notification thread did not end within 200 ms; left to end");
    }
    // A thread still running is kept until it ends at its next wait; it holds its events.
    if (!ended) stoppedThreads_.push_back(std::move(thread_));
    thread_ = os::Thread();
    std::erase_if(stoppedThreads_, [](const os::Thread& thread) { return !thread.Running(); });
    return ended;
}

bool CBaseProxy::ThreadRunning() const { return thread_.Running(); }

std::thread::id CBaseProxy::ThreadId() const { return thread_.Id(); }

bool CBaseProxy::HasHandles() const { return handles_ != nullptr; }

void CBaseProxy::AttachToMainPanel() {
    if (!context_.hasWindowManager()) return;
    os::WindowSystem& windows = context_.windows;
    const os::HWND panel = context_.windowManager().MainPanel();
    if (panel == attachedPanel_ || !windows.IsOwnedByCallingThread(panel)) return;
    if (auto* child = dynamic_cast<CWndChild*>(windows.FromHandle(panel))) {
        child->AttachNotificationHandlers(handlers_);
        attachedPanel_ = panel;
    }
}
