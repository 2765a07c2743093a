#include "contacts/loading_notifications.h"

#include "contacts/main_panel_trees.h"
#include "contacts/server_answers.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "os/ui/window_system.h"

namespace contacts {

notify::Registrations RegisterLoadingNotifications(core::ClientContext& context,
                                                   MainPanelTrees& trees,
                                                   notify::NotificationHandlers& handlers) {
    using namespace platform::notify_type;
    using Record = platform::NotifyRecord;
    notify::Registrations registrations;
    registrations.push_back(handlers.OnDirect({kDataPhaseStart}, [&context, &trees](const Record&) {
        context.windows.SendTask(context.windowManager().MainPanel(),
                                 [&trees] { trees.OnDataPhaseStart(); });
    }));
    registrations.push_back(
        handlers.OnDirect({kContactListLoading}, [&context, &trees](const Record& record) {
            const auto* list = record.As<platform::ContactListData>();
            if (list == nullptr) return;
            context.windows.SendTask(context.windowManager().MainPanel(),
                                     [&trees, list] { trees.OnContactList(*list); });
        }));
    registrations.push_back(handlers.OnDirect({kBatchSmsRefused}, [&context](const Record& record) {
        const auto* slots = record.As<platform::SlotData>();
        if (slots == nullptr) return;
        context.windows.PostTask(context.windowManager().MainPanel(), [&context, answer = *slots] {
            OnGroupSizeForSms(context, answer);
        });
    }));
    return registrations;
}

}  // namespace contacts
