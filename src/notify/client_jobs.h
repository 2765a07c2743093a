#pragma once
// The jobs of the notification routes that the client's own subsystems carry out: the contact
// trees (presence, status tips, vCards, subscriptions), the chat windows (typing notices,
// the peer's presence), the login panel (the login result) and the window manager (the
// switch to the logged-in interface when the channel list arrives). The pump reaches them
// through NotifySeams (client_jobs.cpp plugs these in); jobs no subsystem carries yet keep
// their harmless defaults.

#include "core/client_context.h"
#include "notify/notification_jobs.h"

namespace contacts {
class ContactTrees;
}

namespace notify {

// UI thread.
class ClientUiJobs final : public UiJobs {
  public:
    ClientUiJobs(core::ClientContext& context, contacts::ContactTrees& trees);

    void LoginResult(const Record& record) override;
    // Every tree shows the new presence; the contact's chat window hears of it; a contact who
    // comes online may bring a status tip (subcode 11, sent to the main panel).
    void PresenceChanged(const Record& record) override;
    void Vcard(const Record& record) override;
    void ChannelList(const Record& record) override;
    // Subcode 11: lParam is the tip text (const std::string*).
    std::optional<os::LRESULT> OtherSubcode(int subcode, os::LPARAM lParam) override;

  private:
    core::ClientContext& context_;
    contacts::ContactTrees& trees_;
};

// Notification thread: reaches windows only by handing work to the UI thread.
class ClientDirectJobs final : public DirectJobs {
  public:
    ClientDirectJobs(core::ClientContext& context, contacts::ContactTrees& trees);

    // The chat window of the sender, if open, shows or clears " 正在输入....".
    void TypingState(const Record& record) override;
    std::optional<std::string> ContactSubscription(std::string_view jid) override;

  private:
    core::ClientContext& context_;
    contacts::ContactTrees& trees_;
};

// UI thread.
class ClientIncomingHooks final : public IncomingMessageHooks {
  public:
    explicit ClientIncomingHooks(contacts::ContactTrees& trees) : trees_(trees) {}

    bool IsInContactLists(std::string_view jid) override;

  private:
    contacts::ContactTrees& trees_;
};

}  // namespace notify
