#include "contacts/editing/contact_editor.h"

#include "core/client_context.h"
#include "platform/jid/jid.h"
#include "platform/session/notify_record.h"
#include "platform/session/session_core.h"

namespace contacts::editing {

int ContactEditor::AddBuddy(const std::string& account, int userType, const std::string& nickname,
                            const std::string& group) {
    platform::SessionCore& session = context_.session;
    if (account.find("@msn.") != std::string::npos) return session.SendRequestMsnContact(account);
    return session.AddContact(session.GetUserJID(account, userType), nickname, group);
}

int ContactEditor::ModifyBuddy(const std::string& jid, const std::string& nickname,
                               const std::string& group, const std::string& previousGroup) {
    return context_.session.ModifyContact(jid, nickname, group, previousGroup);
}

int ContactEditor::AddPhoneContact(const std::string& group, const PhoneContact& contact) {
    PhoneContact sent = contact;
    // A new contact has no profession, title or address yet.
    sent.profession.clear();
    sent.title.clear();
    sent.address.clear();
    return context_.session.AddMobileContact(PayloadGroupName(group), MobileContactPayload(sent));
}

int ContactEditor::ModifyPhoneContact(const std::string& group, const PhoneContact& contact,
                                      const std::string& id) {
    return context_.session.ModifyMobileContact(PayloadGroupName(group),
                                                MobileContactPayload(contact), id);
}

int ContactEditor::DeleteContact(const std::string& jid, const std::string& name,
                                 const std::string& group) {
    platform::SessionCore& session = context_.session;
    if (session.GetUserType(jid) == platform::kUserTypeSms) {
        return session.DeleteMobileContact(group, jid);
    }
    return session.RemoveContact(jid, name, group);
}

int ContactEditor::CreateGroup(ContactList list, const std::string& name,
                               const std::string& parent) {
    platform::SessionCore& session = context_.session;
    if (list == ContactList::Buddies) {
        return session.AddBudyGroup(name, name, parent.empty() ? platform::kRosterTopKind : parent);
    }
    return session.AddTelGroup(name, name, parent.empty() ? platform::kPhoneBookTopKind : parent);
}

int ContactEditor::RenameGroup(ContactList list, const std::string& oldName,
                               const std::string& newName) {
    platform::SessionCore& session = context_.session;
    return list == ContactList::Buddies ? session.ModifyBuddyGroup(oldName, newName)
                                        : session.ModifyTelGroup(oldName, newName);
}

int ContactEditor::DeleteGroup(ContactList list, const std::string& name) {
    platform::SessionCore& session = context_.session;
    return list == ContactList::Buddies ? session.DeleteBudyGroup(name)
                                        : session.DeleteTelGroup(name);
}

}  // namespace contacts::editing
