#include "notify/client_hooks.h"

#include "contacts/contact_trees.h"

namespace notify {

bool ClientIncomingHooks::IsInContactLists(std::string_view jid) {
    return trees_.FindUser(jid, platform::JidMatch::Loose) != nullptr;
}

std::optional<std::string> ClientIncomingHooks::ContactSubscription(std::string_view jid) {
    return trees_.Subscription(jid);
}

}  // namespace notify
