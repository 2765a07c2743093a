#pragma once
// The notifications the login panel handles, registered for as long as the answered
// registrations live. UI thread:
//   login result (0)   to the login panel (CDlgLogin::OnLoginResult); without a login
//                      panel, or without result data, it is logged and passed over

#include "notify/routes/notification_handlers.h"

namespace core {
class ClientContext;
}

namespace login {

notify::Registrations RegisterLoginNotifications(core::ClientContext& context,
                                                 notify::NotificationHandlers& handlers);

}  // namespace login
