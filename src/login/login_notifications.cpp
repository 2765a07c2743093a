#include "login/login_notifications.h"

#include "core/client_context.h"
#include "core/window_manager.h"
#include "login/dlg_login.h"
#include "os/services/log.h"
#include "os/ui/window_system.h"

namespace login {

notify::Registrations RegisterLoginNotifications(core::ClientContext& context,
                                                 notify::NotificationHandlers& handlers) {
    notify::Registrations registrations;
    registrations.push_back(handlers.OnUi(
        {platform::notify_type::kLoginResult}, [&context](const platform::NotifyRecord& record) {
            const auto* result = record.As<platform::LoginResultData>();
            auto* panel = dynamic_cast<CDlgLogin*>(
                context.windows.FromHandle(context.windowManager().LoginPanel()));
            if (result == nullptr || panel == nullptr) {
                context.log.WriteLog2(2, "Login result without a login panel or data ignored");
                return;
            }
            panel->OnLoginResult(*result);
        }));
    return registrations;
}

}  // namespace login
