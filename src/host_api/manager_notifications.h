#pragma once
// The notifications the window manager handles, registered for as long as the answered
// registrations live. What they read of a record's slots (SlotData):
//   chat window update (25)     direct: slot 0 the contact's JID; its open chat window shows
//                               the contact's details anew
//   new-mail count (38)         direct: number 0 (or slot 0) the count, shown on the tool bar;
//                               above 0 the UI part follows: the new-mail tip
//   channel list (41)           UI: the login has succeeded: the switch to the logged-in
//                               interface
//   gateway error (43)          direct: the gateway (MSN) session is logged off
//   password changed (86..90)   direct: slot 0 the result ("success"), slot 1 the new
//                               password, which the session keeps from then on
//   share result (91)           direct: slot 0 the result; anything but "success" is told
//                               in a box
//   unknown partner (103)       UI: slot 0 the partner's JID, whose details are asked for
// and the main panel's message boxes that other parts of the client ask for (UI subcodes
// kSystemMessageBox "系统消息" and kBroadcastMessageBox "广播消息", lParam the text).

#include "notify/routes/notification_handlers.h"

namespace core {
class ClientContext;
}

notify::Registrations RegisterWindowManagerNotifications(core::ClientContext& context,
                                                         notify::NotificationHandlers& handlers);
