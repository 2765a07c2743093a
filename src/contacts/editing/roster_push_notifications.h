#pragma once
// Roster pushes (type 34), handled directly and applied on the UI thread to every contact
// tree that shows the list's contacts: the trees of the list's top kind take the whole push
// (ApplyRosterPush); any other tree holding a pushed contact (the recent contacts) takes its
// new name.

#include "notify/routes/notification_handlers.h"
#include "platform/session/notify_record.h"

namespace core {
class ClientContext;
}

namespace contacts {

class ContactTrees;

// UI thread. Answers how many trees took the whole push.
int ApplyPushToTrees(core::ClientContext& context, ContactTrees& trees,
                     const platform::RosterPushData& push);

notify::Registrations RegisterRosterPushNotifications(core::ClientContext& context,
                                                      ContactTrees& trees,
                                                      notify::NotificationHandlers& handlers);

}  // namespace contacts
