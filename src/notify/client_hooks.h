#pragma once
// What the pump's own handlers ask of the contact model, answered by the client's contact
// trees (UI thread) and the doors of the subsystems; the hooks of subsystems not built yet
// keep their defaults.

#include "notify/incoming_hooks.h"

namespace contacts {
class ContactTrees;
}
namespace core {
class ClientContext;
}

namespace notify {

class ClientIncomingHooks final : public IncomingMessageHooks {
  public:
    ClientIncomingHooks(contacts::ContactTrees& trees, core::ClientContext& context)
        : trees_(trees), context_(context) {}

    bool IsInContactLists(std::string_view jid) override;
    std::optional<std::string> ContactSubscription(std::string_view jid) override;
    // Handed to the history door, which keeps the notices.
    void OaNotice(const core::QueuedMessage& message) override;
    // Through the contact door, which keeps the recent contacts.
    void PutAtTopOfRecentContacts(std::string_view jid) override;

  private:
    contacts::ContactTrees& trees_;
    core::ClientContext& context_;
};

}  // namespace notify
