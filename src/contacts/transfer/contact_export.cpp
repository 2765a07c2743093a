#include "contacts/transfer/contact_export.h"

#include <vector>

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "contacts/transfer/delimited_reader.h"
#include "os/text/cstring_ops.h"

namespace contacts {
namespace {

// The names of the node's group and its ancestors, outermost first, joined by "::".
std::string GroupPath(CIMTree& tree, os::TreeItem userNode) {
    std::vector<std::string> names;
    for (os::TreeItem node = tree.GetParent(userNode); node != 0 && node != os::kNoTreeItem;
         node = tree.GetParent(node)) {
        if (const CGroup* group = tree.GroupOf(node)) names.push_back(group->name);
    }
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (!path.empty()) path += "::";
        path += *it;
    }
    return path;
}

// The mobile number of an SMS recipient: the local part of its JID.
std::string UserColumn(CIMTree& tree, const CUser& user) {
    const std::string& jid = user.GetJid();
    if (!tree.IsSmsRecipient(user)) return jid;
    return jid.substr(0, jid.find('@'));
}

}  // namespace

std::string ExportTreeText(CIMTree& tree) {
    std::string text(kExportHeader);
    std::vector<CUser*> users;
    tree.CollectUsers(os::kTreeRoot, users);
    for (const CUser* user : users) {
        const UserDetails& details = user->details();
        std::string unit = details.unit;
        os::Replace(unit, ',', ';');
        const std::string columns[] = {UserColumn(tree, *user),
                                       user->name,
                                       GroupPath(tree, user->treeItem),
                                       details.workPhone,
                                       details.mobile,
                                       details.mail,
                                       details.industry,
                                       unit,
                                       details.title,
                                       details.duty};
        for (const std::string& column : columns) {
            text += ExportField(column);
            text += ',';
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace contacts
