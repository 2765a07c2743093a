#pragma once
// The update's notification handler: the session's new-version notice (type 2).

#include "core/client_context.h"
#include "notify/routes/notification_handlers.h"
#include "update/program_update.h"

namespace update {

notify::Registrations RegisterUpdateNotifications(core::ClientContext& context,
                                                  ProgramUpdate& program,
                                                  notify::NotificationHandlers& handlers);

}  // namespace update
