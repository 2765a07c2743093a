#pragma once
// The notifications the chat windows handle, registered for as long as the answered
// registrations live. Notification thread:
//   typing state (42)   the sender's open chat window shows or clears " 正在输入....",
//                       on the UI thread (sent to the main panel's thread as a task)

#include "notify/routes/notification_handlers.h"

namespace core {
class ClientContext;
}

namespace chat {

notify::Registrations RegisterChatNotifications(core::ClientContext& context,
                                                notify::NotificationHandlers& handlers);

}  // namespace chat
