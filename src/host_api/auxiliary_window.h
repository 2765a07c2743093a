#pragma once
// The window manager's auxiliary window: a hidden window that runs on a thread of its own,
// made at the end of a successful login and closed at the session end. What it is used for
// belongs to the main window's components; here it exists, runs its own loop and goes.
//
// The thread uses the world's window system and clock by reference, so its owner waits for it
// to end (Close, or the destructor) and goes before the world.

#include <memory>
#include <string_view>

#include "os/sys/thread.h"
#include "os/ui/hwnd.h"

namespace os {
class Clock;
class WindowSystem;
}  // namespace os

class AuxiliaryWindow {
  public:
    static constexpr std::string_view kClassName = "QorvAuxiliaryWindow";
    // The longest Open waits for the thread to have made its window.
    static constexpr os::Millis kStartWaitMs = 5000;

    AuxiliaryWindow(os::WindowSystem& windows, os::Clock& clock);
    // Closes the window, as Close does.
    ~AuxiliaryWindow();
    AuxiliaryWindow(const AuxiliaryWindow&) = delete;
    AuxiliaryWindow& operator=(const AuxiliaryWindow&) = delete;

    // Starts the thread and waits until its window exists; false (and no thread left) when it
    // could not be made. True at once when it is open already.
    bool Open();
    // Sends the window WM_CLOSE, ends its loop and waits for the thread to end.
    void Close();
    // The window while it is open (null otherwise).
    os::HWND hwnd() const;

  private:
    struct Shared;
    os::WindowSystem& windows_;
    os::Clock& clock_;
    std::shared_ptr<Shared> shared_;
    os::Thread thread_;
};
