// The notification pump in a burst: records queued by the engine, taken by the notification
// thread and handed over synchronously to a UI thread that runs its own loop (the UI route:
// GetNotify, WM_IM_NOTIFY sent across threads, the main panel's handling, FreeNotify).
// Target: at least 200 000 notifications per second.

#include <benchmark/benchmark.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "core/client_world.h"
#include "core/idle_window_manager.h"
#include "notify/base_proxy.h"
#include "notify/routes/notification_handlers.h"
#include "notify/wnd_child.h"
#include "os/ui/window_system.h"
#include "platform/session/sim_session_core.h"
#include "support/temp_dir.h"

namespace {

// Just enough of a window manager for the pump: the main panel and the flags.
class PanelOnlyWindowManager final : public core::IdleWindowManager {
  public:
    explicit PanelOnlyWindowManager(core::ClientContext& context) : context_(context) {
        context_.SetWindowManager(this);
    }
    ~PanelOnlyWindowManager() override { context_.SetWindowManager(nullptr); }
    bool IsLoggedIn() const override { return true; }

  private:
    core::ClientContext& context_;
};

// The UI work of the routed notification: count it, and wake the benchmark once the burst
// is through (it sleeps meanwhile, leaving both cores to the pump and the UI thread).
class UiCounter {
  public:
    void Count() {
        if (handled_.fetch_add(1) + 1 == target_.load()) {
            std::lock_guard lock(mutex_);
            cv_.notify_one();
        }
    }
    void WaitFor(std::int64_t target) {
        std::unique_lock lock(mutex_);
        target_.store(target);
        cv_.wait(lock, [&] { return handled_.load() >= target; });
    }

  private:
    std::atomic<std::int64_t> handled_{0};
    std::atomic<std::int64_t> target_{-1};
    std::mutex mutex_;
    std::condition_variable cv_;
};

void BM_UiRouteBurst(benchmark::State& state) {
    const int burst = static_cast<int>(state.range(0));
    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world(core::WorldFolders{common.str(), app.str()});
    core::ClientContext& context = world.context();
    PanelOnlyWindowManager manager(context);
    UiCounter ui;
    auto handlers = notify::NotificationHandlers::Create(context.log);
    const notify::Registration vcards =
        handlers->OnUi({39}, [&ui](const platform::NotifyRecord&) { ui.Count(); });

    // The UI thread: owns the main panel and the pump, and runs its loop.
    std::promise<os::ThreadQueueId> started;
    std::thread uiThread([&] {
        CWndChild panel(context);
        panel.Create({}, os::Rect{}, false);
        manager.mainPanel = panel.hwnd();
        CBaseProxy proxy(context, handlers);
        proxy.Init();
        started.set_value(context.windows.CurrentThreadQueueId());
        context.windows.Run();
        proxy.Free();
        manager.mainPanel = os::HWND();
    });
    const os::ThreadQueueId uiQueue = started.get_future().get();

    platform::SlotData card;
    card.slots = {"ann$gov@im.qorvdesk.test", "Ann"};
    std::int64_t target = 0;
    for (auto _ : state) {
        target += burst;
        for (int i = 0; i < burst; ++i) world.simSession().Inject(platform::MakeNotify(39, card));
        ui.WaitFor(target);
    }
    state.SetItemsProcessed(target);

    context.windows.PostThreadMessage(uiQueue, os::WM_QUIT);
    uiThread.join();
}

BENCHMARK(BM_UiRouteBurst)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(10000)
    ->Arg(30000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
