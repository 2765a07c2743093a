#include "notify/deferred_tray_signal.h"

#include <mutex>

#include "core/session_flags.h"
#include "core/window_manager.h"
#include "core/window_messages.h"
#include "os/sys/event.h"
#include "os/ui/window_system.h"

namespace notify {
namespace {

// wParam of WM_HOST_TRAY: a message waits to be picked.
constexpr os::WPARAM kMessageWaits = 1;

void SignalHost(core::ClientContext& context) {
    context.windows.PostMessage(context.windowManager().HostMainWnd(), core::WM_HOST_TRAY,
                                kMessageWaits, 0);
}

}  // namespace

// One counting period: shared by the UI thread and the two threads, which may outlive the
// object that started them only until they notice `stop`.
struct DeferredTraySignal::Period {
    explicit Period(os::Clock& clock)
        : ready(clock, os::EventReset::Manual), stop(clock, os::EventReset::Manual) {}

    os::Event ready;  // the counting thread's queue exists
    os::Event stop;
    std::mutex mutex;
    bool counting = true;         // false once the release has begun
    os::ThreadQueueId queue = 0;  // the counting thread's queue, set before `ready`
};

DeferredTraySignal::DeferredTraySignal(core::ClientContext& context) : context_(context) {}

DeferredTraySignal::~DeferredTraySignal() { EndPeriod(); }

bool DeferredTraySignal::Counting() const {
    if (!period_) return false;
    std::lock_guard lock(period_->mutex);
    return period_->counting;
}

void DeferredTraySignal::MessageQueued() {
    if (period_) {
        {
            std::lock_guard lock(period_->mutex);
            // Posted under the lock: the counting thread closes the period under it too, and
            // then still collects every count already in its queue.
            if (period_->counting &&
                context_.windows.PostThreadMessage(period_->queue, kCountMessage)) {
                return;
            }
        }
        if (counter_.Running()) {
            // The counted signals are going out; this one need not wait for them.
            SignalHost(context_);
            return;
        }
        EndPeriod();
    }
    if (context_.windowManager().Flags().loginWaitTimeOut.load() == 0) {
        SignalHost(context_);
        return;
    }
    StartPeriod();
    std::lock_guard lock(period_->mutex);
    if (!context_.windows.PostThreadMessage(period_->queue, kCountMessage)) SignalHost(context_);
}

void DeferredTraySignal::StartPeriod() {
    auto period = std::make_shared<Period>(context_.clock);
    period_ = period;
    core::ClientContext* context = &context_;
    core::SessionFlags* flags = &context_.windowManager().Flags();
    flags->loginStat = 1;

    counter_ = os::Thread("qorv-traycount", [period, context, flags](std::stop_token) {
        os::WindowSystem& windows = context->windows;
        {
            std::lock_guard lock(period->mutex);
            period->queue = windows.CurrentThreadQueueId();
        }
        period->ready.Set();

        int count = 0;
        bool released = false;
        os::Msg msg;
        while (windows.GetMessage(msg)) {
            if (msg.message == kCountMessage) {
                ++count;
            } else if (msg.message == kReleaseMessage) {
                released = true;
                break;
            }
        }
        {
            std::lock_guard lock(period->mutex);
            period->counting = false;
        }
        if (released) {
            while (windows.PeekMessage(msg)) {
                if (msg.message == kCountMessage) ++count;
            }
            for (int i = 0; i < count; ++i) {
                if (i > 0 && period->stop.Wait(kSignalIntervalMs)) break;
                SignalHost(*context);
            }
        }
        flags->loginStat = 0;
    });
    period->ready.Wait(os::kInfinite);

    const os::ThreadQueueId queue = period->queue;
    watcher_ = os::Thread("qorv-traywatch", [period, context, flags, queue](std::stop_token) {
        while (!period->stop.Wait(kWatchIntervalMs)) {
            if (flags->loginWaitTimeOut.load() == 0) {
                context->windows.PostThreadMessage(queue, kReleaseMessage);
                return;
            }
        }
    });
}

void DeferredTraySignal::EndPeriod() {
    if (!period_) return;
    period_->stop.Set();
    context_.windows.PostThreadMessage(period_->queue, os::WM_QUIT);
    watcher_.WaitEnded(context_.clock, os::kInfinite);
    counter_.WaitEnded(context_.clock, os::kInfinite);
    watcher_ = os::Thread();
    counter_ = os::Thread();
    period_.reset();
}

}  // namespace notify
