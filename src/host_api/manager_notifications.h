#pragma once
// The notifications the window manager handles, registered for as long as the answered
// registrations live. UI thread:
//   channel list (41)   the login has succeeded: the switch to the logged-in interface

#include "notify/routes/notification_handlers.h"

namespace core {
class ClientContext;
}

notify::Registrations RegisterWindowManagerNotifications(core::ClientContext& context,
                                                         notify::NotificationHandlers& handlers);
