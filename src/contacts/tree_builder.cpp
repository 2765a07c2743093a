#include "contacts/tree_builder.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "config/client_config.h"
#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "core/client_context.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"

namespace contacts {
namespace {

// The key a group hangs under: its path key without the last ",<id>"; a group whose path
// key does not end so hangs nowhere the build looks.
std::string ParentKeyOf(const CGroup& group) {
    const std::string& key = group.pathKey();
    const std::string suffix = "," + group.id;
    if (key.size() <= suffix.size() ||
        key.compare(key.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return {};
    }
    return key.substr(0, key.size() - suffix.size());
}

void RequestVcards(core::ClientContext& context, const std::vector<CUser*>& users) {
    for (const CUser* user : users) context.session.QueryPersonInfo(user->GetJid(), 0, 0);
}

}  // namespace

BuildOutcome BuildFromList(core::ClientContext& context, CIMTree& tree,
                           const platform::ContactListData& list, std::string_view topKind) {
    BuildOutcome outcome;
    CIMTree::ItemDataLock lock(tree);
    if (!lock.owns()) {
        outcome.lockTimedOut = true;
        return outcome;
    }
    const bool firstBuild = tree.GetCount() == 0;
    std::int32_t order = 0;
    std::vector<CUser*> added;
    RecentTexts groupKeys;  // the users of one group share its key
    for (const platform::ContactListUser& entry : list.users) {
        if (CUser* found = tree.FindUser(entry.jid, entry.groupKey, platform::JidMatch::Exact)) {
            found->orderIndex = order++;
            continue;
        }
        auto user = std::make_unique<CUser>(context.clock, entry.jid, entry.name, "", "");
        user->groupKey = groupKeys.Share(entry.groupKey);
        user->orderIndex = order++;
        auto item = CIMTreeItemData::ForUser(std::move(user));
        CIMTreeItemData* stored = tree.AddItemData(item);
        if (stored == nullptr) continue;
        added.push_back(stored->user());
        ++outcome.usersAdded;
        tree.SetDirty(true);
    }
    bool renamed = false;
    for (const platform::ContactListGroup& entry : list.groups) {
        const std::string key = std::string(topKind) + "," + entry.id;
        if (CGroup* found = tree.FindGroup(key)) {
            found->orderIndex = order++;
            found->name = entry.name;
            renamed = true;
            continue;
        }
        auto group = std::make_unique<CGroup>(entry.id, entry.name, entry.parentId, key);
        group->orderIndex = order++;
        auto item = CIMTreeItemData::ForGroup(std::move(group));
        if (tree.AddItemData(item) == nullptr) continue;
        ++outcome.groupsAdded;
        tree.SetDirty(true);
    }
    // Renamed groups that have their node take their new title.
    if (renamed)
        tree.ForEachItemData([&](CIMTreeItemData& item) {
            if (item.group() == nullptr) return;
            const os::TreeItem node = tree.NodeOf(item);
            if (node != os::kNoTreeItem) {
                tree.SetItemText(node, tree.GroupTitle(*item.group(), tree.countMode()));
            }
        });
    outcome.nodesPlaced = BuildNodes(tree, os::kTreeRoot, topKind);

    if (context.config.QueryPersonInfoInBuildTree != 0) RequestVcards(context, added);
    if (context.config.ExpandTreeRootAtFirst != 0 && firstBuild) {
        for (os::TreeItem node = tree.GetRoot(); node != os::kNoTreeItem;
             node = tree.GetNextSibling(node)) {
            tree.Expand(node, os::ExpandAction::Expand);
        }
    }
    return outcome;
}

std::size_t BuildNodes(CIMTree& tree, os::TreeItem parent, std::string_view parentKey) {
    CIMTree::ItemDataLock lock(tree);
    if (!lock.owns()) return 0;
    // The unplaced items by the key they hang under, in item-data order.
    std::unordered_map<std::string, std::vector<CIMTreeItemData*>> users;
    std::unordered_map<std::string, std::vector<CIMTreeItemData*>> groups;
    tree.ForEachItemData([&](CIMTreeItemData& item) {
        if (item.placed || !item.hasPayload()) return;
        if (const CUser* user = item.user()) {
            users[user->groupKey].push_back(&item);
        } else if (const CGroup* group = item.group()) {
            std::string key = ParentKeyOf(*group);
            if (!key.empty()) groups[std::move(key)].push_back(&item);
        }
    });
    std::size_t placed = 0;
    // Depth first, as the recursive description reads; an explicit stack keeps deep
    // directories off the call stack.
    struct Step {
        os::TreeItem node;
        std::string key;
    };
    std::vector<Step> pending{{parent, std::string(parentKey)}};
    std::vector<os::TreeItem> toSort;
    while (!pending.empty()) {
        Step step = std::move(pending.back());
        pending.pop_back();
        if (auto found = users.find(step.key); found != users.end()) {
            for (CIMTreeItemData* item : found->second) {
                if (tree.InsertUserItem(item->user(), step.node, os::kTreeLast) !=
                    os::kNoTreeItem) {
                    ++placed;
                }
                item->placed = true;
            }
            users.erase(found);
        }
        if (auto found = groups.find(step.key); found != groups.end()) {
            std::vector<CIMTreeItemData*> children = std::move(found->second);
            groups.erase(found);
            std::vector<Step> below;
            for (CIMTreeItemData* item : children) {
                const os::TreeItem node =
                    tree.InsertGroupItem(item->group(), step.node, os::kTreeLast);
                item->placed = true;
                if (node == os::kNoTreeItem) continue;
                ++placed;
                below.push_back({node, item->group()->pathKey()});
            }
            // Filled in sibling order: the first group is taken from the stack first.
            for (auto it = below.rbegin(); it != below.rend(); ++it) pending.push_back(*it);
        }
        toSort.push_back(step.node);
    }
    // Children before parents, so each group's counts are final when its parent sorts.
    for (auto it = toSort.rbegin(); it != toSort.rend(); ++it) tree.SortChildren(*it);
    return placed;
}

}  // namespace contacts
