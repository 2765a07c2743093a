#include "update/update_notifications.h"

#include <memory>

#include "os/services/log.h"
#include "platform/session/notify_record.h"

namespace update {

notify::Registrations RegisterUpdateNotifications(core::ClientContext& context,
                                                  ProgramUpdate& program,
                                                  notify::NotificationHandlers& handlers) {
    notify::Registrations registrations;
    // The notice's route posts a copy to the main panel (the record itself goes back at once),
    // so its handler is the copy part, on the UI thread.
    registrations.push_back(
        handlers.OnCopy({platform::notify_type::kUpdateNotice},
                        [&context, &program](std::unique_ptr<platform::NotifyRecord> record) {
                            const auto* notice = record->As<platform::UpdateNoticeData>();
                            if (notice == nullptr) {
                                context.log.WriteLog2(2, "Update notice without data ignored");
                                return;
                            }
                            program.OnNotice(notice->texts);
                        }));
    return registrations;
}

}  // namespace update
