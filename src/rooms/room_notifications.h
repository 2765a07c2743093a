#pragma once
// The room notifications, handed to the conference centre for as long as the answered
// registrations live (the layouts are platform::room_slot, read by room_notify_layout.h).
// They come on the notification thread and are sent to the UI thread as a task, so the
// record is still valid while the centre works on it:
//   invitation (47)                    a record; a temporary room opens at once
//   own room list (49)                 records of kind 2 and their nodes
//   room info (50), member counts (55) the record, its node and its window
//   member presence (52)               to the room's window (opened for it)
//   members list (53)                  the persistent room's member panel
//   room removed (54)                  destroyed: "很抱歉，该群组已经被解散！"; the record goes
//   room error (60)                    "群服务不可用或您已退出该群！", the window closes
//   voice request (61)                 the moderator sees the raised hand
// The room messages (51) come with the incoming messages (the pump's hooks, then the door).

#include "notify/routes/notification_handlers.h"

namespace core {
class ClientContext;
}

class CConferenceCenter;

namespace rooms {

notify::Registrations RegisterRoomNotifications(core::ClientContext& context,
                                                CConferenceCenter& center,
                                                notify::NotificationHandlers& handlers);

}  // namespace rooms
