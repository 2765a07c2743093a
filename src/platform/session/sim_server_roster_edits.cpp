// The simulated server's edits of the buddy list and the phone book, each confirmed to the
// owner's sessions with a roster push.
#include <algorithm>
#include <string>
#include <vector>

#include "os/text/cstring_ops.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_world.h"

namespace platform {
namespace {

// The text of the first <tag>...</tag> of a phone-book payload ("" without one).
std::string PayloadField(std::string_view payload, std::string_view tag) {
    const std::string open = "<" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    const std::size_t start = payload.find(open);
    if (start == std::string_view::npos) return {};
    const std::size_t from = start + open.size();
    const std::size_t end = payload.find(close, from);
    if (end == std::string_view::npos) return {};
    return std::string(payload.substr(from, end - from));
}

// A phone-book contact's number from its number or its JID.
std::string NumberOf(std::string_view id) {
    const std::size_t at = id.find('@');
    return std::string(at == std::string_view::npos ? id : id.substr(0, at));
}

bool IsRoster(std::string_view nameSpace) { return nameSpace == kRosterNameSpace; }

}  // namespace

int SimServer::ModifyContact(SimSessionCore* session, std::string_view jid,
                             std::string_view nickname, std::string_view group) {
    std::lock_guard lock(mutex_);
    const SimAccount* owner = impl_->LoggedInAccount(session);
    if (owner == nullptr) return 0;
    const std::string ownerKey = Jid(owner->jid).StoreKey();
    SimRosterItem* item = impl_->RosterItem(ownerKey, Jid(jid).StoreKey());
    if (item == nullptr) return 0;
    // A push names every group of the item: a moved contact leaves its old group.
    item->group = std::string(group);
    item->name = std::string(nickname);
    impl_->PushRosterUser(ownerKey, *item, "update");
    return 1;
}

int SimServer::RemoveContact(SimSessionCore* session, std::string_view jid) {
    std::lock_guard lock(mutex_);
    const SimAccount* owner = impl_->LoggedInAccount(session);
    if (owner == nullptr) return 0;
    const std::string ownerKey = Jid(owner->jid).StoreKey();
    const std::string contactKey = Jid(jid).StoreKey();
    std::vector<SimRosterItem>& roster = impl_->rosters[ownerKey];
    auto it = std::find_if(roster.begin(), roster.end(), [&](const SimRosterItem& item) {
        return Jid(item.jid).StoreKey() == contactKey;
    });
    if (it == roster.end()) return 0;
    const SimRosterItem removed = *it;
    roster.erase(it);
    impl_->PushRosterUser(ownerKey, removed, "remove");
    return 1;
}

int SimServer::AddGroup(SimSessionCore* session, std::string_view nameSpace,
                        std::string_view name) {
    std::lock_guard lock(mutex_);
    const SimAccount* owner = impl_->LoggedInAccount(session);
    if (owner == nullptr || name.empty()) return 0;
    const std::string ownerKey = Jid(owner->jid).StoreKey();
    auto& groups = IsRoster(nameSpace) ? impl_->rosterGroups : impl_->phoneGroups;
    Impl::KeepGroup(groups, ownerKey, name);
    impl_->PushRoster(
        ownerKey,
        RosterPushData{
            std::string(nameSpace), {}, {{std::string(name), std::string(name), "", "addgroup"}}});
    return 1;
}

int SimServer::RenameGroup(SimSessionCore* session, std::string_view nameSpace,
                           std::string_view oldName, std::string_view newName) {
    std::lock_guard lock(mutex_);
    const SimAccount* owner = impl_->LoggedInAccount(session);
    if (owner == nullptr || oldName.empty() || newName.empty()) return 0;
    const std::string ownerKey = Jid(owner->jid).StoreKey();
    // A group's id is its name here: the contacts move to a group of the new name, which
    // the client sees as the old group going and the new one coming with them.
    RosterPushData push{std::string(nameSpace), {}, {}};
    auto& groups = IsRoster(nameSpace) ? impl_->rosterGroups : impl_->phoneGroups;
    std::vector<std::string>& kept = groups[ownerKey];
    bool known = false;
    for (std::string& group : kept) {
        if (group == oldName) {
            group = std::string(newName);
            known = true;
        }
    }
    push.groups.push_back({std::string(oldName), std::string(oldName), "", "deletegroup"});
    push.groups.push_back({std::string(newName), std::string(newName), "", "addgroup"});
    if (IsRoster(nameSpace)) {
        for (SimRosterItem& item : impl_->rosters[ownerKey]) {
            if (item.group != oldName) continue;
            known = true;
            item.group = std::string(newName);
            push.users.push_back({item.jid, item.name, "", "update", "", item.group});
        }
    } else {
        for (SimPhoneEntry& entry : impl_->phoneBooks[ownerKey]) {
            if (entry.group != oldName) continue;
            known = true;
            entry.group = std::string(newName);
            push.users.push_back(
                {entry.number + "@sms." + hostName_, entry.name, "", "update", "", entry.group});
        }
    }
    if (!known) return 0;
    impl_->PushRoster(ownerKey, std::move(push));
    return 1;
}

int SimServer::DeleteGroup(SimSessionCore* session, std::string_view nameSpace,
                           std::string_view name) {
    std::lock_guard lock(mutex_);
    const SimAccount* owner = impl_->LoggedInAccount(session);
    if (owner == nullptr || name.empty()) return 0;
    const std::string ownerKey = Jid(owner->jid).StoreKey();
    auto& groups = IsRoster(nameSpace) ? impl_->rosterGroups : impl_->phoneGroups;
    std::vector<std::string>& kept = groups[ownerKey];
    std::size_t gone = kept.size();
    kept.erase(std::remove(kept.begin(), kept.end(), name), kept.end());
    gone -= kept.size();
    if (IsRoster(nameSpace)) {
        std::vector<SimRosterItem>& roster = impl_->rosters[ownerKey];
        const std::size_t before = roster.size();
        roster.erase(std::remove_if(roster.begin(), roster.end(),
                                    [&](const SimRosterItem& item) { return item.group == name; }),
                     roster.end());
        gone += before - roster.size();
    } else {
        std::vector<SimPhoneEntry>& book = impl_->phoneBooks[ownerKey];
        const std::size_t before = book.size();
        book.erase(std::remove_if(book.begin(), book.end(),
                                  [&](const SimPhoneEntry& entry) { return entry.group == name; }),
                   book.end());
        gone += before - book.size();
    }
    if (gone == 0) return 0;
    impl_->PushRoster(ownerKey,
                      RosterPushData{std::string(nameSpace),
                                     {},
                                     {{std::string(name), std::string(name), "", "deletegroup"}}});
    return 1;
}

int SimServer::AddMobileContact(SimSessionCore* session, std::string_view group,
                                std::string_view payload) {
    std::lock_guard lock(mutex_);
    const SimAccount* owner = impl_->LoggedInAccount(session);
    const std::string number = PayloadField(payload, "mobile");
    if (owner == nullptr || number.empty()) return 0;
    const std::string ownerKey = Jid(owner->jid).StoreKey();
    SimPhoneEntry entry{number, PayloadField(payload, "name"), std::string(group)};
    impl_->phoneBooks[ownerKey].push_back(entry);
    RosterPushData push{std::string(kPhoneBookNameSpace), {}, {}};
    if (Impl::KeepGroup(impl_->phoneGroups, ownerKey, group)) {
        push.groups.push_back({entry.group, entry.group, "", "addgroup"});
    }
    push.users.push_back({number + "@sms." + hostName_, entry.name, "", "add", "", entry.group});
    impl_->PushRoster(ownerKey, std::move(push));
    return 1;
}

int SimServer::ModifyMobileContact(SimSessionCore* session, std::string_view group,
                                   std::string_view payload, std::string_view id) {
    std::lock_guard lock(mutex_);
    const SimAccount* owner = impl_->LoggedInAccount(session);
    if (owner == nullptr) return 0;
    const std::string ownerKey = Jid(owner->jid).StoreKey();
    const std::string number = NumberOf(id);
    for (SimPhoneEntry& entry : impl_->phoneBooks[ownerKey]) {
        if (entry.number != number) continue;
        RosterPushData push{std::string(kPhoneBookNameSpace), {}, {}};
        const std::string jid = entry.number + "@sms." + hostName_;
        entry.group = std::string(group);
        if (Impl::KeepGroup(impl_->phoneGroups, ownerKey, group)) {
            push.groups.push_back({entry.group, entry.group, "", "addgroup"});
        }
        entry.name = PayloadField(payload, "name");
        push.users.push_back({jid, entry.name, "", "update", "", entry.group});
        impl_->PushRoster(ownerKey, std::move(push));
        return 1;
    }
    return 0;
}

int SimServer::DeleteMobileContact(SimSessionCore* session, std::string_view id) {
    std::lock_guard lock(mutex_);
    const SimAccount* owner = impl_->LoggedInAccount(session);
    if (owner == nullptr) return 0;
    const std::string ownerKey = Jid(owner->jid).StoreKey();
    const std::string number = NumberOf(id);
    std::vector<SimPhoneEntry>& book = impl_->phoneBooks[ownerKey];
    auto it = std::find_if(book.begin(), book.end(),
                           [&](const SimPhoneEntry& entry) { return entry.number == number; });
    if (it == book.end()) return 0;
    const SimPhoneEntry removed = *it;
    book.erase(it);
    impl_->PushRoster(ownerKey, RosterPushData{std::string(kPhoneBookNameSpace),
                                               {{removed.number + "@sms." + hostName_, removed.name,
                                                 "", "remove", "", removed.group}},
                                               {}});
    return 1;
}

}  // namespace platform
