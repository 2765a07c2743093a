#pragma once
// What the notification thread does with each record it takes, and with a lost connection.
//
// Dispatch carries a record along the route of its type code (dispatch_table.h) to the
// handlers registered for it (notification_handlers.h) and returns when the route is done;
// the caller then gives the record back. A record whose data is not the kind its type code
// calls for (a malformed record) is dropped without any effect, as is a code nobody routes.

#include <memory>

#include "core/client_context.h"
#include "notify/routes/notification_handlers.h"
#include "os/sys/clock.h"
#include "platform/session/notify_record.h"

namespace notify {

// The reconnect countdown that a lost connection starts on the login panel.
inline constexpr std::uint64_t kReconnectTimerId = 1001;
inline constexpr os::Millis kReconnectCountdownMs = 10000;

class NotificationDispatcher {
  public:
    NotificationDispatcher(core::ClientContext& context,
                           std::shared_ptr<NotificationHandlers> handlers)
        : context_(context), handlers_(std::move(handlers)) {}

    // On the notification thread.
    void Dispatch(const platform::NotifyRecord& record);

    // The session engine signalled that the connection is gone: unless the account was taken
    // over by a login elsewhere, the login panel counts down to a reconnect; the flag is set
    // and the host is told (WM_COMMAND ID_HOST_CONNECTION_LOST).
    void ConnectionLost();

  private:
    void SendToMainPanel(int subcode, const platform::NotifyRecord& record);
    void PostCopy(const platform::NotifyRecord& record);

    core::ClientContext& context_;
    const std::shared_ptr<NotificationHandlers> handlers_;
};

}  // namespace notify
