#pragma once
// The notifications the contact trees handle, registered for as long as the answered
// registrations live (keep them beside the trees, and let them go first). UI thread:
//   presence (16, 18..22, 24)   every tree shows the new presence; the contact's open chat
//                               window hears of it; a contact coming online may bring a
//                               status tip, sent to the main panel as UI subcode kStatusTip
//   kStatusTip                  the trees show the tip (lParam: const std::string*)
//   vCard (39)                  logged, and applied to every user with that JID

#include "notify/routes/notification_handlers.h"

namespace core {
class ClientContext;
}

namespace contacts {

class ContactTrees;

notify::Registrations RegisterContactNotifications(core::ClientContext& context,
                                                   ContactTrees& trees,
                                                   notify::NotificationHandlers& handlers);

}  // namespace contacts
