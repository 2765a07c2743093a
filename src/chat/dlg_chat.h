#pragma once
// CDlgChat: the one-to-one chat window, a top-level window of class "KESTRAL_IM_CHATWND"
// talking with one contact. It enters the window manager's registry when it is created and
// leaves it when it is destroyed, so the registry never holds a window that is gone.
//
// This is the window's frame: identity, registry membership and the shutdown message. The
// conversation itself (message view, input box, sending, transfers) is built on it by the
// chat window work.
//
// Close: WM_CHAT_SHUTDOWN with lParam kCloseFinal (program end, user log-out) closes the
// window without questions; kCloseNotFinal (the session ended by itself) leaves it open and
// registered, so the conversation is still there when the client logs in again.

#include <string>
#include <vector>

#include "core/chat_window.h"
#include "core/client_context.h"

class CDlgChat final : public core::ChatWindow {
  public:
    CDlgChat(core::ClientContext& context, std::string contactJid);
    ~CDlgChat() override;

    // Creates the window (hidden; the caller shows it). False when it could not be made.
    bool Create();

    const std::string& ContactJid() const override { return contactJid_; }
    bool OnChatKeyDown(int key, int flags) override;
    void ShowQueuedMessages(std::vector<core::QueuedMessage> messages) override;
    void EndTransfers() override;

    // The queued messages the window was opened with, oldest first.
    const std::vector<core::QueuedMessage>& ShownMessages() const { return shownMessages_; }
    // Non-final shutdowns received (the session ended while the window stayed open).
    int NotFinalShutdowns() const { return notFinalShutdowns_; }

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    core::ClientContext& context_;
    const std::string contactJid_;
    std::vector<core::QueuedMessage> shownMessages_;
    int notFinalShutdowns_ = 0;
    bool registered_ = false;
};
