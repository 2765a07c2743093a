#include "contacts/contact_notifications.h"

#include "contacts/contact_trees.h"
#include "contacts/editing/roster_push_notifications.h"
#include "core/chat_window.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "core/window_messages.h"
#include "notify/routes/ui_subcodes.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"

namespace contacts {
namespace {

using Record = platform::NotifyRecord;

void OnPresence(core::ClientContext& context, ContactTrees& trees, const Record& record) {
    const PresenceOutcome outcome = trees.OnPresenceNotify(record);
    const auto* data = record.As<platform::PresenceData>();
    const std::string word = ContactTrees::PresenceWordOf(record);
    core::IWindowManager& manager = context.windowManager();
    if (data != nullptr && !word.empty()) {
        if (core::ChatWindow* chat = manager.FindChatWindow(data->jid, platform::JidMatch::Loose)) {
            chat->OnPeerPresence(word);
        }
    }
    if (outcome.statusTip) {
        context.windows.SendMessage(manager.MainPanel(), core::WM_IM_NOTIFY, notify::ui::kStatusTip,
                                    reinterpret_cast<os::LPARAM>(&*outcome.statusTip));
    }
}

void OnVcard(core::ClientContext& context, ContactTrees& trees, const Record& record) {
    if (const auto* slots = record.As<platform::SlotData>(); slots && !slots->slots.empty()) {
        context.log.WriteLog(
            os::Format("****收到GOV好友Vcard信息 %s\r\n", slots->slots.front().c_str()));
    }
    trees.OnVcardNotify(record);
}

}  // namespace

notify::Registrations RegisterContactNotifications(core::ClientContext& context,
                                                   ContactTrees& trees,
                                                   notify::NotificationHandlers& handlers) {
    using namespace platform::notify_type;
    notify::Registrations registrations;
    registrations.push_back(handlers.OnUi(
        {kPresenceAvailable, kPresenceAway, kPresenceExtendedAway, kPresenceDoNotDisturb,
         kPresenceBusy, kPresenceOffline, kPresenceProbeAnswer},
        [&context, &trees](const Record& record) { OnPresence(context, trees, record); }));
    registrations.push_back(handlers.OnSubcode(notify::ui::kStatusTip, [&trees](os::LPARAM lParam) {
        if (lParam != 0) trees.OnStatusTip(*reinterpret_cast<const std::string*>(lParam));
        return os::LRESULT{0};
    }));
    registrations.push_back(handlers.OnUi(
        {kVcard}, [&context, &trees](const Record& record) { OnVcard(context, trees, record); }));
    for (notify::Registration& pushes : RegisterRosterPushNotifications(context, trees, handlers)) {
        registrations.push_back(std::move(pushes));
    }
    return registrations;
}

}  // namespace contacts
