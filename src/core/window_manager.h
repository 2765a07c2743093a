#pragma once
// IWindowManager: the part of the window manager that the subsystems below it call.
//
// The window manager (CWindowManager, host_api/) sits at the top of the library and owns the
// client's windows: the main panel, the login panel, the registry of open chat windows, the
// pending-message queue and the flags that steer a session's end. The notification pump,
// the login panel, the contact model, the chat windows and the rest live in lower layers, and
// a static library never calls upward; so they reach the window manager through this
// interface, which they find in their ClientContext (context.windowManager()).
//
// Threads. Unless a method says otherwise, call it on the UI thread (the thread that called
// InitWindows), where every window of the client lives. Flags() and PendingMessages() may be
// used from any thread. Another thread that needs a window changed sends or posts the work
// to the main panel (os::WindowSystem::SendTask / PostTask).

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/chat_window.h"
#include "core/pending_messages.h"
#include "core/session_flags.h"
#include "os/ui/hwnd.h"
#include "platform/jid/jid.h"

namespace os {
class NamedMutex;
}

namespace core {

// The two faces of the client: the login panel before a login, the main panel after it.
enum class ClientInterface { PreLogin, PostLogin };

// Who asks for the next pending message. The hot key also brings the host window forward.
enum class PickTrigger { Host, HotKey };

// The size of the shared block "SMSGLOBLE_ENV" that other processes read.
inline constexpr std::size_t kSharedBlockSize = 176;
inline constexpr const char* kSharedBlockName = "SMSGLOBLE_ENV";

class IWindowManager {
  public:
    virtual ~IWindowManager() = default;

    // ---- Windows (any thread; a null handle before InitWindows or after FreeWindows)
    // The host's frame window: every request to the host (tray, skin, title, session) is a
    // message to it.
    virtual os::HWND HostMainWnd() const = 0;
    // The host's client area: parent of the main panel and of the login panel.
    virtual os::HWND HostClientWnd() const = 0;
    // The main panel (CWndChild): the post-login interface, and the window that receives
    // every notification handed to the UI thread (WM_IM_NOTIFY).
    virtual os::HWND MainPanel() const = 0;
    // The login panel (CDlgLogin).
    virtual os::HWND LoginPanel() const = 0;

    // ---- The chat window registry
    // The open chat window of `jid`, searching from the newest window to the oldest; null
    // when none matches.
    virtual ChatWindow* FindChatWindow(std::string_view jid, platform::JidMatch match) = 0;
    // Called by a chat window when it is created / destroyed. Removing takes out the newest
    // entry holding that window; a window that is not registered is ignored.
    virtual void AddChatWindow(ChatWindow& window) = 0;
    virtual void RemoveChatWindow(ChatWindow& window) = 0;
    // The registry, oldest first.
    virtual std::vector<ChatWindow*> ChatWindows() const = 0;
    // Shows, restores and brings forward the chat window of `jid` (loose match), or creates
    // one and asks the server for the contact's presence. Null when no window could be made.
    virtual ChatWindow* OpenChatWindow(std::string_view jid) = 0;
    // The same for a conversation in SMS mode: its text goes as short messages to the
    // contact's mobile number. An open window of `jid` is brought forward as it is.
    virtual ChatWindow* OpenSmsChatWindow(std::string_view jid) = 0;
    // Takes the chat window of `jid` (loose match) out of the registry and closes it. False
    // when none is open.
    virtual bool CloseChatWindow(std::string_view jid) = 0;
    // Jid::Equal with the session engine's GetUserType for the loose rule's SMS step.
    virtual bool IsSameUser(std::string_view a, std::string_view b, platform::JidMatch match) = 0;

    // ---- Pending messages
    virtual PendingMessageQueue& PendingMessages() = 0;
    // Shows the oldest pending message: an OA notice is taken and shown; a message of type
    // 58 is left alone; any other opens its sender's chat window with every message that
    // sender left. Then tells the host whether anything still waits.
    virtual void PickNextPendingMessage(PickTrigger trigger) = 0;
    // True when a chat window or a room window is open or a message waits: logging in as
    // someone else would drop them.
    virtual bool AnyConversationOpen() = 0;

    // ---- Session state
    virtual SessionFlags& Flags() = 0;
    // Whether a user is logged in (the main panel exists and a session is on).
    virtual bool IsLoggedIn() const = 0;
    // Shows the login panel or the main panel. Switching to PostLogin while loginWaitTimeOut
    // is non-zero shows the loading progress and switches after that wait instead.
    virtual void SwitchInterface(ClientInterface face) = 0;
    // The user logs out: the session engine is told and the session-end sequence runs.
    virtual void UserLogout() = 0;
    // The session-end sequence (after UserLogout, and when the session ended by itself):
    // closes the session's windows and returns to the login panel, as the flags decide.
    virtual void EndSession() = 0;

    // ---- Contacts
    // A contact's vCard brought the name `vcardName`, which differs from the name the contact
    // tree `treeName` (one with the name check on) shows for `jid`; the tree made that
    // user's node its hot item.
    virtual void OnContactNameDiffers(std::string_view jid, std::string_view vcardName,
                                      std::string_view treeName) = 0;

    // ---- The account's login mutex, held while this process is logged in with it
    virtual void KeepAccountMutex(std::unique_ptr<os::NamedMutex> mutex) = 0;
    virtual bool HoldsAccountMutex() const = 0;

    // ---- The shared block "SMSGLOBLE_ENV" (kSharedBlockSize bytes), read by other processes
    // Its bytes, or an empty span when it could not be made.
    virtual std::span<char> SharedBlock() = 0;
    // Writes `text` and a terminating zero at the start of the block ("Y" at login, "N" at
    // log-out). False when there is no block or the text does not fit.
    virtual bool WriteSharedFlag(std::string_view text) = 0;
};

}  // namespace core
