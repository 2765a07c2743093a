#include "batch/batch_notifications.h"

#include "batch/batch_composers.h"
#include "core/client_context.h"
#include "platform/services/notice_pop.h"

namespace batch {

notify::Registrations RegisterBatchNotifications(core::ClientContext& context,
                                                 BatchComposers& composers,
                                                 notify::NotificationHandlers& handlers) {
    namespace nt = platform::notify_type;
    notify::Registrations registrations;
    registrations.push_back(
        handlers.OnUi({nt::kSmsQuota}, [&composers](const platform::NotifyRecord& record) {
            const auto* data = record.As<platform::SmsQuotaData>();
            if (data == nullptr) return;
            composers.quota().OnQuotaAnswer(*data);
            composers.QuotaChanged();
        }));
    registrations.push_back(handlers.OnUi(
        {nt::kTimedSmsAnswer}, [&context, &composers](const platform::NotifyRecord& record) {
            const auto* data = record.As<platform::TimedSmsAnswerData>();
            if (data == nullptr) return;
            if (const std::optional<std::string> tip = composers.quota().OnTimedAnswer(*data)) {
                context.noticePop.ShowTip(*tip);
            }
            composers.QuotaChanged();
        }));
    return registrations;
}

}  // namespace batch
