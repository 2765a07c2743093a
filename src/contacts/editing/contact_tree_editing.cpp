// The contact and group dialogs of the contact door (ContactTreeService).
#include <optional>
#include <string>

#include "contacts/contact_group.h"
#include "contacts/contact_tree_service.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/editing/contact_editor.h"
#include "contacts/editing/dlg_buddy.h"
#include "contacts/editing/dlg_phone_contact.h"
#include "contacts/editing/group_rules.h"
#include "contacts/editing/tree_queries.h"
#include "contacts/im_tree.h"
#include "contacts/main_panel_trees.h"
#include "core/client_context.h"
#include "os/prompt/prompter.h"
#include "os/ui/window.h"
#include "platform/jid/jid.h"
#include "platform/session/notify_record.h"
#include "platform/session/session_core.h"

namespace contacts {
namespace {

constexpr const char* kGroupNamePrompt = "组群名称";

editing::ContactList ListOf(const CIMTree& tree) {
    return tree.topKind == platform::kPhoneBookTopKind ? editing::ContactList::PhoneBook
                                                       : editing::ContactList::Buddies;
}

// The first tree of this top kind: the main panel's, or another that shows the same list.
CIMTree* TreeOfKind(MainPanelTrees& panelTrees, ContactTrees& trees, std::string_view topKind) {
    CIMTree* panel =
        topKind == platform::kRosterTopKind ? panelTrees.roster() : panelTrees.phoneBook();
    if (panel != nullptr) return panel;
    for (CIMTree* tree : trees.trees()) {
        if (tree->topKind == topKind) return tree;
    }
    return nullptr;
}

// Asks for a group name until it passes its checks (each refusal shown) or the user backs
// out.
std::optional<std::string> AskGroupName(core::ClientContext& context, os::HWND owner,
                                        editing::GroupNameInput input, const char* title) {
    std::string typed = input.name;
    for (;;) {
        os::InputRequest request;
        request.owner = owner;
        request.caption = title;
        request.prompt = kGroupNamePrompt;
        request.initialValue = typed;
        std::optional<std::string> answer = context.prompter.InputText(request);
        if (!answer) return std::nullopt;
        input.name = *answer;
        typed = *answer;
        const std::optional<std::string> refusal = editing::ValidateGroupName(input);
        if (!refusal) return answer;
        context.prompter.MessageBox(*refusal, os::kDefaultCaption, os::MB_OK, owner);
    }
}

editing::PhoneContact CardOf(const CUser& user) {
    editing::PhoneContact contact;
    const UserDetails& details = user.details();
    contact.name = user.name;
    contact.mobile =
        details.mobile.empty() ? user.GetJid().substr(0, user.GetJid().find('@')) : details.mobile;
    contact.email = details.mail;
    contact.telephone = details.workPhone;
    contact.company = details.unit;
    contact.position = details.shortNumber;
    contact.officefax = details.fax;
    contact.homephone = details.phone2;
    return contact;
}

}  // namespace

bool ContactTreeService::IsEditable(const CIMTree* tree) const {
    return tree != nullptr && (tree->topKind == platform::kRosterTopKind ||
                               tree->topKind == platform::kPhoneBookTopKind);
}

CIMTree* ContactTreeService::EditableSelectionTree() const {
    CIMTree* tree = SelectionTree();
    return IsEditable(tree) ? tree : nullptr;
}

os::HWND ContactTreeService::Owner() const {
    const os::Window* panel = panel_ ? panel_() : nullptr;
    return panel != nullptr ? panel->hwnd() : os::HWND();
}

bool ContactTreeService::CanAddContact() {
    return TreeOfKind(panelTrees_, trees_, platform::kRosterTopKind) != nullptr;
}

bool ContactTreeService::CanNewGroup() {
    return CanAddContact() || TreeOfKind(panelTrees_, trees_, platform::kPhoneBookTopKind);
}

bool ContactTreeService::CanModifyContact() {
    CIMTree* tree = EditableSelectionTree();
    return tree != nullptr && tree->UserOf(tree->GetSelectedItem()) != nullptr;
}

bool ContactTreeService::CanDelContact() { return CanModifyContact(); }

bool ContactTreeService::CanModifyGroup() {
    CIMTree* tree = EditableSelectionTree();
    return tree != nullptr && tree->GroupOf(tree->GetSelectedItem()) != nullptr;
}

bool ContactTreeService::CanDeleteGroup() { return CanModifyGroup(); }

void ContactTreeService::ShowAddContact() { ShowAddContactFor({}); }

void ContactTreeService::ShowAddContactFor(const std::string& jid) {
    CDlgBuddy dialog(context_, TreeOfKind(panelTrees_, trees_, platform::kRosterTopKind),
                     TreeOfKind(panelTrees_, trees_, platform::kPhoneBookTopKind));
    if (!dialog.Create(Owner())) return;
    if (!jid.empty()) dialog.SetAccount(context_.session.GetUserLimitId(jid));
    context_.prompter.DoModal(dialog);
}

void ContactTreeService::ShowAddNewPhoneDialog() {
    CDlgPhoneContact dialog(context_, TreeOfKind(panelTrees_, trees_, platform::kPhoneBookTopKind));
    if (!dialog.Create(Owner())) return;
    context_.prompter.DoModal(dialog);
}

void ContactTreeService::AddMobileToPhoneBook(const std::string& number) {
    if (number.empty()) return;
    editing::PhoneContact contact;
    contact.name = number;
    contact.mobile = number;
    editing::ContactEditor(context_).AddPhoneContact(std::string(kDefaultGroupName), contact);
}

void ContactTreeService::ShowModifyContact() {
    CIMTree* tree = EditableSelectionTree();
    if (tree == nullptr) return;
    const CUser* user = tree->UserOf(tree->GetSelectedItem());
    if (user == nullptr) return;
    const std::string group = editing::GroupNameOf(*tree, *user);
    if (ListOf(*tree) == editing::ContactList::PhoneBook ||
        context_.session.GetUserType(user->GetJid()) == platform::kUserTypeSms) {
        const CDlgPhoneContact::Existing existing{user->GetJid(), group, CardOf(*user)};
        CDlgPhoneContact dialog(context_, tree);
        if (!dialog.Create(Owner(), &existing)) return;
        context_.prompter.DoModal(dialog);
        return;
    }
    const CDlgBuddy::Existing existing{user->GetJid(), user->name, group};
    CDlgBuddy dialog(context_, tree, TreeOfKind(panelTrees_, trees_, platform::kPhoneBookTopKind));
    if (!dialog.Create(Owner(), &existing)) return;
    context_.prompter.DoModal(dialog);
}

void ContactTreeService::ShowDelContact() {
    CIMTree* tree = EditableSelectionTree();
    if (tree == nullptr) return;
    const CUser* user = tree->UserOf(tree->GetSelectedItem());
    if (user == nullptr) return;
    // Copies: the tree may change while the question is open.
    const std::string jid = user->GetJid();
    const std::string name = user->ShownName();
    const std::string group = editing::GroupNameOf(*tree, *user);
    if (context_.prompter.MessageBox(editing::DeleteContactQuestion(name), os::kDefaultCaption,
                                     os::MB_YESNO | os::MB_ICONQUESTION, Owner()) != os::IDYES) {
        return;
    }
    editing::ContactEditor(context_).DeleteContact(jid, name, group);
}

void ContactTreeService::ShowNewGroup() { NewGroup(false); }
void ContactTreeService::ShowNewGroupAtRoot() { NewGroup(true); }

void ContactTreeService::NewGroup(bool atRoot) {
    CIMTree* tree = EditableSelectionTree();
    if (tree == nullptr) tree = TreeOfKind(panelTrees_, trees_, platform::kRosterTopKind);
    if (tree == nullptr) return;
    std::string parent;
    if (!atRoot) {
        if (const CGroup* group = tree->GroupOf(tree->GetSelectedItem())) parent = group->id;
    }
    editing::GroupNameInput input;
    input.dialog = editing::GroupDialog::Create;
    input.existing = editing::GroupNames(*tree);
    const editing::ContactList list = ListOf(*tree);
    const std::optional<std::string> name =
        AskGroupName(context_, Owner(), std::move(input), editing::kNewGroupTitle);
    if (!name) return;
    editing::ContactEditor(context_).CreateGroup(list, *name, parent);
}

void ContactTreeService::ShowModifyGroup() {
    CIMTree* tree = EditableSelectionTree();
    if (tree == nullptr) return;
    const os::TreeItem node = tree->GetSelectedItem();
    const CGroup* group = tree->GroupOf(node);
    if (group == nullptr) return;
    const std::string oldName = group->name;
    editing::GroupNameInput input;
    input.dialog = editing::GroupDialog::Rename;
    input.name = oldName;
    // The group itself is no clash: only the other groups of the tree are.
    for (const std::string& name : editing::GroupNames(*tree)) {
        if (name != oldName) input.existing.push_back(name);
    }
    const editing::ContactList list = ListOf(*tree);
    const std::optional<std::string> name =
        AskGroupName(context_, Owner(), std::move(input), editing::kRenameGroupTitle);
    if (!name || *name == oldName) return;
    // The node may have gone while the prompt was open.
    if (tree->GroupOf(node) != nullptr) {
        tree->SetItemText(node, std::string(editing::kRenamingPrefix) + *name);
    }
    editing::ContactEditor(context_).RenameGroup(list, oldName, *name);
}

void ContactTreeService::ShowDeleteGroup() {
    CIMTree* tree = EditableSelectionTree();
    if (tree == nullptr) return;
    const os::TreeItem node = tree->GetSelectedItem();
    const CGroup* group = tree->GroupOf(node);
    if (group == nullptr) return;
    const std::string name = group->name;
    const editing::ContactList list = ListOf(*tree);
    if (context_.prompter.MessageBox(editing::DeleteGroupQuestion(name), os::kDefaultCaption,
                                     os::MB_YESNO | os::MB_ICONQUESTION, Owner()) != os::IDYES) {
        return;
    }
    if (tree->GroupOf(node) != nullptr) {
        tree->SetItemText(node, std::string(editing::kDeletingPrefix) + name);
    }
    editing::ContactEditor(context_).DeleteGroup(list, name);
}

}  // namespace contacts
