#pragma once
// BatchComposers: the batch door of the client (core::BatchService). It keeps the client's
// one SmsQuota, opens the composers the host, the chat window and the exports ask for, and
// tells the open ones when a quota answer changed what they show. It also answers the chat
// windows' quota questions (chatQuota()). UI thread only.

#include <memory>
#include <vector>

#include "batch/sms_quota.h"
#include "chat/chat_doors.h"
#include "core/client_context.h"
#include "core/doors/batch_service.h"
#include "os/ui/hwnd.h"

class CDlgBatchChat;
namespace contacts {
class ContactTrees;
}

namespace batch {

class BatchComposers final : public core::BatchService {
  public:
    // `trees` (may be null) offer the contacts to pick.
    BatchComposers(core::ClientContext& context, const contacts::ContactTrees* trees);
    ~BatchComposers() override;

    // ---- core::BatchService
    // Mode 1, addressed to the selected contact of the focused tree, if any.
    void ShowBatchChatWindow() override;
    void ShowSendSmsWindow(int mode) override;
    void OpenComposer(const core::ComposerRequest& request) override;
    void ResetQuota() override;

    SmsQuota& quota() { return quota_; }
    // The quota as the chat windows ask it (with HasSmsLimit off it refuses nothing).
    chat::SmsQuota& chatQuota() { return *chatQuota_; }
    // The composers still open, oldest first.
    std::vector<CDlgBatchChat*> OpenComposers() const;
    // A quota answer arrived: the open composers show it.
    void QuotaChanged();

  private:
    CDlgBatchChat* Open(int mode);

    core::ClientContext& context_;
    const contacts::ContactTrees* trees_;
    SmsQuota quota_;
    std::unique_ptr<chat::SmsQuota> chatQuota_;
    std::vector<os::HWND> composers_;
};

}  // namespace batch
