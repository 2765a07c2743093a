#pragma once
// CWindowManager: the top of the client. It owns the main panel and the login panel, the
// registry of open chat windows, the pending-message queue and the session flags; it runs
// the start-up (InitWindows), the log-out and session end, and the tear-down (FreeWindows),
// and every exported function of the library reaches one of its methods.
//
// The library keeps one, `theWindowManager` (globals.h), built when the library is loaded;
// each test builds its own on a TestClientWorld. The constructor only builds members: no
// window, hook, hot key or network work happens before InitWindows. All methods run on the
// UI thread (the thread that called InitWindows) unless IWindowManager says otherwise.
//
// The steps that belong to other subsystems go through the doors of the context
// (ClientContext::doors, core/doors.h); InitWindows first names in the log every door that
// nothing plugged in. Each chat window it makes gets the manager's chat doors (ChatDoors):
// the client's one shake memory and whatever ClientSubsystems plugged in there. Each step of
// the start-up, log-out, session-end and tear-down sequences is recorded through
// ClientContext::trace under a short name, so their order can be observed.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/chat_window_registry.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "os/ui/messages.h"
#include "os/ui/window_system.h"

class CDlgLogin;
class CWndChild;
namespace chat {
enum class ChatMode;
struct ChatDoors;
class ShakeMemory;
}  // namespace chat
namespace contacts {
class ContactTrees;
}
namespace core {
struct ContactSelection;
}
class IpMsgPlugin;
class DelayedSwitch;

namespace os {
class SharedMemory;
}

class CWindowManager final : public core::IWindowManager {
  public:
    explicit CWindowManager(core::ClientContext& context);
    ~CWindowManager() override;
    CWindowManager(const CWindowManager&) = delete;
    CWindowManager& operator=(const CWindowManager&) = delete;

    core::ClientContext& context() const { return context_; }

    // ---- Lifecycle and host plumbing
    void InitWindows(os::HWND hostMainWnd, os::HWND hostClientWnd);
    void FreeWindows();
    // Resizes the main panel and the login panel (those that exist) without moving them.
    void RecalcClientSize(int cx, int cy);
    // Asks the host to reskin every chat window and the open message history window.
    void SkinReload();
    // Keyboard routing for a key pressed anywhere in the client; non-zero when consumed.
    int OnKeyDown(int key, int flags);
    // kind 0: login panel, 1: main tool bar, 2 and 3: the active window; other kinds answer
    // true.
    bool PreTranslateMessageForMenu(os::Msg& message, int kind);
    // Kind 1: whether `text` is the account logged in; kind 4: whether anyone is logged in;
    // other kinds: a command line to act on (the answer is then 0).
    int OnIMParam(int kind, std::string_view text);
    int GetVcardVersion();

    // ---- Session
    void UserLogin();
    bool CanLogout();
    bool IsLogined() const { return IsLoggedIn(); }
    int GetLoginStat() const;
    std::uint32_t GetLoginWaitTimeOut() const;
    void SetLoginWaitTimeOut(std::uint32_t milliseconds);
    void ShowLoginingText1(std::string_view text);
    void ChanngeStatus(std::string_view presenceWord);
    bool IsGoverUser();
    std::string GetUserNameA();
    std::string GetECPUserAccount();

    // ---- Windows and dialogs
    void ShowChatWindow() { PickNextPendingMessage(core::PickTrigger::Host); }
    void ShowBatchChatWindow();
    void ShowSendSmsWindow(int mode);
    void ShowBatchMailWindow();
    void ShowMsgManagerWindow();
    void ShowSetWindow(int page);
    void ShowChangePersonInfoWindow();
    void ShowWebAdminManagerWindow();
    int ShowSearchDialog();
    void ShowNoticeIEWindow();
    void ShowMailMonitor();

    // ---- Contacts and groups
    void ShowAddMobileContact(std::string_view mobileNumber);
    void CallUserChat();
    void CallUserMsgHistory();
    struct OwnNumbers {
        std::string jid, tel, workPhone, homePhone, businessPhone, mobilePhone2;
    };
    OwnNumbers GetUserInfo();

    // ---- Telephone, SMS and softphone
    void CallContactTel();
    // kind 1: the mobile number, any other: the work number.
    void CallPhone(int kind);
    void CallContactMail();
    struct SelectedNumbers {
        std::string tel, workPhone, homePhone, businessPhone, mobile;
    };
    SelectedNumbers GetCurSelUserTel();
    void SetAcceptRegual(int flag);
    void ReceiveSMSMsg(std::string_view senderNumber, std::string_view content,
                       std::string_view time, std::string_view senderName);

    // ---- Gateway presence
    enum class MsnStatus { Online, Busy, Away, Leave, Call, Repast };
    void SendMsnStatus(MsnStatus status);
    bool CanSendMsnMsg();

    // ---- core::IWindowManager
    os::HWND HostMainWnd() const override;
    os::HWND HostClientWnd() const override;
    os::HWND MainPanel() const override;
    os::HWND LoginPanel() const override;
    core::ChatWindow* FindChatWindow(std::string_view jid, platform::JidMatch match) override;
    void AddChatWindow(core::ChatWindow& window) override;
    void RemoveChatWindow(core::ChatWindow& window) override;
    std::vector<core::ChatWindow*> ChatWindows() const override;
    core::ChatWindow* OpenChatWindow(std::string_view jid) override;
    core::ChatWindow* OpenSmsChatWindow(std::string_view jid) override;
    bool CloseChatWindow(std::string_view jid) override;
    bool IsSameUser(std::string_view a, std::string_view b, platform::JidMatch match) override;
    // Logged (level 3), naming the contact, the vCard's name and the tree.
    void OnContactNameDiffers(std::string_view jid, std::string_view vcardName,
                              std::string_view treeName) override;
    core::PendingMessageQueue& PendingMessages() override { return pending_; }
    void PickNextPendingMessage(core::PickTrigger trigger) override;
    bool AnyConversationOpen() override;
    core::SessionFlags& Flags() override { return flags_; }
    bool IsLoggedIn() const override;
    void SwitchInterface(core::ClientInterface face) override;
    void UserLogout() override;
    void EndSession() override;
    void KeepAccountMutex(std::unique_ptr<os::NamedMutex> mutex) override;
    bool HoldsAccountMutex() const override;
    std::span<char> SharedBlock() override;
    bool WriteSharedFlag(std::string_view text) override;

    // The doors plugged into every chat window the manager makes (the shake memory is the
    // manager's own); plug into them before the windows are made.
    chat::ChatDoors& chatDoors() const { return *chatDoors_; }

    // The contact trees that new chat windows find their contacts in (null: none).
    void SetContactTrees(contacts::ContactTrees* trees) { contactTrees_ = trees; }
    contacts::ContactTrees* contactTrees() const { return contactTrees_; }
    // Writes the cache files of the buddy list, the phone book and the directory that changed
    // or have none (contacts/contact_cache_files.h); at log-out while the user is known.
    void SaveContactCaches();

    // ---- For the host side and tests
    CDlgLogin* loginPanel() const { return loginPanel_.get(); }
    CWndChild* mainPanel() const { return mainPanel_.get(); }
    IpMsgPlugin* plugin() const { return plugin_.get(); }
    // The login server index the session started with (SharedUtil's nServerSel).
    int currentServerIndex() const { return currentServerIndex_; }
    int initialServerIndex() const { return initialServerIndex_; }
    // Closes all windows (see the session end); `final` at program end and user log-out.
    void CloseAllWindows(bool final);
    // Sends WM_CLOSE to every top-level window titled as one of the client's dialogs.
    void CloseNamedDialogs();
    // Waits until a delayed interface switch whose wait is over has handed the switch to the
    // UI thread (which then runs it when it pumps). Returns at once when none is running.
    void WaitForDelayedSwitch();

  private:
    void Step(std::string_view name) const { context_.Trace(name); }
    void Log(std::string_view text) const;
    void Log2(int level, std::string_view text) const;
    // Names in the log each door of the context and of the chat windows that nothing plugged.
    void LogUnpluggedDoors() const;
    // InitWindows steps that need more than a line.
    void RegisterWindowClasses();
    void InstallMessageHook();
    void OpenSharedBlock();
    void CreatePanels();
    void RegisterPickHotKey();
    void CreateCacheFolder();
    void LoadPlugin();
    // The message hook.
    void OnHookedMessage(os::Msg& message);
    // The last step of the interface switch: which panel shows.
    void ShowInterface(core::ClientInterface face);
    void StartDelayedSwitch(std::uint32_t waitMs);
    void FinishDelayedSwitch();
    void PostTrayState();
    // OpenChatWindow in either mode.
    core::ChatWindow* OpenChatWindowIn(std::string_view jid, chat::ChatMode mode);
    // The selected user of the focused contact tree, or nothing (with a log line).
    std::optional<core::ContactSelection> SelectedUser();

    core::ClientContext& context_;
    core::SessionFlags flags_;
    core::PendingMessageQueue pending_;

    core::ChatWindowRegistry chatWindows_;
    std::unique_ptr<chat::ShakeMemory> shakes_;
    std::unique_ptr<chat::ChatDoors> chatDoors_;

    // Read from any thread; written on the UI thread.
    std::atomic<os::HWND> hostMainWnd_{};
    std::atomic<os::HWND> hostClientWnd_{};
    std::atomic<os::HWND> mainPanelWnd_{};
    std::atomic<os::HWND> loginPanelWnd_{};

    std::unique_ptr<CWndChild> mainPanel_;
    std::unique_ptr<CDlgLogin> loginPanel_;
    std::unique_ptr<os::SharedMemory> sharedBlock_;
    std::unique_ptr<IpMsgPlugin> plugin_;
    std::unique_ptr<os::NamedMutex> accountMutex_;
    std::unique_ptr<DelayedSwitch> delayedSwitch_;
    os::ATOM hotKeyAtom_ = 0;
    bool hotKeyRegistered_ = false;
    os::HookId messageHook_ = 0;
    int currentServerIndex_ = 0;
    int initialServerIndex_ = 0;
    contacts::ContactTrees* contactTrees_ = nullptr;
};
