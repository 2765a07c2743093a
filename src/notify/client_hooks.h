#pragma once
// What the pump's own handlers ask of the contact model, answered by the client's contact
// trees (UI thread); the hooks of subsystems not built yet keep their defaults.

#include "notify/incoming_hooks.h"

namespace contacts {
class ContactTrees;
}

namespace notify {

class ClientIncomingHooks final : public IncomingMessageHooks {
  public:
    explicit ClientIncomingHooks(contacts::ContactTrees& trees) : trees_(trees) {}

    bool IsInContactLists(std::string_view jid) override;
    std::optional<std::string> ContactSubscription(std::string_view jid) override;

  private:
    contacts::ContactTrees& trees_;
};

}  // namespace notify
