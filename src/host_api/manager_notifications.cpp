#include "host_api/manager_notifications.h"

#include "core/client_context.h"
#include "core/window_manager.h"

notify::Registrations RegisterWindowManagerNotifications(core::ClientContext& context,
                                                         notify::NotificationHandlers& handlers) {
    notify::Registrations registrations;
    registrations.push_back(handlers.OnUi(
        {platform::notify_type::kChannelList}, [&context](const platform::NotifyRecord&) {
            context.windowManager().SwitchInterface(core::ClientInterface::PostLogin);
        }));
    return registrations;
}
