#include "host_api/delayed_switch.h"

#include "os/ui/window_system.h"

DelayedSwitch::DelayedSwitch(os::WindowSystem& windows, os::HWND target, os::Millis waitMs,
                             std::function<void()> onUiThread)
    : clock_(windows.clock()), cancel_(std::make_shared<Cancel>()) {
    const os::Millis deadline = clock_.DeadlineAfter(waitMs);
    thread_ = os::Thread("delayed switch", [&windows, target, deadline, cancel = cancel_,
                                            task = std::move(onUiThread)](std::stop_token) {
        {
            std::unique_lock lock(cancel->mutex);
            const bool cancelled = windows.clock().WaitUntil(lock, cancel->cv, deadline,
                                                             [&] { return cancel->cancelled; });
            if (cancelled) return;
        }
        windows.PostTask(target, task);
    });
}

DelayedSwitch::~DelayedSwitch() {
    {
        std::lock_guard lock(cancel_->mutex);
        cancel_->cancelled = true;
    }
    cancel_->cv.notify_all();
    WaitEnded();
}

void DelayedSwitch::WaitEnded() { thread_.WaitEnded(clock_, os::kInfinite); }
