#pragma once
// What the window manager and the lower subsystems know of a one-to-one chat window: a
// window of class "KESTRAL_IM_CHATWND" that talks with one contact. The chat window itself
// (CDlgChat) lives with the chat subsystem and derives from this.
//
// The window manager's registry holds pointers to the open chat windows and owns none: a
// chat window adds itself when it is created and removes itself when it is destroyed.

#include <string>
#include <vector>

#include "core/pending_messages.h"
#include "os/ui/window.h"

namespace core {

class ChatWindow : public os::Window {
  public:
    using os::Window::Window;

    // The JID of the contact this window talks with.
    virtual const std::string& ContactJid() const = 0;

    // A key pressed while this window is the foreground window (`flags`: the key message's
    // lParam); true when it was consumed.
    virtual bool OnChatKeyDown(int key, int flags) = 0;
    // Messages from the pending queue that this window is opened with, oldest first.
    virtual void ShowQueuedMessages(std::vector<QueuedMessage> messages) = 0;
    // The session ends: finish or cancel every file transfer the window still lists.
    virtual void EndTransfers() = 0;
    // A typing notice of `senderJid`: "composing" or "active".
    virtual void OnInputState(const std::string& /*state*/, const std::string& /*senderJid*/) {}
    // The contact's presence word changed.
    virtual void OnPeerPresence(const std::string& /*presenceWord*/) {}
    // The server says the contact's details changed: the window shows them anew.
    virtual void OnContactUpdate() {}
};

}  // namespace core
