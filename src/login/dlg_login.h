#pragma once
// CDlgLogin: the login panel, the child window that fills the host's client area before a
// user is logged in. Exactly one of the login panel and the main panel is visible.
//
// This is the panel's frame: its input controls, the login button (IDC_LOGIN), the progress
// label and bar that the interface switch and the login show, and the entry points the
// window manager calls. The login itself (input check, worker and watcher threads, the
// result, reconnects) is built on it by the login work, through the hooks below.
//
// The logging-in flag is the window manager's (SessionFlags::loggingIn); the panel reads and
// clears it there.

#include <functional>

#include "core/client_context.h"
#include "os/ui/window.h"

namespace os {
class Label;
class ProgressBar;
}  // namespace os

class CDlgLogin final : public os::Window {
  public:
    // Control ids.
    static constexpr int kAccountId = 9000;
    static constexpr int kPasswordId = 9001;
    static constexpr int kUserKindId = 9002;
    static constexpr int kExtraTextId = 9003;
    static constexpr int kLoginButtonId = 9004;  // IDC_LOGIN
    static constexpr int kProgressLabelId = 9140;
    static constexpr int kProgressBarId = 9141;

    explicit CDlgLogin(core::ClientContext& context);

    // Creates the panel as a child of `parent` (the host's client window) covering `rect`.
    bool Create(os::HWND parent, const os::Rect& rect, bool visible);

    // ---- Entry points of the window manager
    // Start-up is done: show the last account and log in at once when the automatic login
    // or a command-line login applies.
    void Begin();
    // The session ended by itself: log in again quietly.
    void StartAutoRelogin();
    // FreeWindows: let go of the panel's threads and named objects.
    void ReleaseResources();
    // Ends the login time-out watch of a running attempt; true when one was running.
    bool EndTimeoutWatch();
    // Tab on the host window: the next input field takes the focus.
    void FocusNextField();
    // A message for the panel's menus and keys before it is dispatched; true when consumed.
    bool PreTranslateMessage(os::Msg& message);

    // ---- Progress display
    // Shows the progress bar and the label with `text`.
    void ShowProgress(std::string text);
    // Stops and hides the progress bar and the label.
    void HideProgress();
    os::Label& progressLabel() const;
    os::ProgressBar& progressBar() const;

    bool IsLoggingIn() const;
    void SetLoggingIn(bool loggingIn);

    // ---- Hooks the login work fills (each may be empty)
    struct Hooks {
        std::function<void()> begin;
        std::function<void()> loginPressed;  // WM_COMMAND IDC_LOGIN
        std::function<void()> startAutoRelogin;
        std::function<void()> releaseResources;
        std::function<bool()> endTimeoutWatch;
        std::function<bool(os::Msg&)> preTranslateMessage;
    };
    Hooks hooks;

    // How often the login command arrived (button, UserLogin, Enter on the host window).
    int LoginCommands() const { return loginCommands_; }

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    void AddControls();

    core::ClientContext& context_;
    int loginCommands_ = 0;
};
