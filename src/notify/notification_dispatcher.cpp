#include "notify/notification_dispatcher.h"

#include <memory>

#include "core/window_manager.h"
#include "core/window_messages.h"
#include "notify/parcel.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"

namespace notify {

void NotificationDispatcher::Dispatch(const platform::NotifyRecord& record) {
    const DispatchRow row = RouteOf(record.type);
    if (row.route == Route::Ignored) return;
    if (!platform::HasExpectedPayload(record)) {
        context_.log.WriteLog2(
            2, os::Format("Notification %u dropped: its data is not of its type", record.type));
        return;
    }
    if (row.route == Route::Copy) {
        PostCopy(record);
        return;
    }
    // The parts in their order: direct, UI (unless the direct part stopped the hand-over),
    // then the customer-service desk.
    HandOver handOver = HandOver::ToUi;
    if (HasDirectPart(row.route)) handOver = handlers_->RunDirect(record);
    if (HasUiPart(row.route) && handOver == HandOver::ToUi) {
        SendToMainPanel(row.uiSubcode, record);
    }
    if (ReachesServiceDesk(row.route)) handlers_->RunServiceDesk(record);
}

void NotificationDispatcher::SendToMainPanel(int subcode, const platform::NotifyRecord& record) {
    // Sent, not posted: the record stays valid until the panel has handled it.
    context_.windows.SendMessage(context_.windowManager().MainPanel(), core::WM_IM_NOTIFY,
                                 static_cast<os::WPARAM>(subcode),
                                 reinterpret_cast<os::LPARAM>(&record));
}

void NotificationDispatcher::PostCopy(const platform::NotifyRecord& record) {
    PostParcel(context_.windows, context_.windowManager().MainPanel(), core::WM_IM_NOTIFY_COPY, 0,
               std::make_unique<platform::NotifyRecord>(record));
}

void NotificationDispatcher::ConnectionLost() {
    core::IWindowManager& manager = context_.windowManager();
    os::WindowSystem& windows = context_.windows;
    if (!manager.Flags().loggedInElsewhere) {
        // A timer belongs to its window's thread: the login panel starts it there.
        const os::HWND loginPanel = manager.LoginPanel();
        windows.PostTask(loginPanel, [&windows, loginPanel] {
            windows.SetTimer(loginPanel, kReconnectTimerId, kReconnectCountdownMs);
        });
    }
    manager.Flags().connectionLost = true;
    windows.PostMessage(manager.HostMainWnd(), os::WM_COMMAND,
                        static_cast<os::WPARAM>(core::ID_HOST_CONNECTION_LOST), 0);
}

}  // namespace notify
