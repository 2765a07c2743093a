#include "contacts/recent_contacts.h"

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "config/client_config.h"
#include "contacts/contact_group.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "contacts/tree_item_data.h"
#include "core/client_context.h"
#include "os/services/log.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"

namespace contacts {
namespace {

constexpr std::string_view kEntrySeparator = "||";
constexpr int kSmsUserType = 3;

struct Entry {
    std::string jid;
    std::string text;
};

// "<JID>||<text>"; an SMS list names a number, made "<number>@sms.<host>". Nothing when the
// entry names no user.
std::optional<Entry> ParseEntry(std::string_view entry, bool sms, std::string_view host) {
    const std::size_t cut = entry.find(kEntrySeparator);
    const std::string_view head = entry.substr(0, cut);
    Entry parsed;
    if (cut != std::string_view::npos) parsed.text = entry.substr(cut + kEntrySeparator.size());
    if (sms) {
        if (head.empty() || head.find_first_of("@/ ") != std::string_view::npos) {
            return std::nullopt;
        }
        parsed.jid = platform::Jid::Sms(head, host).text();
        return parsed;
    }
    const platform::Jid jid(head);
    if (jid.LocalPart().empty() || jid.Domain().empty()) return std::nullopt;
    parsed.jid = jid.Bare();
    return parsed;
}

bool SameContact(std::string_view a, std::string_view b) {
    return platform::Jid(a).StoreKey() == platform::Jid(b).StoreKey();
}

// The lists are joined with ";" in the extension: a name must not cut its entry in two.
std::string EntryText(std::string name) {
    std::replace(name.begin(), name.end(), ';', ' ');
    return name;
}

class RecentTree {
  public:
    RecentTree(core::ClientContext& context, CIMTree& tree, const ContactTrees& trees)
        : context_(context), tree_(tree), trees_(trees) {}

    int Fill(int groupId, std::string_view title, const std::vector<std::string>& entries, bool sms,
             std::string_view host) {
        const std::string id = std::to_string(groupId);
        auto item = CIMTreeItemData::ForGroup(std::make_unique<CGroup>(
            id, std::string(title), std::string(kRecentParentId), RecentGroupKey(groupId)));
        CIMTreeItemData* stored = tree_.AddItemData(item);
        if (stored == nullptr || stored->group() == nullptr) return 0;
        const os::TreeItem node =
            tree_.InsertGroupItem(stored->group(), os::kTreeRoot, os::kTreeLast);
        int shown = 0;
        std::set<std::string> seen;
        for (const std::string& text : entries) {
            const std::optional<Entry> entry = ParseEntry(text, sms, host);
            if (!entry) {
                context_.log.WriteLog(std::string(kRecentEntryError) + ": " + text);
                continue;
            }
            if (!seen.insert(platform::Jid(entry->jid).StoreKey()).second) continue;
            if (Place(*entry, groupId, node, os::kTreeLast) != 0) ++shown;
        }
        if (shown == 0) ShowPlaceholder(node);
        return shown;
    }

    // Puts the contact first in the group's node, without an older node of it, and keeps the
    // first `keep` users. False when the group has no node (the tree was never filled).
    bool PutFirst(int groupId, const Entry& entry, int keep) {
        CGroup* group = tree_.FindGroup(RecentGroupKey(groupId));
        if (group == nullptr || group->holder() == nullptr) return false;
        const os::TreeItem node = tree_.NodeOf(*group->holder());
        if (node == 0) return false;
        std::vector<CIMTreeItemData*> gone;
        std::vector<os::TreeItem> placeholders;
        for (os::TreeItem child = tree_.GetChild(node); child != 0;
             child = tree_.GetNextSibling(child)) {
            CIMTreeItemData* data = tree_.GetItemData(child);
            if (data == nullptr) {
                placeholders.push_back(child);
            } else if (data->user() != nullptr && SameContact(data->user()->GetJid(), entry.jid)) {
                gone.push_back(data);
            }
        }
        for (os::TreeItem placeholder : placeholders) tree_.DeleteItem(placeholder);
        for (CIMTreeItemData* data : gone) tree_.RemoveItemData(data);
        Place(entry, groupId, node, os::kTreeFirst);
        Trim(node, keep);
        return true;
    }

    // Takes the selected contact out of its group; the group left empty shows "无数据".
    // Answers the JID and whether it was an SMS entry, or nothing.
    std::optional<std::pair<std::string, bool>> RemoveSelected() {
        const os::TreeItem selected = tree_.GetSelectedItem();
        CUser* user = selected != 0 ? tree_.UserOf(selected) : nullptr;
        if (user == nullptr) return std::nullopt;
        const bool sms = std::string_view(user->groupKey) == RecentGroupKey(kRecentSmsGroupId);
        if (!sms && std::string_view(user->groupKey) != RecentGroupKey(kRecentImGroupId)) {
            return std::nullopt;
        }
        std::pair<std::string, bool> removed{user->GetJid(), sms};
        const os::TreeItem parent = tree_.GetParent(selected);
        tree_.RemoveItemData(user->holder());
        if (parent != 0 && tree_.GetChild(parent) == 0) ShowPlaceholder(parent);
        return removed;
    }

  private:
    os::TreeItem Place(const Entry& entry, int groupId, os::TreeItem node, os::TreeItem after) {
        std::unique_ptr<CUser> user = MakeUser(entry, std::to_string(groupId));
        user->groupKey = RecentGroupKey(groupId);
        auto userItem = CIMTreeItemData::ForUser(std::move(user));
        CIMTreeItemData* placed = tree_.AddItemData(userItem);
        if (placed == nullptr || placed->user() == nullptr) return 0;
        return tree_.InsertUserItem(placed->user(), node, after);
    }

    void Trim(os::TreeItem node, int keep) {
        std::vector<CIMTreeItemData*> beyond;
        int index = 0;
        for (os::TreeItem child = tree_.GetChild(node); child != 0;
             child = tree_.GetNextSibling(child)) {
            if (index++ < keep) continue;
            if (CIMTreeItemData* data = tree_.GetItemData(child)) beyond.push_back(data);
        }
        for (CIMTreeItemData* data : beyond) tree_.RemoveItemData(data);
        if (tree_.GetChild(node) == 0) ShowPlaceholder(node);
    }

    void ShowPlaceholder(os::TreeItem node) {
        tree_.InsertItem(std::string(kRecentEmptyPlaceholder), kPlaceholderImage, kPlaceholderImage,
                         node);
    }

    // A copy of the contact as another tree shows it, else a user of the entry alone.
    std::unique_ptr<CUser> MakeUser(const Entry& entry, const std::string& groupId) const {
        for (CIMTree* other : trees_.trees()) {
            if (other == &tree_) continue;
            if (CUser* known = other->FindUser(entry.jid, {}, platform::JidMatch::Loose)) {
                auto copy = std::make_unique<CUser>(*known);
                copy->groupId = groupId;
                return copy;
            }
        }
        std::string name = entry.text;
        if (name.empty()) name = platform::Jid(entry.jid).LocalPart();
        return std::make_unique<CUser>(context_.clock, entry.jid, std::move(name), groupId, "");
    }

    core::ClientContext& context_;
    CIMTree& tree_;
    const ContactTrees& trees_;
};

std::string HostOf(core::ClientContext& context) {
    return platform::Jid(context.session.GetCurrentUserJID()).Domain();
}

}  // namespace

std::string RecentGroupKey(int groupId) {
    return std::string(kRecentParentId) + "," + std::to_string(groupId);
}

RecentContacts::RecentContacts(core::ClientContext& context, const ContactTrees& trees)
    : context_(context), trees_(trees) {}

RecentContacts::~RecentContacts() = default;

CUser& RecentContacts::Own() {
    if (!own_) {
        own_ = std::make_unique<CUser>(context_.clock, context_.session.GetCurrentUserJID(), "", "",
                                       "");
    }
    return *own_;
}

void RecentContacts::Forget() { own_.reset(); }

int RecentContacts::Fill(CIMTree& tree, std::string_view extensionXml) {
    // The lists as the extension carries them, read the way every user's extension is read.
    own_.reset();
    Own().ParseExtensionXml(extensionXml);
    if (!tree.DeleteAllItemData()) {
        context_.log.WriteLog("清空最近联系人失败");
        return 0;
    }
    const std::string host = HostOf(context_);
    const config::ClientConfig& config = context_.config;
    RecentTree filler(context_, tree, trees_);
    const UserDetails& lists = Own().details();
    int shown =
        filler.Fill(kRecentImGroupId, config.RecentContactIMTitle, lists.recentIm, false, host);
    shown +=
        filler.Fill(kRecentSmsGroupId, config.RecentContactSMSTitle, lists.recentSms, true, host);
    return shown;
}

std::string RecentContacts::KnownName(const std::string& jid, const CIMTree* except) const {
    for (CIMTree* tree : trees_.trees()) {
        if (tree == except) continue;
        if (const CUser* known = tree->FindUser(jid, {}, platform::JidMatch::Loose)) {
            return known->ShownName();
        }
    }
    return {};
}

void RecentContacts::SaveOwnExtension() {
    if (context_.session.UpdateMyExtendInfo(Own().BuildExtensionXml()) == 0) {
        context_.log.WriteLog("更新最近联系人失败");
    }
}

void RecentContacts::Add(CIMTree* tree, const std::string& jid, std::string name) {
    const bool sms = context_.session.GetUserType(jid) == kSmsUserType;
    const platform::Jid parsed(jid);
    const std::string head = sms ? parsed.LocalPart() : parsed.Bare();
    if (parsed.LocalPart().empty() || parsed.Domain().empty()) {
        context_.log.WriteLog(std::string(kRecentEntryError) + ": " + jid);
        return;
    }
    const std::string host = HostOf(context_);
    const std::string contact = sms ? platform::Jid::Sms(head, host).text() : head;
    std::vector<std::string>& list =
        sms ? Own().EditDetails().recentSms : Own().EditDetails().recentIm;
    // A name the trees do not know: the one the list had for the contact, else the JID's.
    if (name.empty()) name = KnownName(jid, tree);
    std::erase_if(list, [&](const std::string& text) {
        const std::optional<Entry> listed = ParseEntry(text, sms, host);
        if (!listed || !SameContact(listed->jid, contact)) return false;
        if (name.empty()) name = listed->text;
        return true;
    });
    if (name.empty()) name = parsed.LocalPart();
    const Entry entry{contact, EntryText(std::move(name))};
    const int keep = std::max(0, context_.config.CountOfRecentContact);
    list.insert(list.begin(), head + std::string(kEntrySeparator) + entry.text);
    if (list.size() > static_cast<std::size_t>(keep)) list.resize(static_cast<std::size_t>(keep));
    SaveOwnExtension();

    if (tree == nullptr) return;
    RecentTree shown(context_, *tree, trees_);
    if (!shown.PutFirst(sms ? kRecentSmsGroupId : kRecentImGroupId, entry, keep)) {
        // Never filled (no own vCard came): build both groups from the lists.
        const std::string xml = Own().BuildExtensionXml();
        Fill(*tree, xml);
    }
}

bool RecentContacts::DeleteSelected(CIMTree& tree) {
    RecentTree shown(context_, tree, trees_);
    const std::optional<std::pair<std::string, bool>> removed = shown.RemoveSelected();
    if (!removed) return false;
    const auto& [jid, sms] = *removed;
    const std::string host = HostOf(context_);
    std::vector<std::string>& list =
        sms ? Own().EditDetails().recentSms : Own().EditDetails().recentIm;
    std::erase_if(list, [&](const std::string& text) {
        const std::optional<Entry> listed = ParseEntry(text, sms, host);
        return listed && SameContact(listed->jid, jid);
    });
    SaveOwnExtension();
    return true;
}

}  // namespace contacts
