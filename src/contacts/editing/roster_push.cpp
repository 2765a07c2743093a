#include "contacts/editing/roster_push.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/editing/group_rules.h"
#include "contacts/im_tree.h"
#include "contacts/tree_builder.h"
#include "core/client_context.h"
#include "os/text/cstring_ops.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"

namespace contacts {
namespace {

bool IsSubscriptionWord(std::string_view word) {
    return word == "none" || word == "to" || word == "from" || word == "both";
}

std::int32_t NextOrderIndex(CIMTree& tree) {
    std::int32_t next = 0;
    tree.ForEachItemData([&](CIMTreeItemData& item) {
        if (const CUser* user = item.user()) next = std::max(next, user->orderIndex + 1);
        if (const CGroup* group = item.group()) next = std::max(next, group->orderIndex + 1);
    });
    return next;
}

CIMTreeItemData* GroupItemById(CIMTree& tree, std::string_view id) {
    CIMTreeItemData* found = nullptr;
    tree.ForEachItemData([&](CIMTreeItemData& item) {
        if (found == nullptr && item.group() != nullptr && item.group()->id == id) found = &item;
    });
    return found;
}

// The path key of a new group: below its parent group when the tree has it, else at the top.
std::string NewGroupKey(CIMTree& tree, const platform::RosterPushGroup& entry,
                        std::string_view topKind) {
    if (!entry.parentId.empty() && entry.parentId != topKind) {
        if (CIMTreeItemData* parent = GroupItemById(tree, entry.parentId)) {
            return parent->group()->pathKey() + "," + entry.id;
        }
    }
    return std::string(topKind) + "," + entry.id;
}

void Retitle(CIMTree& tree, CGroup& group) {
    if (CIMTreeItemData* holder = group.holder()) {
        const os::TreeItem node = tree.NodeOf(*holder);
        if (node != os::kNoTreeItem)
            tree.SetItemText(node, tree.GroupTitle(group, tree.countMode()));
    }
}

void RemoveUsersOf(CIMTree& tree, const std::string& groupKey, PushOutcome& outcome) {
    std::vector<CIMTreeItemData*> members;
    tree.ForEachItemData([&](CIMTreeItemData& item) {
        if (item.user() != nullptr && item.user()->groupKey.view() == groupKey)
            members.push_back(&item);
    });
    for (CIMTreeItemData* member : members) {
        if (tree.RemoveItemData(member)) ++outcome.usersRemoved;
    }
}

void ApplyUser(core::ClientContext& context, CIMTree& tree, const platform::RosterPushUser& entry,
               std::string_view topKind, PushOutcome& outcome) {
    if (os::EqualsNoCase(entry.ask, "unsubscribe")) return;
    const std::string groupKey = UserGroupKey(topKind, entry.group);
    CUser* user = tree.FindUser(entry.jid, groupKey, platform::JidMatch::Exact);
    if (entry.subscription == "remove") {
        if (user != nullptr && user->holder() != nullptr && tree.RemoveItemData(user->holder())) {
            ++outcome.usersRemoved;
            context.noticePop.ShowTip(editing::kContactRemovedTip);
        }
        return;
    }
    if (user == nullptr) {
        auto made = std::make_unique<CUser>(context.clock, entry.jid, entry.name, entry.group,
                                            entry.subscription);
        made->groupKey = groupKey;
        made->orderIndex = NextOrderIndex(tree);
        if (!entry.aux2.empty()) made->SetOfflineNote(entry.aux2);
        auto item = CIMTreeItemData::ForUser(std::move(made));
        if (tree.AddItemData(item) == nullptr) return;
        ++outcome.usersAdded;
    } else {
        if (!entry.name.empty() && entry.name != user->name) {
            user->name = entry.name;
            user->UpdateDisplayText(user->presence(), tree.signatureRule());
            if (user->treeItem != os::kNoTreeItem) {
                tree.SetItemText(user->treeItem, tree.UserNodeText(*user));
            }
        }
        if (IsSubscriptionWord(entry.subscription)) user->subscription = entry.subscription;
        ++outcome.usersUpdated;
    }
    if (entry.subscription == "add" || entry.subscription == "update") {
        if (topKind == platform::kPhoneBookTopKind) {
            context.session.QueryMobileVcards(entry.jid, 1);
        } else {
            context.session.QueryPersonInfo(entry.jid, 0, 0);
        }
        context.session.QueryStatusInfo(entry.jid);
    }
}

void ApplyGroup(CIMTree& tree, const platform::RosterPushGroup& entry, std::string_view topKind,
                PushOutcome& outcome) {
    const std::string& action = entry.action;
    CIMTreeItemData* existing = GroupItemById(tree, entry.id);
    if (action == "deletegroup") {
        if (existing == nullptr) return;
        const std::string key = existing->group()->pathKey();
        RemoveUsersOf(tree, key, outcome);
        if (tree.RemoveItemData(existing)) ++outcome.groupsRemoved;
        return;
    }
    const bool creates = action == "listgroup" || action == "addgroup";
    const bool renames = action == "listgroup" || action == "updategroupname";
    if (existing == nullptr) {
        if (!creates) return;
        auto group = std::make_unique<CGroup>(entry.id, entry.name, entry.parentId,
                                              NewGroupKey(tree, entry, topKind));
        group->orderIndex = NextOrderIndex(tree);
        auto item = CIMTreeItemData::ForGroup(std::move(group));
        if (tree.AddItemData(item) == nullptr) return;
        ++outcome.groupsAdded;
        return;
    }
    if (renames && !entry.name.empty()) {
        existing->group()->name = entry.name;
        Retitle(tree, *existing->group());
        ++outcome.groupsRenamed;
    }
}

// A pushed item names every group its contact is in: the contact leaves the groups of this
// tree that the push does not name (a move). Removed and skipped items move nobody.
void LeaveOtherGroups(CIMTree& tree, const platform::RosterPushData& push, std::string_view topKind,
                      PushOutcome& outcome) {
    std::vector<std::pair<std::string, std::vector<std::string>>> named;  // JID, group keys
    for (const platform::RosterPushUser& entry : push.users) {
        if (entry.subscription == "remove" || os::EqualsNoCase(entry.ask, "unsubscribe")) continue;
        auto it = std::find_if(named.begin(), named.end(),
                               [&](const auto& item) { return item.first == entry.jid; });
        if (it == named.end()) it = named.insert(named.end(), {entry.jid, {}});
        it->second.push_back(UserGroupKey(topKind, entry.group));
    }
    for (const auto& [jid, keys] : named) {
        for (CUser* user : tree.FindUsers(jid, platform::JidMatch::Exact)) {
            if (std::find(keys.begin(), keys.end(), std::string(user->groupKey.view())) !=
                keys.end()) {
                continue;
            }
            if (user->holder() != nullptr && tree.RemoveItemData(user->holder())) {
                ++outcome.usersRemoved;
            }
        }
    }
}

// Gives the items without a node theirs: under the top, or under the placed group they
// hang below (a build from the top does not look into groups that are placed already).
void PlaceNewItems(CIMTree& tree, std::string_view topKind) {
    std::vector<std::string> parentKeys;
    tree.ForEachItemData([&](CIMTreeItemData& item) {
        if (item.placed || !item.hasPayload()) return;
        std::string key;
        if (const CUser* user = item.user()) {
            key = std::string(user->groupKey.view());
        } else if (const CGroup* group = item.group()) {
            const std::string& path = group->pathKey();
            key = path.substr(0, path.rfind(','));
        }
        if (std::find(parentKeys.begin(), parentKeys.end(), key) == parentKeys.end()) {
            parentKeys.push_back(std::move(key));
        }
    });
    for (const std::string& key : parentKeys) {
        if (key == topKind) {
            BuildNodes(tree, os::kTreeRoot, topKind);
            continue;
        }
        CGroup* parent = tree.FindGroup(key);
        if (parent == nullptr || parent->holder() == nullptr) continue;
        const os::TreeItem node = tree.NodeOf(*parent->holder());
        if (node != os::kNoTreeItem) BuildNodes(tree, node, key);
    }
}

}  // namespace

std::string UserGroupKey(std::string_view topKind, std::string_view group) {
    std::string key(topKind);
    if (!group.empty()) key += "," + std::string(group);
    return key;
}

PushOutcome ApplyRosterPush(core::ClientContext& context, CIMTree& tree,
                            const platform::RosterPushData& push, std::string_view topKind) {
    PushOutcome outcome;
    CIMTree::ItemDataLock lock(tree);
    if (!lock.owns()) {
        outcome.lockTimedOut = true;
        return outcome;
    }
    // Groups first: a user pushed into a new group finds its node.
    for (const platform::RosterPushGroup& entry : push.groups) {
        ApplyGroup(tree, entry, topKind, outcome);
    }
    for (const platform::RosterPushUser& entry : push.users) {
        ApplyUser(context, tree, entry, topKind, outcome);
    }
    LeaveOtherGroups(tree, push, topKind, outcome);
    PlaceNewItems(tree, topKind);
    tree.SetDirty(true);
    return outcome;
}

}  // namespace contacts
