// Cross-thread message costs: SendMessage round trips during a burst, and PostMessage
// throughput to a loop on another thread.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <numeric>
#include <thread>
#include <vector>

#include "os/sys/clock.h"
#include "os/ui/window.h"
#include "os/ui/window_system.h"

namespace {

using namespace os;

constexpr UINT kEcho = WM_USER;
constexpr UINT kCount = WM_USER + 1;

class EchoWindow : public Window {
  public:
    using Window::Window;
    std::atomic<std::int64_t> counted{0};

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kEcho) return static_cast<LRESULT>(wParam + 1);
        if (message == kCount) {
            counted.store(static_cast<std::int64_t>(wParam), std::memory_order_release);
            return 0;
        }
        return Window::OnMessage(message, wParam, lParam);
    }
};

// A thread that owns an EchoWindow and runs its loop until the object goes.
class LoopThread {
  public:
    explicit LoopThread(WindowSystem& system) : system_(system) {
        std::promise<void> ready;
        auto readyFuture = ready.get_future();
        thread_ = std::thread([this, &ready] {
            EchoWindow window(system_);
            window.Create({});
            window_ = &window;
            queue_ = system_.CurrentThreadQueueId();
            ready.set_value();
            system_.Run();
        });
        readyFuture.wait();
    }
    ~LoopThread() {
        system_.PostThreadMessage(queue_, WM_QUIT);
        thread_.join();
    }
    EchoWindow& window() { return *window_; }

  private:
    WindowSystem& system_;
    std::thread thread_;
    EchoWindow* window_ = nullptr;
    ThreadQueueId queue_ = 0;
};

void CrossThreadSend(benchmark::State& state) {
    RealClock clock;
    WindowSystem system(clock);
    LoopThread loop(system);
    const HWND target = loop.window().hwnd();
    std::vector<double> micros;
    micros.reserve(1 << 20);
    WPARAM value = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        LRESULT answer = system.SendMessage(target, kEcho, value);
        auto end = std::chrono::steady_clock::now();
        if (answer != static_cast<LRESULT>(value + 1)) state.SkipWithError("wrong answer");
        ++value;
        if (micros.size() < micros.capacity()) {
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
    }
    if (micros.empty()) return;
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["mean_us"] = std::accumulate(micros.begin(), micros.end(), 0.0) / micros.size();
    state.counters["sends_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(CrossThreadSend)->UseRealTime()->MinTime(1.0);

void PostThroughput(benchmark::State& state) {
    RealClock clock;
    WindowSystem system(clock);
    LoopThread loop(system);
    const HWND target = loop.window().hwnd();
    const std::int64_t batch = state.range(0);
    std::int64_t sent = 0;
    for (auto _ : state) {
        for (std::int64_t i = 0; i < batch; ++i) system.PostMessage(target, kCount, ++sent);
        // The last of the batch handled: every earlier one was (posts keep their order).
        while (loop.window().counted.load(std::memory_order_acquire) != sent) {
            std::this_thread::yield();
        }
    }
    state.SetItemsProcessed(state.iterations() * batch);
    state.counters["posts_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * batch), benchmark::Counter::kIsRate);
}
BENCHMARK(PostThroughput)->Arg(10000)->UseRealTime()->MinTime(1.0);

}  // namespace
