#pragma once
// The door to the main window shell: tool bar, channel tabs and windows, panes, tool tips.

#include <cstdint>
#include <string>

#include "os/ui/hwnd.h"
#include "os/ui/messages.h"

namespace core {

class MainWindowShell {
  public:
    virtual ~MainWindowShell() = default;
    virtual void InitToolTip() {}
    // Keys on the host main window go to the tool bar and then to the first channel window.
    virtual void ToolBarKeyDown(int /*key*/, int /*flags*/) {}
    virtual void ChannelWindowKeyDown(int /*key*/, int /*flags*/) {}
    virtual bool ToolBarPreTranslateMessage(os::Msg& /*message*/) { return false; }
    // A click at `window` while a user is logged in: the tool bar closes its pop-up pane
    // unless the click was on that pane.
    virtual void CloseToolBarPopupUnlessOn(os::HWND /*window*/) {}
    virtual void ShowPresenceOnToolBar(const std::string& /*presenceWord*/) {}
    // After a successful login: the tool bar's mail count, the channel tabs, the host's tab
    // menu (WM_HOST_TABS), the user's nickname and presence on the tool bar and the main
    // panel's new session.
    virtual void StartSession() {}
    // The last step of a successful login: the auxiliary window, on a thread of its own,
    // until the session ends (CloseAuxiliaryWindow).
    virtual void OpenAuxiliaryWindow() {}
    // The main window shows its logged-in layout: the staggered start of the session on the
    // main panel's timers; StopAfterLogin when it switches back. A timer of the main panel
    // goes to OnMainPanelTimer: true when it was one of the start's.
    virtual void StartAfterLogin() {}
    virtual void StopAfterLogin() {}
    virtual bool OnMainPanelTimer(std::uint64_t /*id*/) { return false; }
    // Closing all windows: pop-ups of the owned child windows, the session's images.
    virtual void ClosePanePopups() {}
    virtual void DropSessionImages() {}
    virtual void StopOwnedMembers() {}
    virtual bool PhoneFlag() { return false; }
    virtual void ResetPhonePanes() {}
    // The phone pane starts accepting calls.
    virtual void StartPhoneAcceptance() {}
    // The count of new mails the server reported.
    virtual void ShowMailCountOnToolBar(int /*count*/) {}
    // Session end.
    virtual void MarkSidePaneClosing() {}
    virtual void CloseAuxiliaryWindow() {}
    virtual void DropSessionData() {}
    virtual void StopSessionMembers() {}
    virtual void KillContactPaneTimer() {}
    virtual void RecreateSessionObject() {}
};

}  // namespace core
