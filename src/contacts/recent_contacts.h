#pragma once
// The recent-contacts tree: two groups under the parent id "1000", id 1001 for chat partners
// (titled RecentContactIMTitle) and id 1002 for SMS recipients (RecentContactSMSTitle), keyed
// "1000,1001" and "1000,1002". The lists live in the user's own vCard extension (RECENTIM,
// RECENTSMS), newest first, each entry "<JID>||<text>"; an SMS entry names a number, shown as
// "<number>@sms.<host>".
//
// FillRecentContacts replaces the tree's contents with both groups and their users, in list
// order: a contact another tree shows is copied from there (its name and presence), any other
// takes the entry's text as its name (the JID's local part without one). A contact listed
// twice keeps its first (newest) place; an entry without a usable JID logs
// "构造最近联系人信息出错" and is skipped; a group left empty shows "无数据". UI thread.

#include <string>
#include <string_view>

namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;
class ContactTrees;

inline constexpr std::string_view kRecentParentId = "1000";
inline constexpr int kRecentImGroupId = 1001;
inline constexpr int kRecentSmsGroupId = 1002;
inline constexpr std::string_view kRecentEmptyPlaceholder = "无数据";
inline constexpr std::string_view kRecentEntryError = "构造最近联系人信息出错";

// "1000,<id>".
std::string RecentGroupKey(int groupId);

// Answers how many users the two groups show.
int FillRecentContacts(core::ClientContext& context, CIMTree& tree, const ContactTrees& trees,
                       std::string_view extensionXml);

}  // namespace contacts
