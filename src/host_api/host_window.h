#pragma once
// The host's two windows inside the library's window system: the top-level frame and the
// client window that fills it. Every message they receive goes to the host's handler
// (QorvSetHostHandler); what the handler does not answer gets the default handling.

#include <atomic>

#include "os/ui/window.h"
#include "qorvdesk/host.h"

class HostWindows;

class HostWindow final : public os::Window {
  public:
    HostWindow(os::WindowSystem& system, const HostWindows& owner);

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    const HostWindows& owner_;
};

// The window classes of the host's windows.
inline constexpr const char* kHostFrameClass = "QorvdeskHostFrame";
inline constexpr const char* kHostClientClass = "QorvdeskHostClient";

class HostWindows {
  public:
    explicit HostWindows(os::WindowSystem& system) : system_(system) {}

    void SetHandler(QorvHostHandler handler, void* user);
    // Calls the handler; false when there is none.
    bool Handle(os::HWND window, os::UINT message, os::WPARAM wParam, os::LPARAM lParam,
                os::LRESULT& result) const;

    // Null handle on failure. Call on the UI thread.
    os::HWND CreateFrame(const char* title, const os::Rect& rect);
    os::HWND CreateClient(os::HWND frame);

  private:
    os::WindowSystem& system_;
    std::atomic<QorvHostHandler> handler_{nullptr};
    std::atomic<void*> user_{nullptr};
};
