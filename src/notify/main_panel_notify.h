#pragma once
// The main panel's side of the notifications: what CWndChild does with WM_IM_NOTIFY (by UI
// subcode, ui_subcodes.h) and WM_IM_NOTIFY_COPY, on the UI thread.
//
// Built here: the incoming messages (CIncomingMsgHandler, subcodes 36, 10 and 13) and the
// friend request question (subcode 1). Every other subcode of the dispatch table goes to the
// UiJobs door of its job; subcodes sent by other parts of the client go to
// UiJobs::OtherSubcode; the update notice copy goes, owned, to UiJobs::UpdateNotice.

#include <memory>
#include <optional>

#include "core/client_context.h"
#include "notify/dispatch_table.h"
#include "notify/incoming_msg_handler.h"
#include "notify/notification_jobs.h"
#include "os/ui/messages.h"

class CWndChild;

namespace notify {

class MainPanelNotify {
  public:
    MainPanelNotify(core::ClientContext& context, NotifySeams seams);

    // The answer to a message of the main panel; nothing for a message this does not handle.
    std::optional<os::LRESULT> OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam);

    // Makes `panel` hand its notifications to `notify`, ahead of the handler it had (which
    // still gets every message `notify` does not handle). The panel keeps only a weak
    // reference: once `notify` is gone, the panel goes on as before.
    static void Attach(const std::shared_ptr<MainPanelNotify>& notify, CWndChild& panel);

    CIncomingMsgHandler& incoming() { return incoming_; }

    // The job a UI subcode of the dispatch table stands for; Job::None for any other.
    static Job JobOfSubcode(int subcode);

  private:
    void RunUiJob(Job job, int subcode, const platform::NotifyRecord& record);

    core::ClientContext& context_;
    const NotifySeams seams_;
    CIncomingMsgHandler incoming_;
};

}  // namespace notify
