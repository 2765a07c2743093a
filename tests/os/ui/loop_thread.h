#pragma once
// A worker thread that owns one RecordingWindow and runs its message loop. After the loop
// ends the thread stays alive (its window too) until the LoopThread is destroyed, so a test
// can look at "loop ended, thread still there".

#include <functional>
#include <future>
#include <thread>

#include "os/ui/window_system.h"
#include "support/windows/recording_window.h"

namespace ui_test {

using testing_support::RecordingWindow;

class LoopThread {
  public:
    // `setUp` runs on the worker after the window exists, before the loop.
    explicit LoopThread(os::WindowSystem& system, std::function<void(RecordingWindow&)> setUp = {})
        : system_(system) {
        std::promise<void> ready;
        auto readyFuture = ready.get_future();
        thread_ = std::thread([this, setUp = std::move(setUp), ready = std::move(ready)]() mutable {
            RecordingWindow window(system_);
            window.CreateTopLevel("worker");
            window_ = &window;
            hwnd_ = window.hwnd();
            queue_ = system_.CurrentThreadQueueId();
            if (setUp) setUp(window);
            ready.set_value();
            exitCode_ = system_.Run();
            loopEnded_.set_value();
            release_.get_future().wait();
        });
        readyFuture.wait();
    }

    ~LoopThread() {
        Quit();
        release_.set_value();
        thread_.join();
    }

    os::HWND hwnd() const { return hwnd_; }
    os::ThreadQueueId queue() const { return queue_; }
    // The window; read it only after the loop ended, or through messages to its thread.
    RecordingWindow& window() { return *window_; }

    void Quit(int code = 0) { system_.PostThreadMessage(queue_, os::WM_QUIT, code); }
    // Waits for the loop to end and answers its exit code.
    int WaitForLoopEnd() {
        if (!ended_) {
            loopEndedFuture_.wait();
            ended_ = true;
        }
        return exitCode_;
    }

  private:
    os::WindowSystem& system_;
    std::thread thread_;
    RecordingWindow* window_ = nullptr;
    os::HWND hwnd_;
    os::ThreadQueueId queue_ = 0;
    int exitCode_ = 0;
    std::promise<void> loopEnded_;
    std::future<void> loopEndedFuture_ = loopEnded_.get_future();
    bool ended_ = false;
    std::promise<void> release_;
};

}  // namespace ui_test
