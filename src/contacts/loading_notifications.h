#pragma once
// The notifications that load the main panel's trees, registered for as long as the
// answered registrations live (keep them beside the trees, and let them go first). Direct
// handlers; the trees' work is sent to the UI thread:
//   data phase (106)        MainPanelTrees::OnDataPhaseStart
//   list (5)                MainPanelTrees::OnContactList
//   group SMS refused (99)  OnGroupSizeForSms, its box posted so the pump goes on

#include "notify/routes/notification_handlers.h"

namespace core {
class ClientContext;
}

namespace contacts {

class MainPanelTrees;

notify::Registrations RegisterLoadingNotifications(core::ClientContext& context,
                                                   MainPanelTrees& trees,
                                                   notify::NotificationHandlers& handlers);

}  // namespace contacts
