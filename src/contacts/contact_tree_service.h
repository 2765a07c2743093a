#pragma once
// The window manager's door to the contact trees (core::ContactService): what the exports read
// of the selected contact, the sort plan of the selected group, the emptying of the trees at
// a session end, and the contact and group dialogs (contacts/editing/): adding, changing and
// deleting contacts of the buddy list and the phone book, creating, renaming and deleting
// their groups. The dialogs send the change; the trees change with the server's roster push.

#include <functional>

#include "contacts/transfer/contact_transfer_flows.h"
#include "core/doors/contact_service.h"
#include "os/ui/hwnd.h"

namespace core {
class ClientContext;
}
namespace os {
class Window;
}

namespace contacts {

class CIMTree;
class ContactTrees;
class MainPanelTrees;

class ContactTreeService final : public core::ContactService {
  public:
    // `panel` answers the window the trees are controls of (the main panel), or null.
    ContactTreeService(core::ClientContext& context, ContactTrees& trees,
                       MainPanelTrees& panelTrees, std::function<os::Window*()> panel)
        : context_(context),
          trees_(trees),
          panelTrees_(panelTrees),
          panel_(panel),
          transfer_(trees, panel) {}

    // The selected node of the tree that has the keyboard focus; while no tree has it, of the
    // first tree (in the order the trees joined) that has a node selected. The numbers: tel
    // is the work phone, the home and business numbers are the user's second and third
    // phone. A group brings its users' mail addresses, joined by ",".
    std::optional<core::ContactSelection> Selection() override;
    // The selected group's childSortMode; setting it re-sorts the group's children.
    void SetGroupSortPlan(int plan) override;
    int GetGroupSortPlan() override;
    void EmptyContactTrees(bool withRecentContacts) override;
    void AddRecentContact(const std::string& jid, const std::string& name) override;
    void DelRecentContact() override;

    // ---- The editing dialogs (contact_tree_editing.cpp). The selection is that of
    // SelectionTree; only the buddy list and the phone book are edited.
    bool CanAddContact() override;
    bool CanNewGroup() override;
    bool CanModifyContact() override;
    bool CanDelContact() override;
    bool CanModifyGroup() override;
    bool CanDeleteGroup() override;
    void ShowAddContact() override;
    void ShowAddContactFor(const std::string& jid) override;
    void ShowModifyContact() override;
    void ShowDelContact() override;
    void ShowNewGroup() override;
    void ShowNewGroupAtRoot() override;
    void ShowModifyGroup() override;
    void ShowDeleteGroup() override;
    void ShowAddNewPhoneDialog() override;
    void AddMobileToPhoneBook(const std::string& number) override;

    // Import and export of the buddy list (flag clear) or the phone book (flag set).
    void ShowImportAddressList(bool flag) override { transfer_.ShowImport(flag); }
    void ShowExportAddressList(bool flag) override { transfer_.ShowExport(flag); }
    ContactTransferFlows& transfer() { return transfer_; }

    // The tree whose selection the exports act on (see Selection), or null.
    CIMTree* SelectionTree() const;

  private:
    // The selected tree when it is the buddy list or the phone book, else null.
    CIMTree* EditableSelectionTree() const;
    bool IsEditable(const CIMTree* tree) const;
    os::HWND Owner() const;
    void NewGroup(bool atRoot);

    core::ClientContext& context_;
    ContactTrees& trees_;
    MainPanelTrees& panelTrees_;
    std::function<os::Window*()> panel_;
    ContactTransferFlows transfer_;
};

}  // namespace contacts
