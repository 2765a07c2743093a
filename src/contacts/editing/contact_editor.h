#pragma once
// What the contact and group dialogs send to the server once their checks passed. The
// server confirms every change with a roster push; nothing here touches a tree.

#include <string>

#include "contacts/editing/contact_rules.h"

namespace core {
class ClientContext;
}

namespace contacts::editing {

// The list a dialog edits.
enum class ContactList { Buddies, PhoneBook };

class ContactEditor {
  public:
    explicit ContactEditor(core::ClientContext& context) : context_(context) {}

    // An address holding "@msn." is asked for through the gateway (SendRequestMsnContact);
    // any other account becomes the JID of `userType` (GetUserJID).
    int AddBuddy(const std::string& account, int userType, const std::string& nickname,
                 const std::string& group);
    int ModifyBuddy(const std::string& jid, const std::string& nickname, const std::string& group,
                    const std::string& previousGroup);
    int AddPhoneContact(const std::string& group, const PhoneContact& contact);
    int ModifyPhoneContact(const std::string& group, const PhoneContact& contact,
                           const std::string& id);
    // DeleteMobileContact for an SMS recipient (GetUserType 3), else RemoveContact.
    int DeleteContact(const std::string& jid, const std::string& name, const std::string& group);

    // `parent` is the group the new one goes below, or empty for the list's top.
    int CreateGroup(ContactList list, const std::string& name, const std::string& parent);
    int RenameGroup(ContactList list, const std::string& oldName, const std::string& newName);
    int DeleteGroup(ContactList list, const std::string& name);

  private:
    core::ClientContext& context_;
};

}  // namespace contacts::editing
