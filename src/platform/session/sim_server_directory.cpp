// The simulated server's lists: rosters and phone books as list records, and the
// organisation directory unit by unit.
#include <string>

#include "os/text/cstring_ops.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "platform/session/sim_world.h"

namespace platform {
namespace {

// The last element of a tree path key: the unit it names ("" for the directory's top).
std::string UnitIdOf(std::string_view pathKey) {
    const int comma = os::ReverseFind(pathKey, ',');
    return comma < 0 ? std::string()
                     : std::string(pathKey.substr(static_cast<std::size_t>(comma) + 1));
}

void AddGroupOnce(ContactListData& list, const std::string& name) {
    if (name.empty()) return;
    for (const ContactListGroup& group : list.groups) {
        if (group.id == name) return;
    }
    list.groups.push_back({name, name, ""});
}

std::string GroupKey(std::string_view topKind, const std::string& group) {
    std::string key(topKind);
    if (!group.empty()) key += "," + group;
    return key;
}

}  // namespace

SimDirectory SimDirectory::Generate(std::string_view host, int roots, int depth, int subUnits,
                                    int persons) {
    SimDirectory directory;
    struct Pending {
        std::string id;
        std::string parentId;
        int level;
    };
    std::vector<Pending> level;
    for (int i = 1; i <= roots; ++i) level.push_back({"u" + std::to_string(i), "", 1});
    while (!level.empty()) {
        std::vector<Pending> next;
        for (const Pending& unit : level) {
            SimUnit made{unit.id, "部门" + unit.id, unit.parentId, {}};
            made.persons.reserve(static_cast<std::size_t>(persons));
            for (int n = 1; n <= persons; ++n) {
                made.persons.push_back(
                    {"p" + unit.id + "_" + std::to_string(n) + "$gov@" + std::string(host),
                     "职员" + std::to_string(n)});
            }
            directory.units.push_back(std::move(made));
            if (unit.level >= depth) continue;
            for (int c = 1; c <= subUnits; ++c) {
                next.push_back({unit.id + "_" + std::to_string(c), unit.id, unit.level + 1});
            }
        }
        level = std::move(next);
    }
    return directory;
}

void SimServer::SetPhoneBook(std::string_view ownerJid, std::vector<SimPhoneEntry> entries) {
    std::lock_guard lock(mutex_);
    impl_->phoneBooks[Jid(ownerJid).StoreKey()] = std::move(entries);
}

void SimServer::SetDirectory(SimDirectory directory) {
    std::lock_guard lock(mutex_);
    impl_->directory = std::move(directory);
    impl_->unitIndex.clear();
    for (std::size_t i = 0; i < impl_->directory.units.size(); ++i) {
        impl_->unitIndex.emplace(impl_->directory.units[i].id, i);
    }
}

std::vector<DirectoryChild> SimServer::DirectoryChildren(std::string_view pathKey) const {
    std::lock_guard lock(mutex_);
    const std::string unitId = UnitIdOf(pathKey);
    std::vector<DirectoryChild> children;
    for (const SimUnit& unit : impl_->directory.units) {
        if (unit.parentId == unitId) children.push_back({true, unit.id, unit.name, unitId});
    }
    if (auto it = impl_->unitIndex.find(unitId); it != impl_->unitIndex.end()) {
        for (const SimPerson& person : impl_->directory.units[it->second].persons) {
            children.push_back({false, person.jid, person.name, unitId});
        }
    }
    return children;
}

bool SimServer::SendContactList(SimSessionCore* session, std::string_view nameSpace) {
    std::lock_guard lock(mutex_);
    const SimAccount* account = impl_->LoggedInAccount(session);
    if (account == nullptr) return false;
    const std::string owner = Jid(account->jid).StoreKey();
    ContactListData list;
    const auto deliver = [&] {
        session->Deliver(MakeNotify(notify_type::kContactListLoading, std::move(list)));
        return true;
    };
    list.nameSpace = std::string(nameSpace);
    if (nameSpace == kRosterNameSpace) {
        auto it = impl_->rosters.find(owner);
        if (it == impl_->rosters.end()) return deliver();
        for (const SimRosterItem& item : it->second) {
            AddGroupOnce(list, item.group);
            list.users.push_back({item.jid, item.name, GroupKey(kRosterTopKind, item.group)});
        }
    } else if (nameSpace == kPhoneBookNameSpace) {
        auto it = impl_->phoneBooks.find(owner);
        if (it == impl_->phoneBooks.end()) return deliver();
        for (const SimPhoneEntry& entry : it->second) {
            AddGroupOnce(list, entry.group);
            list.users.push_back({entry.number + "@sms." + hostName_, entry.name,
                                  GroupKey(kPhoneBookTopKind, entry.group)});
        }
    }
    return deliver();
}

}  // namespace platform
