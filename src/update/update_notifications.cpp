#include "update/update_notifications.h"

#include "os/services/log.h"
#include "platform/session/notify_record.h"

namespace update {

notify::Registrations RegisterUpdateNotifications(core::ClientContext& context,
                                                  ProgramUpdate& program,
                                                  notify::NotificationHandlers& handlers) {
    notify::Registrations registrations;
    registrations.push_back(
        handlers.OnUi({platform::notify_type::kUpdateNotice},
                      [&context, &program](const platform::NotifyRecord& record) {
                          const auto* notice = record.As<platform::UpdateNoticeData>();
                          if (notice == nullptr) {
                              context.log.WriteLog2(2, "Update notice without data ignored");
                              return;
                          }
                          program.OnNotice(notice->texts);
                      }));
    return registrations;
}

}  // namespace update
