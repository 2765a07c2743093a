#include "contacts/contact_tree_service.h"

#include "contacts/contact_group.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"

namespace contacts {

std::optional<core::ContactSelection> ContactTreeService::Selection() {
    for (CIMTree* tree : trees_.trees()) {
        const os::TreeItem node = tree->GetSelectedItem();
        if (node == os::kNoTreeItem) continue;
        core::ContactSelection selection;
        if (const CUser* user = tree->UserOf(node)) {
            selection.kind = core::ContactSelection::Kind::User;
            selection.jid = user->GetJid();
            selection.name = user->ShownName();
            selection.presence = user->presence();
            selection.tel = user->workPhone;
            selection.workPhone = user->workPhone;
            selection.homePhone = user->phone2;
            selection.businessPhone = user->phone3;
            selection.mobile = user->mobile;
            selection.email = user->mail;
            return selection;
        }
        if (const CGroup* group = tree->GroupOf(node)) {
            selection.kind = core::ContactSelection::Kind::Group;
            selection.name = group->name;
            return selection;
        }
    }
    return std::nullopt;
}

}  // namespace contacts
