#pragma once
// The window manager's doors to the work of other subsystems. The window manager runs the
// client's start-up, log-out and tear-down and answers the host's exports; many steps of
// those belong to a subsystem of their own (the notification pump, the contact trees, the
// rooms, the history window, the imported feature libraries...). Each such subsystem offers
// its part through one interface here; the window manager calls the interface and never the
// subsystem's classes, so the order of the steps is fixed in one place and each subsystem
// fills its own interface as it is built.
//
// Every method has a harmless default (does nothing, answers "no" / 0 / empty), the
// behaviour of a client without that subsystem. A subsystem derives from its interface,
// overrides what it provides and is plugged into ClientContext::services by whoever builds
// the world. All methods run on the UI thread.

#include <optional>
#include <string>

#include "core/pending_messages.h"
#include "os/ui/hwnd.h"
#include "os/ui/messages.h"

namespace core {

// ---- The notification pump (theBaseProxy): events, the notification thread, the engine.
class NotificationPump {
  public:
    virtual ~NotificationPump() = default;
    // Creates the events, starts the notification thread and calls SessionCore Init with
    // them; answers what Init answered.
    virtual int Init() { return 0; }
    // SessionCore Free, then stops the notification thread (waiting at most 200 ms).
    virtual void Free() {}
    // At a session end: makes sure the notification thread has ended, then closes and
    // forgets its events and thread; the next login creates them anew.
    virtual void CloseSessionHandles() {}
    // Whether the notification thread runs (a login starts it when it does not).
    virtual bool ThreadRunning() const { return false; }
    // Hands a message to the incoming-message handling as if the engine had delivered it.
    virtual void HandleIncomingMessage(const QueuedMessage& /*message*/) {}
};

// The selected node of the contact tree that has the focus, as the exports read it.
struct ContactSelection {
    enum class Kind { User, Group };
    Kind kind = Kind::User;
    std::string jid;
    std::string name;      // display name of the user or group
    std::string presence;  // presence word of a user
    std::string tel;
    std::string workPhone;
    std::string homePhone;
    std::string businessPhone;
    std::string mobile;
    std::string email;
    std::string groupMailList;  // a group's members' mail addresses, as the mail form takes them
};

// ---- The contact trees and the contact and group dialogs.
class ContactService {
  public:
    virtual ~ContactService() = default;
    // The selected node of the focused tree, or nothing.
    virtual std::optional<ContactSelection> Selection() { return std::nullopt; }
    virtual int VcardVersion() { return 0; }
    virtual void ShowAddContact() {}
    virtual void ShowAddContactFromCurrentItem(int /*flag*/) {}
    // Adds a number to the phone book group "未分组" (the user has agreed already).
    virtual void AddMobileToPhoneBook(const std::string& /*number*/) {}
    virtual std::string UserNameByPhone(const std::string& /*number*/) { return {}; }
    virtual void ShowContactInfo(bool /*ownDetails*/) {}
    virtual void ShowModifyContact() {}
    virtual void ShowDelContact() {}
    virtual bool CanAddContact() { return false; }
    virtual bool CanNewGroup() { return false; }
    virtual bool CanModifyContact() { return false; }
    virtual bool CanDelContact() { return false; }
    virtual bool CanModifyGroup() { return false; }
    virtual bool CanDeleteGroup() { return false; }
    virtual void ShowNewGroup() {}
    virtual void ShowNewGroupAtRoot() {}
    virtual void ShowModifyGroup() {}
    virtual void ShowDeleteGroup() {}
    virtual void SetGroupSortPlan(int /*plan*/) {}
    virtual int GetGroupSortPlan() { return 0; }
    virtual void RefreshGroup(int /*value*/) {}
    virtual void RefreshContact(int /*value*/) {}
    virtual void ShowImportAddressList(bool /*flag*/) {}
    virtual void ShowExportAddressList(bool /*flag*/) {}
    virtual void DelRecentContact() {}
    virtual void ShowAddNewPhoneDialog() {}
    virtual int ShowSearchDialog() { return 0; }
    // The user leaves while a dialog works on the server: stop that work and forget it.
    virtual void StopServerWork() {}
    // A session ends: empty the contact trees (the recent-contacts tree too when asked) after
    // saving the caches that changed.
    virtual void EmptyContactTrees(bool /*withRecentContacts*/) {}
};

// ---- The conference centre: the rooms and their windows.
class RoomService {
  public:
    virtual ~RoomService() = default;
    virtual void Init() {}
    virtual void LeaveAllRooms() {}
    // After a reconnect: enter again the rooms of the session that was lost.
    virtual void ReenterLostRooms() {}
    virtual void ShowConferenceProperty() {}
    virtual void ShowConferenceCreate() {}
    virtual void ShowConferenceLogout() {}
    virtual void ShowConferenceListRefresh() {}
    // A key for the room window `room` (the foreground window); true when consumed.
    virtual bool OnRoomKeyDown(os::HWND /*room*/, int /*key*/, int /*flags*/) { return false; }
};

// ---- The message history window and the real-time OA notices.
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
    // Shows a real-time OA notice taken from the pending queue.
    virtual void ShowOaNotice(const QueuedMessage& /*notice*/) {}
};

// ---- The batch message and SMS composer.
class BatchService {
  public:
    virtual ~BatchService() = default;
    virtual void ShowBatchChatWindow() {}
    virtual void ShowSendSmsWindow(int /*mode*/) {}
};

// ---- The user's own settings file, the settings dialog and the phone settings.
class SettingsService {
  public:
    virtual ~SettingsService() = default;
    virtual void SaveUserSettings() {}
    // The settings dialog, or a null handle when none is open.
    virtual os::HWND SettingsDialog() { return {}; }
    // Runs the settings dialog modally on `page`.
    virtual void RunSettingsDialog(int /*page*/) {}
    virtual void DestroySettingsDialog() {}
    virtual void ClearCurPhones() {}
    virtual std::string CurBindPhone() { return {}; }
    virtual std::string IsSoftPhone() { return {}; }
};

// ---- Web pages and forms: the browser opener, the administration and bulletin pages.
class WebService {
  public:
    virtual ~WebService() = default;
    // Opens `url` in the browser, posting `formBody` (application/x-www-form-urlencoded).
    virtual void OpenFormInBrowser(const std::string& /*url*/, const std::string& /*formBody*/) {}
    virtual void ShowWebAdminManagerWindow() {}
    virtual void ShowNoticeIEWindow() {}
};

// ---- Start parameters: the command line and the requests of a second start.
class StartParameters {
  public:
    virtual ~StartParameters() = default;
    // Parses the start command line (empty: the process's own).
    virtual void Parse(const std::string& /*commandLine*/) {}
    // A request that carries a command line: parse it, then log in or act on it.
    virtual void Act(const std::string& /*commandLine*/) {}
};

// ---- File updates and the program update check.
class UpdateService {
  public:
    virtual ~UpdateService() = default;
    virtual void ApplyPendingFileUpdates() {}
    virtual void CheckProgramUpdate() {}
};

// ---- The main window shell: tool bar, channel tabs and windows, panes, tool tips.
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
    // Closing all windows: pop-ups of the owned child windows, the session's images.
    virtual void ClosePanePopups() {}
    virtual void DropSessionImages() {}
    virtual void StopOwnedMembers() {}
    virtual bool PhoneFlag() { return false; }
    virtual void ResetPhonePanes() {}
    // The phone pane starts accepting calls.
    virtual void StartPhoneAcceptance() {}
    // Session end.
    virtual void MarkSidePaneClosing() {}
    virtual void CloseAuxiliaryWindow() {}
    virtual void DropSessionData() {}
    virtual void StopSessionMembers() {}
    virtual void KillContactPaneTimer() {}
    virtual void RecreateSessionObject() {}
};

// ---- The imported feature libraries: animated faces, mail panel, customer service, audio,
// monitoring, network disk and the softphone.
class FeatureLibraries {
  public:
    virtual ~FeatureLibraries() = default;
    virtual void GifOleInit(os::HWND /*callbackWindow*/, os::UINT /*message*/) {}
    virtual void GifOleUninit() {}
    virtual void MailPanelSetCallBack(os::HWND /*callbackWindow*/, os::UINT /*message*/) {}
    virtual void MailPanelShowMainWindow() {}
    virtual void MailPanelClose() {}
    virtual void AudioUnregister() {}
    virtual void WatchStopMonitor() {}
    // Customer service (ServiceDesk).
    virtual void CustomerServiceClear() {}
    virtual void CustomerServiceFree() {}
    virtual bool CustomerServiceWindowExists() { return false; }
    // Answers whether the key was handled.
    virtual bool CustomerServiceKeyDown(int /*key*/, int /*flags*/) { return false; }
    virtual bool CustomerServiceIsChatWindow(os::HWND /*window*/) { return false; }
    virtual int CustomerServiceChatKeyDown(int /*key*/, int /*flags*/) { return 0; }
    virtual int CustomerServiceChatingCount() { return 0; }
    // Network disk.
    virtual int ShowShareDialog(int /*kind*/, void* /*owner*/) { return 0; }
    virtual int RemoveShareDialog(void* /*dialog*/) { return 0; }
    virtual bool SetShareNetDisk(const std::string& /*path*/, const std::string& /*users*/,
                                 int /*rights*/) {
        return false;
    }
    // Softphone.
    virtual void BindPhone(const std::string& /*number*/, int /*flag*/) {}
    virtual void Dial(const std::string& /*number*/) {}
};

// One door per subsystem; never null (the defaults above when nothing is plugged in).
struct Services {
    Services();

    NotificationPump* pump;
    ContactService* contacts;
    RoomService* rooms;
    HistoryService* history;
    BatchService* batch;
    SettingsService* settings;
    WebService* web;
    StartParameters* startParameters;
    UpdateService* updates;
    MainWindowShell* shell;
    FeatureLibraries* libraries;
};

}  // namespace core
