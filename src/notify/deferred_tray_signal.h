#pragma once
// Telling the host that a message waits (WM_HOST_TRAY, wParam 1), held back while the
// client still loads after a login.
//
// Normally each queued message is signalled at once. While the post-login wait runs
// (loginWaitTimeOut non-zero) the host is not told yet: the first such message starts a
// counting thread (loginStat becomes 1), which counts one thread message kCountMessage per
// queued message, and a watcher thread, which looks at loginWaitTimeOut every 20 ms of the
// clock. Once the wait is over the watcher sends kReleaseMessage to the counting thread, which
// then signals the host once per counted message, 10 ms apart, sets loginStat back to 0 and
// ends. A message queued while those signals go out is signalled at once.
//
// UI thread, apart from the two threads it starts. The destructor stops both threads and
// waits for them; they wait only on a stop event or their own queue, so they end at once.

#include <memory>

#include "core/client_context.h"
#include "os/sys/clock.h"
#include "os/sys/thread.h"
#include "os/ui/messages.h"

namespace notify {

class DeferredTraySignal {
  public:
    static constexpr os::UINT kCountMessage = 0xFFF0;
    static constexpr os::UINT kReleaseMessage = 0xFFF1;
    static constexpr os::Millis kWatchIntervalMs = 20;
    static constexpr os::Millis kSignalIntervalMs = 10;

    explicit DeferredTraySignal(core::ClientContext& context);
    ~DeferredTraySignal();
    DeferredTraySignal(const DeferredTraySignal&) = delete;
    DeferredTraySignal& operator=(const DeferredTraySignal&) = delete;

    // A message went into the pending queue.
    void MessageQueued();

    // Whether a counting period is open (messages are being counted, not yet signalled).
    bool Counting() const;

  private:
    struct Period;
    void StartPeriod();
    void EndPeriod();

    core::ClientContext& context_;
    std::shared_ptr<Period> period_;
    os::Thread counter_;
    os::Thread watcher_;
};

}  // namespace notify
