#include "notify/notification_dispatcher.h"

#include <memory>

#include "core/window_manager.h"
#include "core/window_messages.h"
#include "notify/friend_request.h"
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

    switch (row.route) {
        case Route::Ignored:
            return;
        case Route::Direct:
            RunDirect(row.job, record);
            return;
        case Route::Ui:
            SendToMainPanel(row.uiSubcode, record);
            return;
        case Route::DirectThenUi:
            if (RunDirect(row.job, record) == HandOver::ToUi)
                SendToMainPanel(row.uiSubcode, record);
            return;
        case Route::UiThenServiceDesk:
            SendToMainPanel(row.uiSubcode, record);
            seams_.direct->CustomerServiceOnNotify(record);
            return;
        case Route::DirectThenServiceDesk:
            RunDirect(row.job, record);
            seams_.direct->CustomerServiceOnNotify(record);
            return;
        case Route::ServiceDesk:
            seams_.direct->CustomerServiceOnNotify(record);
            return;
        case Route::Copy:
            PostUpdateNoticeCopy(record);
            return;
    }
}

HandOver NotificationDispatcher::RunDirect(Job job, const platform::NotifyRecord& record) {
    DirectJobs& jobs = *seams_.direct;
    switch (job) {
        case Job::LoggedInElsewhere:
            context_.windowManager().Flags().loggedInElsewhere = true;
            break;
        case Job::SubscriptionRequest:
            if (const auto* request = record.As<platform::SubscriptionRequestData>()) {
                OnSubscriptionRequest(context_, jobs, *request);
            }
            break;
        case Job::ContactListLoading:
            jobs.ContactListLoading(record);
            break;
        case Job::ChatWindowUpdate:
            jobs.ChatWindowUpdate(record);
            break;
        case Job::FileTransferFinished:
            return jobs.FileTransferFinished(record);
        case Job::FileOffer:
            return jobs.FileOffer(record);
        case Job::TreeNodeAdded:
            jobs.TreeNodeAdded(record);
            break;
        case Job::GroupLoadingProgress:
            jobs.GroupLoadingProgress(record);
            break;
        case Job::NewMailCount:
            return jobs.NewMailCount(record);
        case Job::UserDataUpdate:
            jobs.UserDataUpdate(record);
            break;
        case Job::TypingState:
            jobs.TypingState(record);
            break;
        case Job::GatewayError:
            jobs.GatewayError(record);
            break;
        case Job::RoomListChange:
            jobs.RoomListChange(record);
            break;
        case Job::RoomDetails:
            jobs.RoomDetails(record);
            break;
        case Job::ToolBarValue:
            jobs.ToolBarValue(record);
            break;
        case Job::SharedDiskOrRoom:
            jobs.SharedDiskOrRoom(record);
            break;
        case Job::PasswordChangeResult:
            jobs.PasswordChangeResult(record);
            break;
        case Job::NetDiskShareResult:
            jobs.NetDiskShareResult(record);
            break;
        case Job::NetDiskData:
            jobs.NetDiskData(record);
            break;
        case Job::BatchSmsRefused:
            jobs.BatchSmsRefused(record);
            break;
        case Job::MonitorData:
            jobs.MonitorData(record);
            break;
        case Job::MainPanelPaneUpdate:
            jobs.MainPanelPaneUpdate(record);
            break;
        case Job::DataPhaseStart:
            jobs.DataPhaseStart(record);
            break;
        default:
            // A job without a direct part: the table never routes it here.
            break;
    }
    return HandOver::ToUi;
}

void NotificationDispatcher::SendToMainPanel(int subcode, const platform::NotifyRecord& record) {
    // Sent, not posted: the record stays valid until the panel has handled it.
    context_.windows.SendMessage(context_.windowManager().MainPanel(), core::WM_IM_NOTIFY,
                                 static_cast<os::WPARAM>(subcode),
                                 reinterpret_cast<os::LPARAM>(&record));
}

void NotificationDispatcher::PostUpdateNoticeCopy(const platform::NotifyRecord& record) {
    const auto* notice = record.As<platform::UpdateNoticeData>();
    if (notice == nullptr) return;
    PostParcel(context_.windows, context_.windowManager().MainPanel(), core::WM_IM_NOTIFY_COPY, 0,
               std::make_unique<platform::UpdateNoticeData>(*notice));
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
