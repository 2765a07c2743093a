#include "contacts/contact_trees.h"

#include <algorithm>

#include "config/client_config.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "contacts/person_vcard.h"
#include "core/client_context.h"
#include "os/sys/thread_check.h"
#include "os/text/cstring_ops.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"

namespace contacts {

namespace notify_type = platform::notify_type;

ContactTrees::ContactTrees(core::ClientContext& context) : context_(context) {}

void ContactTrees::CheckThread(std::string_view call) const {
    os::CheckOwnerThread(
        owner_, call,
        [&] { return "the contact trees (" + std::to_string(trees_.size()) + " trees)"; },
        [&] { return ownerName_; });
}

void ContactTrees::Add(CIMTree& tree) {
    if (owner_ == std::thread::id()) {
        owner_ = std::this_thread::get_id();
        ownerName_ = os::DescribeCurrentThread();
    }
    CheckThread("ContactTrees::Add");
    if (std::find(trees_.begin(), trees_.end(), &tree) == trees_.end()) trees_.push_back(&tree);
}

void ContactTrees::Remove(CIMTree& tree) {
    CheckThread("ContactTrees::Remove");
    std::erase(trees_, &tree);
}

std::string ContactTrees::PresenceWordOf(const platform::NotifyRecord& record) {
    const auto* data = record.As<platform::PresenceData>();
    if (data == nullptr) return {};
    if (!data->presence.empty()) return data->presence;
    switch (record.type) {
        case notify_type::kPresenceAvailable:
            return "online";
        case notify_type::kPresenceAway:
            return "away";
        case notify_type::kPresenceExtendedAway:
            return "xa";
        case notify_type::kPresenceDoNotDisturb:
            return "dnd";
        case notify_type::kPresenceBusy:
            return "busy";
        case notify_type::kPresenceOffline:
            return "offline";
        default:
            return {};
    }
}

PresenceOutcome ContactTrees::OnPresenceNotify(const platform::NotifyRecord& record) {
    CheckThread("ContactTrees::OnPresenceNotify");
    PresenceOutcome outcome;
    const auto* data = record.As<platform::PresenceData>();
    if (!platform::IsPresenceType(record.type) || data == nullptr || data->jid.empty()) {
        return outcome;
    }
    const std::string word = PresenceWordOf(record);
    if (word.empty()) return outcome;

    const PresenceTable presence;
    std::string before;
    std::string shownName;
    bool seen = false;
    for (CIMTree* tree : trees_) {
        for (CUser* user : tree->FindUsers(data->jid, platform::JidMatch::Loose)) {
            if (!seen) {
                seen = true;
                before = user->presence();
                shownName = user->name;
            }
            if (user->presence() == word) continue;
            tree->SetUserPresence(user, word);
            ++outcome.usersChanged;
        }
    }
    if (!seen || context_.config.BuddyStatusNotify == 0 ||
        record.type == notify_type::kPresenceProbeAnswer) {
        return outcome;
    }
    if (shownName.empty()) shownName = !data->nickname.empty() ? data->nickname : data->jid;
    if (presence.IsOfflineWord(before) && !presence.IsOfflineWord(word)) {
        outcome.statusTip = os::Format("%s 刚登录", shownName.c_str());
    } else if (!presence.IsOfflineWord(before) && !presence.IsOnlineWord(before) &&
               presence.IsOnlineWord(word)) {
        outcome.statusTip = os::Format("%s 上线了", shownName.c_str());
    }
    return outcome;
}

void ContactTrees::OnStatusTip(const std::string& text) {
    CheckThread("ContactTrees::OnStatusTip");
    context_.noticePop.ShowStatusTip(text);
}

int ContactTrees::OnVcardNotify(const platform::NotifyRecord& record) {
    CheckThread("ContactTrees::OnVcardNotify");
    const auto* slots = record.As<platform::SlotData>();
    if (record.type != notify_type::kVcard || slots == nullptr) return 0;
    const std::optional<CContactPersonInfo> vcard = PersonVcardFromSlots(*slots);
    if (!vcard) return 0;
    if (ownExtension_ && platform::Jid(vcard->jid).StoreKey() ==
                             platform::Jid(context_.session.GetCurrentUserJID()).StoreKey()) {
        ownExtension_(vcard->extensionXml);
    }
    int applied = 0;
    for (CIMTree* tree : trees_) applied += tree->ApplyPersonVcard(*vcard);
    return applied;
}

CUser* ContactTrees::FindUser(std::string_view jid, platform::JidMatch match) const {
    CheckThread("ContactTrees::FindUser");
    for (CIMTree* tree : trees_) {
        if (CUser* user = tree->FindUser(jid, {}, match)) return user;
    }
    return nullptr;
}

std::optional<std::string> ContactTrees::Subscription(std::string_view jid) const {
    CheckThread("ContactTrees::Subscription");
    const CUser* user = FindUser(jid, platform::JidMatch::Loose);
    if (user == nullptr) return std::nullopt;
    return user->subscription;
}

}  // namespace contacts
