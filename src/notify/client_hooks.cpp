#include "notify/client_hooks.h"

#include "contacts/contact_trees.h"
#include "core/client_context.h"
#include "core/doors.h"
#include "core/doors/contact_service.h"
#include "core/doors/history_service.h"

namespace notify {

bool ClientIncomingHooks::IsInContactLists(std::string_view jid) {
    return trees_.FindUser(jid, platform::JidMatch::Loose) != nullptr;
}

std::optional<std::string> ClientIncomingHooks::ContactSubscription(std::string_view jid) {
    return trees_.Subscription(jid);
}

void ClientIncomingHooks::OaNotice(const core::QueuedMessage& message) {
    context_.doors().history->OnOaNotice(message);
}

void ClientIncomingHooks::PutAtTopOfRecentContacts(std::string_view jid) {
    context_.doors().contacts->AddRecentContact(std::string(jid), {});
}

}  // namespace notify
