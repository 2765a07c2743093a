#include "notify/main_panel_notify.h"

#include <array>

#include "core/window_messages.h"
#include "notify/friend_request.h"
#include "notify/parcel.h"
#include "notify/ui_subcodes.h"
#include "notify/wnd_child.h"

namespace notify {
namespace {

using SubcodeJobs = std::array<Job, ui::kLastSubcode + 1>;

SubcodeJobs BuildSubcodeJobs() {
    SubcodeJobs jobs{};
    jobs.fill(Job::None);
    for (const DispatchRow& row : DispatchTable()) {
        if (HasUiPart(row.route) && row.uiSubcode >= 0 && row.uiSubcode <= ui::kLastSubcode) {
            jobs[static_cast<std::size_t>(row.uiSubcode)] = row.job;
        }
    }
    return jobs;
}

}  // namespace

MainPanelNotify::MainPanelNotify(core::ClientContext& context, NotifySeams seams)
    : context_(context), seams_(seams), incoming_(context, *seams.incoming) {}

Job MainPanelNotify::JobOfSubcode(int subcode) {
    static const SubcodeJobs jobs = BuildSubcodeJobs();
    if (subcode < 0 || subcode > ui::kLastSubcode) return Job::None;
    return jobs[static_cast<std::size_t>(subcode)];
}

void MainPanelNotify::Attach(const std::shared_ptr<MainPanelNotify>& notify, CWndChild& panel) {
    CWndChild::MessageHandler previous = std::move(panel.notifyHandler);
    panel.notifyHandler = [weak = std::weak_ptr<MainPanelNotify>(notify), previous](
                              os::UINT message, os::WPARAM wParam,
                              os::LPARAM lParam) -> std::optional<os::LRESULT> {
        if (auto self = weak.lock()) {
            if (auto answer = self->OnMessage(message, wParam, lParam)) return answer;
        }
        if (previous) return previous(message, wParam, lParam);
        return std::nullopt;
    };
}

std::optional<os::LRESULT> MainPanelNotify::OnMessage(os::UINT message, os::WPARAM wParam,
                                                      os::LPARAM lParam) {
    if (message == core::WM_IM_NOTIFY_COPY) {
        // Ours from here on: the update work keeps it or lets it go.
        if (auto notice = TakeParcel<platform::UpdateNoticeData>(lParam)) {
            seams_.ui->UpdateNotice(std::move(notice));
        }
        return 0;
    }
    if (message != core::WM_IM_NOTIFY) return std::nullopt;

    const int subcode = static_cast<int>(wParam);
    switch (subcode) {
        case ui::kFriendRequest:
            if (auto request = TakeParcel<FriendRequest>(lParam)) {
                AnswerFriendRequest(context_, *request);
            }
            return 0;
        case ui::kArrivalTip:
            if (lParam != 0) {
                incoming_.ShowArrivalTip(*reinterpret_cast<const core::QueuedMessage*>(lParam));
            }
            return 0;
        case ui::kOpenChatAtOnce:
            if (lParam != 0) {
                incoming_.OpenAtOnce(*reinterpret_cast<const core::QueuedMessage*>(lParam));
            }
            return 0;
        default:
            break;
    }

    const Job job = JobOfSubcode(subcode);
    if (job == Job::None) return seams_.ui->OtherSubcode(subcode, lParam);
    if (lParam != 0) {
        RunUiJob(job, subcode, *reinterpret_cast<const platform::NotifyRecord*>(lParam));
    }
    return 0;
}

void MainPanelNotify::RunUiJob(Job job, int subcode, const platform::NotifyRecord& record) {
    UiJobs& jobs = *seams_.ui;
    switch (job) {
        case Job::IncomingMessage:
            incoming_.OnNotify(record);
            break;
        case Job::LoginResult:
            jobs.LoginResult(record);
            break;
        case Job::RosterProgress:
            jobs.RosterProgress(record);
            break;
        case Job::PresenceChanged:
            jobs.PresenceChanged(record);
            break;
        case Job::FileTransferStarted:
            jobs.FileTransferStarted(record);
            break;
        case Job::FileTransferProgress:
            jobs.FileTransferProgress(record);
            break;
        case Job::FileTransferRefused:
            jobs.FileTransferRefused(record);
            break;
        case Job::FileTransferCancelled:
            jobs.FileTransferCancelled(record);
            break;
        case Job::FileTransferFinished:
            jobs.FileTransferFinished(record, subcode == ui::kFileTransferSucceeded);
            break;
        case Job::FileOffer:
            jobs.FileOffer(record);
            break;
        case Job::NewMailCount:
            jobs.NewMailTip(record);
            break;
        case Job::Vcard:
            jobs.Vcard(record);
            break;
        case Job::ChannelList:
            jobs.ChannelList(record);
            break;
        case Job::TemporaryConversation:
            jobs.TemporaryConversation(record);
            break;
        case Job::Announcements:
            jobs.Announcements(record);
            break;
        case Job::RoomUpdate:
            jobs.RoomUpdate(record);
            break;
        case Job::ChannelTabsUpdate:
            jobs.ChannelTabsUpdate(record);
            break;
        case Job::SmsQuota:
            jobs.SmsQuota(record);
            break;
        case Job::TimedSmsAnswer:
            jobs.TimedSmsAnswer(record);
            break;
        case Job::MailAccount:
            jobs.MailAccount(record);
            break;
        case Job::PhoneBookCard:
            jobs.PhoneBookCard(record);
            break;
        case Job::CustomPictureReceived:
            jobs.CustomPictureReceived(record);
            break;
        case Job::PictureTransfer:
            jobs.PictureTransfer(record);
            break;
        case Job::UnknownChatPartner:
            jobs.UnknownChatPartner(record);
            break;
        case Job::OfflineFileSwitch:
            jobs.OfflineFileSwitch(record);
            break;
        default:
            break;
    }
}

}  // namespace notify
