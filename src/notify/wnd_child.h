#pragma once
// CWndChild: the main panel, the child window of the host's client area that carries the
// post-login interface. It is also the window every part of the client sends its
// notifications to: WM_IM_NOTIFY from the notification thread, the animated-picture and mail
// callbacks, and the message-pick hot key.
//
// This is the panel's frame. The notification handling (UI subcodes), the panes and the
// session timers are built on it by later work through `notifyHandler`.

#include <functional>
#include <optional>

#include "core/client_context.h"
#include "os/ui/window.h"

class CWndChild final : public os::Window {
  public:
    // The main panel's timer of the session (killed at every session end).
    static constexpr std::uint64_t kSessionTimerId = 3;

    explicit CWndChild(core::ClientContext& context);

    // Creates the panel as a child of `parent` (the host's client window) covering `rect`.
    bool Create(os::HWND parent, const os::Rect& rect, bool visible);

    // The hot key id WM_HOTKEY carries for "Pick Message Key" (the atom); 0 = none.
    void SetPickHotKeyId(int id) { pickHotKeyId_ = id; }

    // Handles WM_IM_NOTIFY, WM_IM_NOTIFY_COPY, WM_GIFOLE_NOTIFY, WM_MAIL_NOTIFY and any other
    // message the panel does not handle itself; answers the result, or nothing to let the
    // default handling answer.
    using MessageHandler =
        std::function<std::optional<os::LRESULT>(os::UINT, os::WPARAM, os::LPARAM)>;
    MessageHandler notifyHandler;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    core::ClientContext& context_;
    int pickHotKeyId_ = 0;
};
