#pragma once
// The recent-contacts tree: two groups under the parent id "1000", id 1001 for chat partners
// (titled RecentContactIMTitle) and id 1002 for SMS recipients (RecentContactSMSTitle), keyed
// "1000,1001" and "1000,1002". The lists live in the user's own vCard extension (RECENTIM,
// RECENTSMS), newest first, each entry "<JID>||<text>"; an SMS entry names a number, shown as
// "<number>@sms.<host>".
//
// Fill replaces the tree's contents with both groups and their users, in list order: a
// contact another tree shows is copied from there (its name and presence), any other takes
// the entry's text as its name (the JID's local part without one). A contact listed twice
// keeps its first (newest) place; an entry without a usable JID logs "构造最近联系人信息出错"
// and is skipped; a group left empty shows "无数据".
//
// Add puts a contact the user chats with or texts at the front of its list (SMS when the
// session's user type is 3), cuts the list to CountOfRecentContact entries, sends the whole
// own extension to the server (UpdateMyExtendInfo: the signature and photo go with it
// unchanged) and puts the contact first in its group of the tree. DeleteSelected takes the
// tree's selected contact out of its list too, so it does not come back at the next login.
// Forget drops the kept extension at a session end: the next account starts from its own.
// UI thread.

#include <memory>
#include <string>
#include <string_view>

namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;
class CUser;
class ContactTrees;

inline constexpr std::string_view kRecentParentId = "1000";
inline constexpr int kRecentImGroupId = 1001;
inline constexpr int kRecentSmsGroupId = 1002;
inline constexpr std::string_view kRecentEmptyPlaceholder = "无数据";
inline constexpr std::string_view kRecentEntryError = "构造最近联系人信息出错";

// "1000,<id>".
std::string RecentGroupKey(int groupId);

class RecentContacts {
  public:
    RecentContacts(core::ClientContext& context, const ContactTrees& trees);
    ~RecentContacts();
    RecentContacts(const RecentContacts&) = delete;
    RecentContacts& operator=(const RecentContacts&) = delete;

    // Keeps `extensionXml` as the user's own and shows its lists in `tree`; answers how many
    // users the two groups show.
    int Fill(CIMTree& tree, std::string_view extensionXml);
    // `name` is the entry's text; empty: the contact's name in the trees, else the JID's
    // local part. `tree` may be null (the lists and the server still learn the contact).
    void Add(CIMTree* tree, const std::string& jid, std::string name);
    // False when the tree's selection is no contact of the recent groups.
    bool DeleteSelected(CIMTree& tree);
    void Forget();

  private:
    CUser& Own();
    std::string KnownName(const std::string& jid, const CIMTree* except) const;
    void SaveOwnExtension();

    core::ClientContext& context_;
    const ContactTrees& trees_;
    std::unique_ptr<CUser> own_;  // carries the own extension's fields
};

}  // namespace contacts
