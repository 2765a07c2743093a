#pragma once
// Inside the simulated server: the world state behind SimServer's lock. Only the server's
// own source files include this.

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/session/sim_room_world.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"

namespace platform {
namespace sim {

enum class SessionState { Offline, LoggingIn, LoggedIn };

struct SessionEntry {
    SimSessionCore* session = nullptr;
    SessionState state = SessionState::Offline;
    std::string accountKey;  // Jid::StoreKey of the logged-in account
    std::string presence = "offline";
};

inline bool SeesPresence(std::string_view subscription) {
    return os::EqualsNoCase(subscription, "to") || os::EqualsNoCase(subscription, "both");
}

}  // namespace sim

struct SimServer::Impl {
    using SessionState = sim::SessionState;
    using SessionEntry = sim::SessionEntry;

    int port = kDefaultSimPort;
    // Every table is keyed by Jid::StoreKey: one entry per person, whatever the spelling.
    std::map<std::string, SimAccount> accounts;
    std::map<std::string, std::vector<SimRosterItem>> rosters;
    std::map<std::string, std::vector<SimPhoneEntry>> phoneBooks;
    SimDirectory directory;
    std::map<std::string, std::size_t> unitIndex;  // unit id -> index in directory.units
    std::vector<Channel> channels;
    std::vector<SessionEntry> sessions;  // in attach order
    std::map<std::string, std::vector<MessageData>> stored;
    std::vector<MessageData> undeliverable;
    std::map<std::string, std::vector<std::string>> pendingSubscriptions;
    sim::RoomWorld rooms;

    // The account's last session ended: it is no longer present in its rooms, which keep its
    // seat for a later entry (sim_server_rooms.cpp).
    void LeaveRoomsOnSessionEnd(const std::string& key);
    // Room invitations kept while the user was offline (sim_server_rooms.cpp).
    void DeliverPendingInvitations(const std::string& key, SimSessionCore& session);

    SessionEntry* Entry(const SimSessionCore* session) {
        for (SessionEntry& entry : sessions) {
            if (entry.session == session) return &entry;
        }
        return nullptr;
    }

    const SimAccount* Account(const std::string& key) const {
        auto it = accounts.find(key);
        return it == accounts.end() ? nullptr : &it->second;
    }

    const SimAccount* AccountByLogin(std::string_view userName, bool byMobile) const {
        for (const auto& [key, account] : accounts) {
            const std::string& name = byMobile ? account.mobile : account.loginName;
            if (!name.empty() && os::EqualsNoCase(name, userName)) return &account;
        }
        return nullptr;
    }

    const SimAccount* LoggedInAccount(const SimSessionCore* session) {
        SessionEntry* entry = Entry(session);
        if (entry == nullptr || entry->state != SessionState::LoggedIn) return nullptr;
        return Account(entry->accountKey);
    }

    // The presence of the account's most recent logged-in session, "offline" when none.
    std::string CurrentPresence(const std::string& key) const {
        std::string presence = "offline";
        for (const SessionEntry& entry : sessions) {
            if (entry.state == SessionState::LoggedIn && entry.accountKey == key) {
                presence = entry.presence;
            }
        }
        return presence;
    }

    bool Online(const std::string& key) const {
        return std::any_of(sessions.begin(), sessions.end(), [&](const SessionEntry& entry) {
            return entry.state == SessionState::LoggedIn && entry.accountKey == key;
        });
    }

    SimRosterItem* RosterItem(const std::string& ownerKey, const std::string& contactKey) {
        for (SimRosterItem& item : rosters[ownerKey]) {
            if (Jid(item.jid).StoreKey() == contactKey) return &item;
        }
        return nullptr;
    }

    // Whether the watcher's roster lets it see the contact's presence.
    bool Subscribes(const std::string& watcherKey, const std::string& contactKey) const {
        auto it = rosters.find(watcherKey);
        if (it == rosters.end()) return false;
        return std::any_of(it->second.begin(), it->second.end(), [&](const SimRosterItem& item) {
            return Jid(item.jid).StoreKey() == contactKey && sim::SeesPresence(item.subscription);
        });
    }

    PresenceData PresenceOf(const SimAccount& account, std::string_view word) const {
        PresenceData data;
        data.jid = account.jid;
        data.presence = std::string(word);
        data.nickname = account.nickname;
        return data;
    }

    void DeliverToAccount(const std::string& key, const NotifyRecord& record) {
        for (SessionEntry& entry : sessions) {
            if (entry.state == SessionState::LoggedIn && entry.accountKey == key) {
                entry.session->Deliver(record);
            }
        }
    }

    // Tells every logged-in user who sees this account's presence.
    void BroadcastPresence(const SimAccount& account, std::string_view word) {
        const std::string key = Jid(account.jid).StoreKey();
        const NotifyRecord record = MakeNotify(PresenceTypeFor(word), PresenceOf(account, word));
        for (SessionEntry& entry : sessions) {
            if (entry.state == SessionState::LoggedIn && entry.accountKey != key &&
                Subscribes(entry.accountKey, key)) {
                entry.session->Deliver(record);
            }
        }
    }

    // Tells a session of the account `key` the presence of every contact on its roster whose
    // presence it sees and who is online.
    void DeliverRosterPresence(const std::string& key, SimSessionCore& session) {
        for (const SimRosterItem& item : rosters[key]) {
            if (!sim::SeesPresence(item.subscription)) continue;
            const std::string contactKey = Jid(item.jid).StoreKey();
            const std::string presence = CurrentPresence(contactKey);
            const SimAccount* contact = Account(contactKey);
            if (contact == nullptr || presence == "offline") continue;
            session.Deliver(MakeNotify(PresenceTypeFor(presence), PresenceOf(*contact, presence)));
        }
    }

    // Takes a session out of the world; the contacts see "offline" once the account's last
    // session has gone.
    void EndSession(SessionEntry& entry) {
        const bool wasLoggedIn = entry.state == SessionState::LoggedIn;
        const std::string key = entry.accountKey;
        entry.state = SessionState::Offline;
        entry.presence = "offline";
        entry.accountKey.clear();
        if (!wasLoggedIn || Online(key)) return;
        LeaveRoomsOnSessionEnd(key);
        if (const SimAccount* account = Account(key)) BroadcastPresence(*account, "offline");
    }
};

}  // namespace platform
