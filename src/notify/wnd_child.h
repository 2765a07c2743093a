#pragma once
// CWndChild: the main panel, the child window of the host's client area that carries the
// post-login interface. It is also the window every part of the client sends its
// notifications to: WM_IM_NOTIFY from the notification thread, the animated-picture and mail
// callbacks, and the message-pick hot key.
//
// WM_IM_NOTIFY and WM_IM_NOTIFY_COPY go to the notification handlers it is attached to (the
// one dispatch entry point of the panel): a record subcode (dispatch_table.h) to the UI
// handler of the record's type code, the copy of a Copy route to that code's copy handler,
// any other subcode to its subcode handler. The panes and the session timers are built on it
// by later work.

#include <memory>
#include <optional>

#include "core/client_context.h"
#include "os/ui/window.h"

namespace notify {
class NotificationHandlers;
}

class CWndChild final : public os::Window {
  public:
    // The main panel's timer of the session (killed at every session end).
    static constexpr std::uint64_t kSessionTimerId = 3;

    explicit CWndChild(core::ClientContext& context);

    // Creates the panel as a child of `parent` (the host's client window) covering `rect`.
    bool Create(os::HWND parent, const os::Rect& rect, bool visible);

    // The hot key id WM_HOTKEY carries for "Pick Message Key" (the atom); 0 = none.
    void SetPickHotKeyId(int id) { pickHotKeyId_ = id; }

    // Hands the panel's notifications to `handlers` (in place of any it had). The panel keeps
    // only a weak reference: once they are gone, notifications get the default handling.
    void AttachNotificationHandlers(std::weak_ptr<notify::NotificationHandlers> handlers) {
        handlers_ = std::move(handlers);
    }

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    // The answer to WM_IM_NOTIFY / WM_IM_NOTIFY_COPY; nothing when no handler takes it.
    std::optional<os::LRESULT> OnNotify(notify::NotificationHandlers& handlers, os::UINT message,
                                        os::WPARAM wParam, os::LPARAM lParam);

    core::ClientContext& context_;
    int pickHotKeyId_ = 0;
    std::weak_ptr<notify::NotificationHandlers> handlers_;
};
