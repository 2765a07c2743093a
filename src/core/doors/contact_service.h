#pragma once
// The door to the contact trees and the contact and group dialogs.

#include <optional>
#include <string>

namespace core {

// The selected node of the contact tree that has the focus, as the exports read it.
struct ContactSelection {
    enum class Kind { User, Group };
    Kind kind = Kind::User;
    std::string jid;
    std::string name;      // display name of the user or group
    std::string presence;  // presence word of a user
    std::string tel;
    std::string workPhone;
    std::string homePhone;
    std::string businessPhone;
    std::string mobile;
    std::string email;
    std::string groupMailList;  // a group's members' mail addresses, as the mail form takes them
};

class ContactService {
  public:
    virtual ~ContactService() = default;
    // The selected node of the focused tree, or nothing.
    virtual std::optional<ContactSelection> Selection() { return std::nullopt; }
    virtual int VcardVersion() { return 0; }
    virtual void ShowAddContact() {}
    // The add-contact dialog filled in for the contact of `jid` (a chat window's peer).
    virtual void ShowAddContactFor(const std::string& /*jid*/) {}
    virtual void ShowAddContactFromCurrentItem(int /*flag*/) {}
    // Adds a number to the phone book group "未分组" (the user has agreed already).
    virtual void AddMobileToPhoneBook(const std::string& /*number*/) {}
    virtual std::string UserNameByPhone(const std::string& /*number*/) { return {}; }
    virtual void ShowContactInfo(bool /*ownDetails*/) {}
    virtual void ShowModifyContact() {}
    virtual void ShowDelContact() {}
    virtual bool CanAddContact() { return false; }
    virtual bool CanNewGroup() { return false; }
    virtual bool CanModifyContact() { return false; }
    virtual bool CanDelContact() { return false; }
    virtual bool CanModifyGroup() { return false; }
    virtual bool CanDeleteGroup() { return false; }
    virtual void ShowNewGroup() {}
    virtual void ShowNewGroupAtRoot() {}
    virtual void ShowModifyGroup() {}
    virtual void ShowDeleteGroup() {}
    virtual void SetGroupSortPlan(int /*plan*/) {}
    virtual int GetGroupSortPlan() { return 0; }
    virtual void RefreshGroup(int /*value*/) {}
    virtual void RefreshContact(int /*value*/) {}
    virtual void ShowImportAddressList(bool /*flag*/) {}
    virtual void ShowExportAddressList(bool /*flag*/) {}
    virtual void DelRecentContact() {}
    virtual void ShowAddNewPhoneDialog() {}
    virtual int ShowSearchDialog() { return 0; }
    // The user leaves while a dialog works on the server: stop that work and forget it.
    virtual void StopServerWork() {}
    // A session ends: empty the contact trees (the recent-contacts tree too when asked) after
    // saving the caches that changed.
    virtual void EmptyContactTrees(bool /*withRecentContacts*/) {}
    // The user chatted with or texted `jid`: it goes to the top of the recent contacts.
    // `name` is the text the entry keeps; empty: the contact's own name.
    virtual void AddRecentContact(const std::string& /*jid*/, const std::string& /*name*/) {}
};

}  // namespace core
