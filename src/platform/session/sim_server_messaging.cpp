// The simulated server's traffic between users: chat, typing, subscriptions, status queries.

#include <algorithm>
#include <map>

#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/session/sim_world.h"

namespace platform {
namespace {

// The server's time stamp on a message, in local time.
std::string MessageTime(const os::Clock& clock) {
    const os::LocalTime t = clock.LocalNow();
    return os::Format("%4d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                      t.second);
}

// Subscription state after the owner starts to see the contact ("to" side) or the contact
// starts to see the owner ("from" side).
std::string WithTo(std::string_view subscription) {
    return os::EqualsNoCase(subscription, "from") || os::EqualsNoCase(subscription, "both") ? "both"
                                                                                            : "to";
}
std::string WithFrom(std::string_view subscription) {
    return os::EqualsNoCase(subscription, "to") || os::EqualsNoCase(subscription, "both") ? "both"
                                                                                          : "from";
}

}  // namespace

int SimServer::SendChat(SimSessionCore* session, std::string_view to, std::string_view body,
                        std::string_view font) {
    std::lock_guard lock(mutex_);
    const SimAccount* sender = impl_->LoggedInAccount(session);
    if (sender == nullptr || to.empty()) return 0;
    if (!refusedChatKey_.empty() && Jid(to).StoreKey() == refusedChatKey_) return 0;
    MessageData message;
    message.from = sender->jid;
    message.to = std::string(to);
    message.font = std::string(font);
    message.fromName = sender->nickname;
    message.time = MessageTime(clock_);
    message.content = std::string(body);

    const std::string key = Jid(to).StoreKey();
    if (impl_->Online(key)) {
        impl_->DeliverToAccount(key, MakeNotify(notify_type::kChatMessage, std::move(message)));
    } else if (impl_->Account(key) != nullptr) {
        // Kept until the receiver logs in: a message accepted for sending is never lost.
        impl_->stored[key].push_back(std::move(message));
    } else {
        impl_->undeliverable.push_back(std::move(message));
    }
    return 1;
}

int SimServer::SendTyping(SimSessionCore* session, std::string_view to, std::string_view state) {
    std::lock_guard lock(mutex_);
    const SimAccount* sender = impl_->LoggedInAccount(session);
    if (sender == nullptr || to.empty()) return 0;
    // The server stamps the sender itself, whatever "from" the client wrote; a typing state
    // is only of use now, so nobody keeps it for an offline receiver.
    impl_->DeliverToAccount(
        Jid(to).StoreKey(),
        MakeNotify(notify_type::kTypingState,
                   TypingStateData{sender->jid, std::string(to), std::string(state)}));
    return 1;
}

int SimServer::UpdateExtension(SimSessionCore* session, std::string_view extensionXml) {
    std::lock_guard lock(mutex_);
    const sim::SessionEntry* entry = impl_->Entry(session);
    if (entry == nullptr || entry->state != sim::SessionState::LoggedIn) return 0;
    auto account = impl_->accounts.find(entry->accountKey);
    if (account == impl_->accounts.end()) return 0;
    account->second.extensionXml = std::string(extensionXml);
    return 1;
}

int SimServer::AddContact(SimSessionCore* session, std::string_view jid, std::string_view nickname,
                          std::string_view group) {
    std::lock_guard lock(mutex_);
    const SimAccount* owner = impl_->LoggedInAccount(session);
    if (owner == nullptr || jid.empty()) return 0;
    const std::string ownerKey = Jid(owner->jid).StoreKey();
    const std::string contactKey = Jid(jid).StoreKey();
    SimRosterItem* item = impl_->RosterItem(ownerKey, contactKey);
    if (item == nullptr) {
        impl_->rosters[ownerKey].push_back(
            SimRosterItem{Jid(jid).Bare(), std::string(nickname), std::string(group), "none"});
        item = &impl_->rosters[ownerKey].back();
    } else {
        item->name = std::string(nickname);
        item->group = std::string(group);
    }
    if (sim::SeesPresence(item->subscription) || impl_->Account(contactKey) == nullptr) return 1;

    const NotifyRecord request =
        MakeNotify(notify_type::kSubscriptionRequest, SubscriptionRequestData{owner->jid});
    if (impl_->Online(contactKey)) {
        impl_->DeliverToAccount(contactKey, request);
    } else {
        std::vector<std::string>& pending = impl_->pendingSubscriptions[contactKey];
        if (std::find(pending.begin(), pending.end(), owner->jid) == pending.end()) {
            pending.push_back(owner->jid);
        }
    }
    return 1;
}

int SimServer::ConfirmSubscribe(SimSessionCore* session, std::string_view requester, bool accept) {
    std::lock_guard lock(mutex_);
    const SimAccount* confirmer = impl_->LoggedInAccount(session);
    if (confirmer == nullptr || requester.empty()) return 0;
    if (!accept) return 1;

    const std::string confirmerKey = Jid(confirmer->jid).StoreKey();
    const std::string requesterKey = Jid(requester).StoreKey();
    const SimAccount* requesterAccount = impl_->Account(requesterKey);
    const std::string requesterJid =
        requesterAccount ? requesterAccount->jid : Jid(requester).Bare();

    // The requester now sees the confirmer ...
    if (SimRosterItem* item = impl_->RosterItem(requesterKey, confirmerKey)) {
        item->subscription = WithTo(item->subscription);
    } else {
        impl_->rosters[requesterKey].push_back(
            SimRosterItem{confirmer->jid, confirmer->nickname, {}, "to"});
    }
    // ... and the confirmer's roster knows the requester as someone who sees it.
    if (SimRosterItem* item = impl_->RosterItem(confirmerKey, requesterKey)) {
        item->subscription = WithFrom(item->subscription);
    } else {
        impl_->rosters[confirmerKey].push_back(
            SimRosterItem{requesterJid,
                          requesterAccount ? requesterAccount->nickname : std::string(),
                          {},
                          "from"});
    }

    const std::string presence = impl_->CurrentPresence(confirmerKey);
    if (presence != "offline") {
        impl_->DeliverToAccount(requesterKey, MakeNotify(PresenceTypeFor(presence),
                                                         impl_->PresenceOf(*confirmer, presence)));
    }
    return 1;
}

int SimServer::QueryStatus(SimSessionCore* session, std::string_view jid) {
    std::lock_guard lock(mutex_);
    if (impl_->LoggedInAccount(session) == nullptr || jid.empty()) return 0;
    const std::string key = Jid(jid).StoreKey();
    PresenceData data;
    data.jid = Jid(jid).Bare();
    data.presence = impl_->CurrentPresence(key);
    if (const SimAccount* account = impl_->Account(key)) data.nickname = account->nickname;
    session->Deliver(MakeNotify(notify_type::kPresenceProbeAnswer, std::move(data)));
    return 1;
}

}  // namespace platform
