#include "host_api/auxiliary_window.h"

#include <atomic>

#include "os/sys/event.h"
#include "os/ui/messages.h"
#include "os/ui/window.h"
#include "os/ui/window_system.h"

namespace {

// Ends its thread's loop when it goes.
class AuxiliaryWnd final : public os::Window {
  public:
    using os::Window::Window;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override {
        if (message == os::WM_DESTROY) system().PostQuitMessage(0);
        return os::Window::OnMessage(message, wParam, lParam);
    }
};

}  // namespace

struct AuxiliaryWindow::Shared {
    explicit Shared(os::Clock& clock) : ready(clock, os::EventReset::Manual) {}
    os::Event ready;  // set once the thread has made its window, or failed to
    std::atomic<os::HWND> hwnd{};
    std::atomic<os::ThreadQueueId> queue{0};
};

AuxiliaryWindow::AuxiliaryWindow(os::WindowSystem& windows, os::Clock& clock)
    : windows_(windows), clock_(clock) {}

AuxiliaryWindow::~AuxiliaryWindow() { Close(); }

bool AuxiliaryWindow::Open() {
    if (thread_.Joinable()) return true;
    windows_.RegisterClass(kClassName);  // false once it is registered: that is fine
    shared_ = std::make_shared<Shared>(clock_);
    thread_ =
        os::Thread("qorv-aux-window", [shared = shared_, &windows = windows_](std::stop_token) {
            shared->queue = windows.CurrentThreadQueueId();
            AuxiliaryWnd window(windows);
            os::Window::CreateParams params;
            params.className = std::string(kClassName);
            const bool made = window.Create(params);
            if (made) shared->hwnd = window.hwnd();
            shared->ready.Set();
            if (!made) return;
            windows.Run();
            shared->hwnd = os::HWND{};
            // A loop ended by a quit message before the window went: it goes on this thread.
            window.DestroyWindow();
        });
    shared_->ready.Wait(kStartWaitMs);
    if (windows_.IsWindow(shared_->hwnd.load())) return true;
    Close();
    return false;
}

void AuxiliaryWindow::Close() {
    if (!thread_.Joinable()) return;
    shared_->ready.Wait(os::kInfinite);  // the thread sets it whether or not its window was made
    const os::HWND window = shared_->hwnd.load();
    if (windows_.IsWindow(window)) windows_.SendMessage(window, os::WM_CLOSE);
    // The window may have gone already without its loop ending: ask the loop itself.
    if (const os::ThreadQueueId queue = shared_->queue.load(); queue != 0) {
        windows_.PostThreadMessage(queue, os::WM_QUIT);
    }
    thread_.WaitEnded(clock_, os::kInfinite);
    thread_ = os::Thread();
    shared_.reset();
}

os::HWND AuxiliaryWindow::hwnd() const { return shared_ ? shared_->hwnd.load() : os::HWND{}; }
