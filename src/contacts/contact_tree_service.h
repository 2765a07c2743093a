#pragma once
// The window manager's door to the contact trees (core::ContactService): what the exports read
// of the selected contact, the sort plan of the selected group and the emptying of the trees
// at a session end. The dialogs behind the other methods of the door come with the contact
// editing work and keep their defaults until then.

#include <functional>

#include "core/doors/contact_service.h"

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
    ContactTreeService(ContactTrees& trees, MainPanelTrees& panelTrees,
                       std::function<os::Window*()> panel)
        : trees_(trees), panelTrees_(panelTrees), panel_(std::move(panel)) {}

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

    // The tree whose selection the exports act on (see Selection), or null.
    CIMTree* SelectionTree() const;

  private:
    ContactTrees& trees_;
    MainPanelTrees& panelTrees_;
    std::function<os::Window*()> panel_;
};

}  // namespace contacts
