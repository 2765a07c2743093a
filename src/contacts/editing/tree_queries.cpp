#include "contacts/editing/tree_queries.h"

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "os/text/cstring_ops.h"

namespace contacts::editing {
namespace {

const CGroup* GroupNamed(CIMTree& tree, const std::string& name) {
    const CGroup* found = nullptr;
    tree.ForEachItemData([&](CIMTreeItemData& item) {
        if (found == nullptr && item.group() != nullptr &&
            os::EqualsNoCase(item.group()->name, name)) {
            found = item.group();
        }
    });
    return found;
}

}  // namespace

std::vector<std::string> GroupNames(CIMTree& tree) {
    std::vector<std::string> names;
    tree.ForEachItemData([&](CIMTreeItemData& item) {
        if (item.group() != nullptr) names.push_back(item.group()->name);
    });
    return names;
}

bool HasGroupNamed(CIMTree& tree, const std::string& name) {
    return GroupNamed(tree, name) != nullptr;
}

std::vector<GroupMember> MembersOf(CIMTree& tree, const std::string& groupName) {
    std::vector<GroupMember> members;
    const CGroup* group = GroupNamed(tree, groupName);
    if (group == nullptr) return members;
    const std::string key = group->pathKey();
    tree.ForEachItemData([&](CIMTreeItemData& item) {
        const CUser* user = item.user();
        if (user == nullptr || user->groupKey.view() != key) return;
        // A phone-book contact's number is its JID's local part when its card has none yet.
        std::string mobile = user->details().mobile;
        if (mobile.empty()) mobile = user->GetJid().substr(0, user->GetJid().find('@'));
        members.push_back({user->GetJid(), user->name, std::move(mobile)});
    });
    return members;
}

std::string GroupNameOf(CIMTree& tree, const CUser& user) {
    std::string name;
    tree.ForEachItemData([&](CIMTreeItemData& item) {
        if (name.empty() && item.group() != nullptr &&
            item.group()->pathKey() == user.groupKey.view()) {
            name = item.group()->name;
        }
    });
    return name;
}

}  // namespace contacts::editing
