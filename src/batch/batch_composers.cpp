#include "batch/batch_composers.h"

#include "batch/dlg_batch_chat.h"
#include "config/client_config.h"
#include "core/doors.h"
#include "core/doors/contact_service.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"

namespace batch {
namespace {

// The chat windows' view of the quota: only with HasSmsLimit does it refuse or show anything.
class ChatQuota final : public chat::SmsQuota {
  public:
    ChatQuota(const config::ClientConfig& config, batch::SmsQuota& quota)
        : config_(config), quota_(quota) {}
    std::string QuotaText() override {
        return config_.HasSmsLimit != 0 && quota_.Known() ? quota_.QuotaText(false) : std::string();
    }
    std::optional<std::string> RefuseSend(std::string_view /*text*/, int recipients) override {
        if (config_.HasSmsLimit == 0 || quota_.CanSend(recipients)) return std::nullopt;
        return os::Format("%s\n而接收者列表中有 %d 位接收者.请减少接收者人数。",
                          quota_.QuotaText(false).c_str(), recipients);
    }
    bool CanSendTimedSms() override { return quota_.TimedAvailable(); }

  private:
    const config::ClientConfig& config_;
    batch::SmsQuota& quota_;
};

}  // namespace

BatchComposers::BatchComposers(core::ClientContext& context, const contacts::ContactTrees* trees)
    : context_(context),
      trees_(trees),
      chatQuota_(std::make_unique<ChatQuota>(context.config, quota_)) {}

BatchComposers::~BatchComposers() {
    for (CDlgBatchChat* composer : OpenComposers()) composer->DestroyWindow();
}

std::vector<CDlgBatchChat*> BatchComposers::OpenComposers() const {
    std::vector<CDlgBatchChat*> open;
    for (const os::HWND hwnd : composers_) {
        if (auto* composer = dynamic_cast<CDlgBatchChat*>(context_.windows.FromHandle(hwnd))) {
            open.push_back(composer);
        }
    }
    return open;
}

CDlgBatchChat* BatchComposers::Open(int mode) {
    std::erase_if(composers_, [this](os::HWND hwnd) { return !context_.windows.IsWindow(hwnd); });
    auto dialog = std::make_unique<CDlgBatchChat>(context_, quota_, trees_, mode);
    if (!dialog->Create()) {
        context_.log.WriteLog(os::Format("创建群发窗口失败 mode=%d", mode));
        return nullptr;
    }
    // The window system deletes the dialog once its window is destroyed.
    CDlgBatchChat* composer = context_.windows.Adopt(std::move(dialog));
    composers_.push_back(composer->hwnd());
    composer->ShowWindow(os::SW_SHOW);
    context_.windows.SetForegroundWindow(composer->hwnd());
    return composer;
}

void BatchComposers::ShowBatchChatWindow() {
    CDlgBatchChat* composer = Open(core::kComposerMessages);
    if (composer == nullptr) return;
    const auto selection = context_.doors().contacts->Selection();
    if (selection && selection->kind == core::ContactSelection::Kind::User &&
        !selection->jid.empty()) {
        composer->AddPicked(selection->name, selection->jid);
    }
}

void BatchComposers::ShowSendSmsWindow(int mode) {
    Open(mode == core::kComposerMessages || mode == kComposerTimedSms ? mode : core::kComposerSms);
}

void BatchComposers::OpenComposer(const core::ComposerRequest& request) {
    if (CDlgBatchChat* composer = Open(request.mode)) {
        composer->Fill(request.recipients, request.contents);
    }
}

void BatchComposers::ResetQuota() {
    quota_.Clear();
    QuotaChanged();
}

void BatchComposers::QuotaChanged() {
    for (CDlgBatchChat* composer : OpenComposers()) composer->OnQuotaChanged();
}

}  // namespace batch
