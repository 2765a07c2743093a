#pragma once
// The door to the message history window and the real-time OA notices.

#include <string>

#include "core/pending_messages.h"
#include "os/ui/hwnd.h"

namespace core {

class HistoryService {
  public:
    virtual ~HistoryService() = default;
    // The message history window, or a null handle when it is not open.
    virtual os::HWND Window() { return {}; }
    // A key while the history window is the foreground window: its handler's answer.
    virtual int OnKeyDown(int /*key*/, int /*flags*/) { return 0; }
    // Opens the history window, filtered on a contact's JID (empty: everything).
    virtual void Open(const std::string& /*filterJid*/) {}
    // The window was closed by the window manager: forget it.
    virtual void Forget() {}
    // Opens the message navigation frame (list, search, export, printing), or brings it
    // forward with its list loaded again.
    virtual void OpenNavigator() {}
    // The message navigation frame, or a null handle when it is not open.
    virtual os::HWND NavigatorWindow() { return {}; }
    // Shows a real-time OA notice taken from the pending queue: opens the notice window.
    virtual void ShowOaNotice(const QueuedMessage& /*notice*/) {}
    // A real-time OA notice arrived (its XML body in `notice.content`): store and announce it.
    virtual void OnOaNotice(const QueuedMessage& /*notice*/) {}
};

}  // namespace core
