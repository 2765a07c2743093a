#include "platform/session/sim_server.h"

#include "os/sys/clock.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"
#include "platform/session/sim_file_transfers.h"
#include "platform/session/sim_world.h"

namespace platform {

using sim::SessionEntry;
using sim::SessionState;

SimServer::SimServer(os::Clock& clock, std::string hostName)
    : clock_(clock), hostName_(std::move(hostName)), impl_(std::make_unique<Impl>()) {}

SimServer::~SimServer() = default;

int SimServer::Port() const {
    std::lock_guard lock(mutex_);
    return impl_->port;
}

void SimServer::SetPort(int port) {
    std::lock_guard lock(mutex_);
    impl_->port = port;
}

std::string SimServer::AddAccount(SimAccount account) {
    if (account.jid.empty()) {
        account.jid = Jid::ForAccount(account.loginName, kUserTypeGovernment, hostName_).text();
    }
    account.jid = Jid(account.jid).Bare();
    if (account.limitName.empty()) account.limitName = account.loginName;
    if (account.accountName.empty()) account.accountName = account.loginName;
    std::string jid = account.jid;
    std::lock_guard lock(mutex_);
    impl_->accounts[Jid(jid).StoreKey()] = std::move(account);
    return jid;
}

bool SimServer::HasAccount(std::string_view jid) const {
    std::lock_guard lock(mutex_);
    return impl_->Account(Jid(jid).StoreKey()) != nullptr;
}

std::string SimServer::LimitNameOf(std::string_view jidOrLogin) const {
    std::lock_guard lock(mutex_);
    if (const SimAccount* account = impl_->Account(Jid(jidOrLogin).StoreKey()))
        return account->limitName;
    if (const SimAccount* account = impl_->AccountByLogin(jidOrLogin, false)) {
        return account->limitName;
    }
    return {};
}

void SimServer::SetRoster(std::string_view ownerJid, std::vector<SimRosterItem> items) {
    std::lock_guard lock(mutex_);
    impl_->rosters[Jid(ownerJid).StoreKey()] = std::move(items);
}

std::vector<SimRosterItem> SimServer::Roster(std::string_view ownerJid) const {
    std::lock_guard lock(mutex_);
    auto it = impl_->rosters.find(Jid(ownerJid).StoreKey());
    return it == impl_->rosters.end() ? std::vector<SimRosterItem>{} : it->second;
}

void SimServer::SetChannels(std::vector<Channel> channels) {
    std::lock_guard lock(mutex_);
    impl_->channels = std::move(channels);
}

bool SimServer::IsOnline(std::string_view jid) const {
    std::lock_guard lock(mutex_);
    return impl_->Online(Jid(jid).StoreKey());
}

std::string SimServer::PresenceOf(std::string_view jid) const {
    std::lock_guard lock(mutex_);
    return impl_->CurrentPresence(Jid(jid).StoreKey());
}

std::vector<MessageData> SimServer::StoredMessages(std::string_view jid) const {
    std::lock_guard lock(mutex_);
    auto it = impl_->stored.find(Jid(jid).StoreKey());
    return it == impl_->stored.end() ? std::vector<MessageData>{} : it->second;
}

std::vector<MessageData> SimServer::Undeliverable() const {
    std::lock_guard lock(mutex_);
    return impl_->undeliverable;
}

std::vector<std::string> SimServer::PendingSubscriptions(std::string_view jid) const {
    std::lock_guard lock(mutex_);
    auto it = impl_->pendingSubscriptions.find(Jid(jid).StoreKey());
    return it == impl_->pendingSubscriptions.end() ? std::vector<std::string>{} : it->second;
}

void SimServer::Attach(SimSessionCore* session) {
    std::lock_guard lock(mutex_);
    SessionEntry entry;
    entry.session = session;
    impl_->sessions.push_back(std::move(entry));
}

void SimServer::Detach(SimSessionCore* session) {
    std::lock_guard lock(mutex_);
    auto& sessions = impl_->sessions;
    auto it = std::find_if(sessions.begin(), sessions.end(),
                           [&](const SessionEntry& entry) { return entry.session == session; });
    if (it == sessions.end()) return;
    SessionEntry entry = *it;
    sessions.erase(it);
    impl_->EndSession(entry);
    if (files_) files_->EndSession(session);
}

int SimServer::Login(SimSessionCore* session, std::string_view userName, std::string_view password,
                     bool byMobile, bool answer) {
    std::lock_guard lock(mutex_);
    Impl& world = *impl_;
    SessionEntry* entry = world.Entry(session);
    if (entry == nullptr || entry->state == SessionState::LoggedIn) return 0;
    if (!answer) {
        entry->state = SessionState::LoggingIn;
        return kLoginAccepted;
    }
    const SimAccount* account = world.AccountByLogin(userName, byMobile);
    if (account == nullptr || account->password != password) {
        entry->state = SessionState::Offline;
        session->Deliver(MakeNotify(notify_type::kLoginResult,
                                    LoginResultData{0, LoginFailure::BadCredentials, {}}));
        return kLoginAccepted;
    }
    const std::string key = Jid(account->jid).StoreKey();

    // One session per account: an older one is told why it ends, then loses its connection.
    for (SessionEntry& other : world.sessions) {
        if (&other != entry && other.state == SessionState::LoggedIn && other.accountKey == key) {
            other.state = SessionState::Offline;
            other.presence = "offline";
            other.accountKey.clear();
            other.session->Deliver(MakeNotify(notify_type::kLoggedInElsewhere,
                                              LoggedInElsewhereData{account->jid, {}}),
                                   OnGiveBack::SignalLost);
        }
    }

    entry->state = SessionState::LoggedIn;
    entry->accountKey = key;
    entry->presence = "online";
    session->Deliver(
        MakeNotify(notify_type::kLoginResult, LoginResultData{1, LoginFailure::None, {}}));
    session->SignalLoginSucceeded();
    session->Deliver(MakeNotify(notify_type::kChannelList, ChannelListData{world.channels}));
    session->Deliver(MakeNotify(notify_type::kDataPhaseStart, NoPayload{}));
    if (!account->extensionXml.empty()) {
        // Slots of the person record: 0 the JID, 1 the name, 31 the extension XML.
        SlotData own;
        own.slots.resize(32);
        own.slots[0] = account->jid;
        own.slots[1] = account->nickname;
        own.slots[31] = account->extensionXml;
        session->Deliver(MakeNotify(notify_type::kVcard, std::move(own)));
    }

    world.BroadcastPresence(*account, "online");
    world.DeliverRosterPresence(key, *session);
    for (MessageData& message : world.stored[key]) {
        session->Deliver(MakeNotify(notify_type::kChatMessage, std::move(message)));
    }
    world.stored.erase(key);
    for (const std::string& requester : world.pendingSubscriptions[key]) {
        session->Deliver(
            MakeNotify(notify_type::kSubscriptionRequest, SubscriptionRequestData{requester}));
    }
    world.pendingSubscriptions.erase(key);
    world.DeliverPendingInvitations(key, *session);
    return kLoginAccepted;
}

int SimServer::Logout(SimSessionCore* session) {
    std::lock_guard lock(mutex_);
    SessionEntry* entry = impl_->Entry(session);
    if (entry == nullptr || entry->state == SessionState::Offline) return 0;
    if (files_) files_->EndSession(session);
    impl_->EndSession(*entry);
    return 1;
}

bool SimServer::DropConnection(SimSessionCore* session) {
    std::lock_guard lock(mutex_);
    SessionEntry* entry = impl_->Entry(session);
    if (entry == nullptr || entry->state == SessionState::Offline) return false;
    if (files_) files_->EndSession(session);
    impl_->EndSession(*entry);
    session->SignalLost();
    return true;
}

int SimServer::ChangePresence(SimSessionCore* session, std::string_view word) {
    std::lock_guard lock(mutex_);
    SessionEntry* entry = impl_->Entry(session);
    const SimAccount* account = impl_->LoggedInAccount(session);
    if (account == nullptr || word.empty()) return 0;
    entry->presence = std::string(word);
    impl_->BroadcastPresence(*account, word);
    return 1;
}

int SimServer::RosterPresence(SimSessionCore* session) {
    std::lock_guard lock(mutex_);
    SessionEntry* entry = impl_->Entry(session);
    if (entry == nullptr || entry->state != SessionState::LoggedIn) return 0;
    impl_->DeliverRosterPresence(entry->accountKey, *session);
    return 1;
}

bool SimServer::CurrentAccount(const SimSessionCore* session, SimAccount& account) const {
    std::lock_guard lock(mutex_);
    const SimAccount* found = impl_->LoggedInAccount(session);
    if (found == nullptr) return false;
    account = *found;
    return true;
}

}  // namespace platform
