#include "contacts/server_answers.h"

#include <cstdlib>

#include "contacts/contact_group.h"
#include "contacts/im_tree.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "os/prompt/prompter.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"

namespace contacts {

CacheCheck OnCacheCheckAnswer(core::ClientContext& context, const platform::SlotData& answer) {
    if (answer.slots.size() < 3) return CacheCheck::NotACheck;
    const std::string& nameSpace = answer.slots[0];
    const bool outOfDate = answer.slots[2] == "yes";
    platform::SessionCore& session = context.session;
    CacheCheck outcome;
    if (nameSpace == platform::kRosterNameSpace) {
        if (outOfDate) {
            session.RefreshRoster(2);
            outcome = CacheCheck::Refreshed;
        } else {
            session.RequestGroupOnlineInfo(platform::kRosterNameSpace, "all");
            outcome = CacheCheck::OnlineInfoOnly;
        }
    } else if (nameSpace == platform::kPhoneBookNameSpace) {
        if (outOfDate) session.RefreshTelContactTop(2);
        outcome = outOfDate ? CacheCheck::Refreshed : CacheCheck::NothingAsked;
    } else {
        return CacheCheck::NotACheck;
    }
    session.GetServersTime(session.GetCurrentUserJID());
    return outcome;
}

bool OnGroupSizeForSms(core::ClientContext& context, const platform::SlotData& answer) {
    if (answer.slots.size() < 2) return false;
    const long long users = std::atoll(answer.slots[1].c_str());
    if (users <= kMaxGroupSmsUsers) return false;
    context.prompter.MessageBox(kGroupTooLargeForSms, os::kDefaultCaption, os::MB_OK,
                                context.windowManager().MainPanel());
    return true;
}

int OnRootOnlineCounts(CIMTree& tree, const std::vector<RootOnlineCount>& counts) {
    int titled = 0;
    for (const RootOnlineCount& count : counts) {
        CGroup* unit = tree.FindGroup(count.unitKey);
        if (unit == nullptr) continue;
        CIMTree::ItemDataLock lock(tree);
        if (!lock.owns()) return titled;
        bool shown = false;
        tree.ForEachItemData([&](CIMTreeItemData& item) {
            if (shown || item.group() != unit) return;
            const os::TreeItem node = tree.NodeOf(item);
            if (node == os::kNoTreeItem) return;
            tree.SetItemText(node, os::Format("%s (%s/%s)", unit->name.c_str(),
                                              count.online.c_str(), count.total.c_str()));
            shown = true;
        });
        if (shown) ++titled;
    }
    return titled;
}

}  // namespace contacts
