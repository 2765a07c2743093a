#include "host_api/main_window_session.h"

#include "core/client_context.h"
#include "core/doors.h"
#include "core/window_manager.h"
#include "core/window_messages.h"
#include "os/services/log.h"
#include "os/ui/window_system.h"

MainWindowSession::MainWindowSession(core::ClientContext& context)
    : context_(context), auxiliary_(context.windows, context.clock), startup_(context, [&context] {
          return context.hasWindowManager() ? context.windowManager().MainPanel() : os::HWND{};
      }) {}

MainWindowSession::~MainWindowSession() = default;

core::MainWindowShell& MainWindowSession::panes() const { return *context_.doors().shellPanes; }

void MainWindowSession::StartSession() {
    // The tool bar and the channel tabs take the session first, so the host's tab menu is
    // rebuilt from the refreshed tabs.
    panes().StartSession();
    if (context_.hasWindowManager()) {
        context_.windows.SendMessage(context_.windowManager().HostMainWnd(), core::WM_HOST_TABS);
    }
}

void MainWindowSession::OpenAuxiliaryWindow() {
    if (!auxiliary_.Open()) context_.log.WriteLog("创建辅助窗口失败");
}

void MainWindowSession::CloseAuxiliaryWindow() { auxiliary_.Close(); }

void MainWindowSession::StartAfterLogin() { startup_.StartAfterLogin(); }
void MainWindowSession::StopAfterLogin() { startup_.Stop(); }
bool MainWindowSession::OnMainPanelTimer(std::uint64_t id) { return startup_.OnTimer(id); }

void MainWindowSession::InitToolTip() { panes().InitToolTip(); }
void MainWindowSession::ToolBarKeyDown(int key, int flags) { panes().ToolBarKeyDown(key, flags); }
void MainWindowSession::ChannelWindowKeyDown(int key, int flags) {
    panes().ChannelWindowKeyDown(key, flags);
}
bool MainWindowSession::ToolBarPreTranslateMessage(os::Msg& message) {
    return panes().ToolBarPreTranslateMessage(message);
}
void MainWindowSession::CloseToolBarPopupUnlessOn(os::HWND window) {
    panes().CloseToolBarPopupUnlessOn(window);
}
void MainWindowSession::ShowPresenceOnToolBar(const std::string& presenceWord) {
    startup_.NotePresence(presenceWord);  // every change of the user's presence shows here
    panes().ShowPresenceOnToolBar(presenceWord);
}
void MainWindowSession::ShowMailCountOnToolBar(int count) { panes().ShowMailCountOnToolBar(count); }
void MainWindowSession::ClosePanePopups() { panes().ClosePanePopups(); }
void MainWindowSession::DropSessionImages() { panes().DropSessionImages(); }
void MainWindowSession::StopOwnedMembers() { panes().StopOwnedMembers(); }
bool MainWindowSession::PhoneFlag() { return panes().PhoneFlag(); }
void MainWindowSession::ResetPhonePanes() { panes().ResetPhonePanes(); }
void MainWindowSession::StartPhoneAcceptance() { panes().StartPhoneAcceptance(); }
void MainWindowSession::MarkSidePaneClosing() { panes().MarkSidePaneClosing(); }
void MainWindowSession::DropSessionData() { panes().DropSessionData(); }
void MainWindowSession::StopSessionMembers() { panes().StopSessionMembers(); }
void MainWindowSession::KillContactPaneTimer() { panes().KillContactPaneTimer(); }
void MainWindowSession::RecreateSessionObject() { panes().RecreateSessionObject(); }
