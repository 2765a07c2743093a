#pragma once
// MainWindowSession: the main window shell of this client (core::MainWindowShell), as far as
// it is built: at a login it has the host rebuild its tab menu (WM_HOST_TABS) and opens the
// window manager's auxiliary window on a thread of its own, which the session end closes.
// The tool bar, the channel tabs and the panes of the main window are reached through the
// door `panes` (the context's shellPanes), which waits for them: every step that is theirs
// goes there, in the order the window manager and the login panel ask for it.
//
// ClientSubsystems owns it and plugs it into the context's shell door. UI thread only.

#include "core/door.h"
#include "core/doors/main_window_shell.h"
#include "host_api/auxiliary_window.h"
#include "login/startup_timers.h"

namespace core {
class ClientContext;
}

class MainWindowSession final : public core::MainWindowShell {
  public:
    explicit MainWindowSession(core::ClientContext& context);
    // Closes the auxiliary window if it is open.
    ~MainWindowSession() override;
    MainWindowSession(const MainWindowSession&) = delete;
    MainWindowSession& operator=(const MainWindowSession&) = delete;

    // The auxiliary window while it is open (null otherwise).
    os::HWND AuxiliaryWindowHandle() const { return auxiliary_.hwnd(); }

    void StartSession() override;
    void OpenAuxiliaryWindow() override;
    void StartAfterLogin() override;
    void StopAfterLogin() override;
    bool OnMainPanelTimer(std::uint64_t id) override;
    // The staggered start of each session (its seams, the idle source).
    login::StartupTimers& startupTimers() { return startup_; }
    void CloseAuxiliaryWindow() override;

    // ---- The parts of the panes, passed on
    void InitToolTip() override;
    void ToolBarKeyDown(int key, int flags) override;
    void ChannelWindowKeyDown(int key, int flags) override;
    bool ToolBarPreTranslateMessage(os::Msg& message) override;
    void CloseToolBarPopupUnlessOn(os::HWND window) override;
    void ShowPresenceOnToolBar(const std::string& presenceWord) override;
    void ShowMailCountOnToolBar(int count) override;
    void ClosePanePopups() override;
    void DropSessionImages() override;
    void StopOwnedMembers() override;
    bool PhoneFlag() override;
    void ResetPhonePanes() override;
    void StartPhoneAcceptance() override;
    void MarkSidePaneClosing() override;
    void DropSessionData() override;
    void StopSessionMembers() override;
    void KillContactPaneTimer() override;
    void RecreateSessionObject() override;

  private:
    core::MainWindowShell& panes() const;

    core::ClientContext& context_;
    AuxiliaryWindow auxiliary_;
    login::StartupTimers startup_;
};
