#include "contacts/editing/roster_push_notifications.h"

#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/editing/roster_push.h"
#include "contacts/im_tree.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "os/ui/window_system.h"

namespace contacts {
namespace {

std::string_view TopKindOf(std::string_view nameSpace) {
    if (nameSpace == platform::kRosterNameSpace) return platform::kRosterTopKind;
    if (nameSpace == platform::kPhoneBookNameSpace) return platform::kPhoneBookTopKind;
    return {};
}

void RenameCopies(CIMTree& tree, const platform::RosterPushData& push) {
    for (const platform::RosterPushUser& entry : push.users) {
        if (entry.name.empty() || entry.subscription == "remove") continue;
        for (CUser* user : tree.FindUsers(entry.jid, platform::JidMatch::Exact)) {
            if (user->name == entry.name) continue;
            user->name = entry.name;
            user->UpdateDisplayText(user->presence(), tree.signatureRule());
            if (user->treeItem != os::kNoTreeItem) {
                tree.SetItemText(user->treeItem, tree.UserNodeText(*user));
            }
            tree.SetDirty(true);
        }
    }
}

}  // namespace

int ApplyPushToTrees(core::ClientContext& context, ContactTrees& trees,
                     const platform::RosterPushData& push) {
    const std::string_view topKind = TopKindOf(push.nameSpace);
    if (topKind.empty()) return 0;
    int applied = 0;
    // A copy of the list: a tree may go while the push is applied to another.
    const std::vector<CIMTree*> all = trees.trees();
    for (CIMTree* tree : all) {
        if (tree->topKind == topKind) {
            ApplyRosterPush(context, *tree, push, topKind);
            ++applied;
        } else {
            RenameCopies(*tree, push);
        }
    }
    return applied;
}

notify::Registrations RegisterRosterPushNotifications(core::ClientContext& context,
                                                      ContactTrees& trees,
                                                      notify::NotificationHandlers& handlers) {
    using Record = platform::NotifyRecord;
    notify::Registrations registrations;
    registrations.push_back(handlers.OnDirect(
        {platform::notify_type::kTreeNodeAdded}, [&context, &trees](const Record& record) {
            const auto* push = record.As<platform::RosterPushData>();
            if (push == nullptr) return;
            context.windows.SendTask(context.windowManager().MainPanel(), [&context, &trees, push] {
                ApplyPushToTrees(context, trees, *push);
            });
        }));
    return registrations;
}

}  // namespace contacts
