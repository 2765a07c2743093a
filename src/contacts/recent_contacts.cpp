#include "contacts/recent_contacts.h"

#include <memory>
#include <set>
#include <vector>

#include "config/client_config.h"
#include "contacts/contact_group.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "contacts/presence_table.h"
#include "contacts/tree_item_data.h"
#include "core/client_context.h"
#include "os/services/log.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"

namespace contacts {
namespace {

constexpr std::string_view kEntrySeparator = "||";

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

class RecentFiller {
  public:
    RecentFiller(core::ClientContext& context, CIMTree& tree, const ContactTrees& trees)
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
            std::unique_ptr<CUser> user = MakeUser(*entry, id);
            user->groupKey = RecentGroupKey(groupId);
            auto userItem = CIMTreeItemData::ForUser(std::move(user));
            CIMTreeItemData* placed = tree_.AddItemData(userItem);
            if (placed == nullptr || placed->user() == nullptr) continue;
            if (tree_.InsertUserItem(placed->user(), node, os::kTreeLast) != 0) ++shown;
        }
        if (shown == 0) {
            tree_.InsertItem(std::string(kRecentEmptyPlaceholder), kPlaceholderImage,
                             kPlaceholderImage, node);
        }
        return shown;
    }

  private:
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

}  // namespace

std::string RecentGroupKey(int groupId) {
    return std::string(kRecentParentId) + "," + std::to_string(groupId);
}

int FillRecentContacts(core::ClientContext& context, CIMTree& tree, const ContactTrees& trees,
                       std::string_view extensionXml) {
    if (!tree.DeleteAllItemData()) {
        context.log.WriteLog("清空最近联系人失败");
        return 0;
    }
    // The lists as the extension carries them, read the way every user's extension is read.
    CUser own(context.clock, context.session.GetCurrentUserJID(), "", "", "");
    own.ParseExtensionXml(extensionXml);
    const std::string host = platform::Jid(context.session.GetCurrentUserJID()).Domain();
    const config::ClientConfig& config = context.config;
    RecentFiller filler(context, tree, trees);
    int shown = filler.Fill(kRecentImGroupId, config.RecentContactIMTitle, own.details().recentIm,
                            false, host);
    shown += filler.Fill(kRecentSmsGroupId, config.RecentContactSMSTitle, own.details().recentSms,
                         true, host);
    return shown;
}

}  // namespace contacts
