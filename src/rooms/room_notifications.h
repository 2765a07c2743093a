#pragma once
// The room notifications, handed to the conference centre for as long as the answered
// registrations live (the slot layouts are in room_notify_layout.h). The direct ones come on
// the notification thread and are sent to the UI thread as a task, so the record is still
// valid while the centre works on it:
//   own room list (47), consultation rooms (49)   records of kind 2 / 0 and their nodes
//   member presence (50), room message (52)       to the room's window (opened for them)
//   room info (53), member counts (55)            the record, its node and its window
//   room dissolved (54)                           "很抱歉，该群组已经被解散！", the list again
//   member list (60)                              the persistent room's member panel
//   room error (61)                               "群服务不可用或您已退出该群！", the window closes
// and on the UI thread:
//   invitation (57)                               a record; a temporary room opens at once

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
