#pragma once
// The notifications the SMS quota takes, registered for as long as the answered registrations
// live. UI thread:
//   SMS quota (77)        kind, remaining and third value replace the quota's
//   timed answer (78)     the timed window and count, or an error code, whose pop-up tip is
//                         shown ("-16_1001", "-16_1002", "-16_1800"; other "-16_1" codes are
//                         ignored)
// The open composers show the new values.

#include "notify/routes/notification_handlers.h"

namespace core {
class ClientContext;
}

namespace batch {

class BatchComposers;

notify::Registrations RegisterBatchNotifications(core::ClientContext& context,
                                                 BatchComposers& composers,
                                                 notify::NotificationHandlers& handlers);

}  // namespace batch
