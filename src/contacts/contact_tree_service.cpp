#include "contacts/contact_tree_service.h"

#include <vector>

#include "contacts/contact_group.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "contacts/main_panel_trees.h"
#include "os/ui/window.h"

namespace contacts {
namespace {

std::string MailList(CIMTree& tree, os::TreeItem node) {
    std::vector<CUser*> users;
    tree.CollectUsers(node, users);
    std::string list;
    for (const CUser* user : users) {
        if (user->details().mail.empty()) continue;
        if (!list.empty()) list += ',';
        list += user->details().mail;
    }
    return list;
}

}  // namespace

CIMTree* ContactTreeService::SelectionTree() const {
    const os::Window* panel = panel_ ? panel_() : nullptr;
    const int focused = panel != nullptr ? panel->GetFocus() : 0;
    if (focused != 0) {
        for (CIMTree* tree : trees_.trees()) {
            if (tree->id() == focused) return tree;
        }
    }
    for (CIMTree* tree : trees_.trees()) {
        if (tree->GetSelectedItem() != os::kNoTreeItem) return tree;
    }
    return nullptr;
}

std::optional<core::ContactSelection> ContactTreeService::Selection() {
    CIMTree* tree = SelectionTree();
    if (tree == nullptr) return std::nullopt;
    const os::TreeItem node = tree->GetSelectedItem();
    if (node == os::kNoTreeItem) return std::nullopt;
    core::ContactSelection selection;
    if (const CUser* user = tree->UserOf(node)) {
        selection.kind = core::ContactSelection::Kind::User;
        selection.jid = user->GetJid();
        selection.name = user->ShownName();
        selection.presence = user->presence();
        selection.tel = user->details().workPhone;
        selection.workPhone = user->details().workPhone;
        selection.homePhone = user->details().phone2;
        selection.businessPhone = user->details().phone3;
        selection.mobile = user->details().mobile;
        selection.email = user->details().mail;
        return selection;
    }
    if (const CGroup* group = tree->GroupOf(node)) {
        selection.kind = core::ContactSelection::Kind::Group;
        selection.name = group->name;
        selection.groupMailList = MailList(*tree, node);
        return selection;
    }
    return std::nullopt;
}

void ContactTreeService::SetGroupSortPlan(int plan) {
    CIMTree* tree = SelectionTree();
    if (tree == nullptr) return;
    const os::TreeItem node = tree->GetSelectedItem();
    CGroup* group = tree->GroupOf(node);
    if (group == nullptr) return;
    group->childSortMode = plan;
    tree->SortChildren(node);
    tree->SetDirty(true);
}

int ContactTreeService::GetGroupSortPlan() {
    CIMTree* tree = SelectionTree();
    if (tree == nullptr) return 0;
    const CGroup* group = tree->GroupOf(tree->GetSelectedItem());
    return group != nullptr ? group->childSortMode : 0;
}

void ContactTreeService::EmptyContactTrees(bool /*withRecentContacts*/) {
    // The recent-contacts tree exists only with the component, so emptying every tree that
    // exists empties it exactly when asked to.
    panelTrees_.EmptyAll();
}

void ContactTreeService::AddRecentContact(const std::string& jid, const std::string& name) {
    panelTrees_.AddRecentContact(jid, name);
}

void ContactTreeService::DelRecentContact() { panelTrees_.DeleteSelectedRecentContact(); }

}  // namespace contacts
