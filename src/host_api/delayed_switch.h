#pragma once
// The delayed switch to the post-login interface: a short-lived thread sleeps until a
// deadline on the clock and then hands `onUiThread` to the target window's thread, where
// every window change belongs. Destroying the object before the deadline cancels it; a task
// already handed over is dropped if the target window is gone by then.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "os/sys/clock.h"
#include "os/sys/thread.h"
#include "os/ui/hwnd.h"

namespace os {
class WindowSystem;
}

class DelayedSwitch {
  public:
    // The wait runs until clock.Now() + waitMs, the deadline fixed by this call.
    DelayedSwitch(os::WindowSystem& windows, os::HWND target, os::Millis waitMs,
                  std::function<void()> onUiThread);
    // Cancels a wait still running and waits for the thread to end.
    ~DelayedSwitch();
    DelayedSwitch(const DelayedSwitch&) = delete;
    DelayedSwitch& operator=(const DelayedSwitch&) = delete;

    // Blocks until the thread has ended: the task handed over, or the wait cancelled. Call it
    // once the deadline has passed (or after cancelling), or it waits for the deadline.
    void WaitEnded();

  private:
    struct Cancel {
        std::mutex mutex;
        std::condition_variable cv;
        bool cancelled = false;
    };

    os::Clock& clock_;
    std::shared_ptr<Cancel> cancel_;
    os::Thread thread_;
};
