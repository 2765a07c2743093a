#include "history/message_manager_service.h"

#include "config/user_settings.h"
#include "contacts/main_panel_trees.h"
#include "core/client_context.h"
#include "core/doors.h"
#include "core/doors/settings_service.h"
#include "history/paging.h"
#include "os/ui/messages.h"
#include "os/ui/window_system.h"

namespace history {

MessageManagerService::MessageManagerService(core::ClientContext& context,
                                             contacts::ContactTrees& contactTrees,
                                             contacts::MainPanelTrees& panelTrees,
                                             MsgNavigator& navigator)
    : context_(context),
      contactTrees_(contactTrees),
      panelTrees_(panelTrees),
      navigator_(navigator),
      oaNotices_(context) {}

MessageManagerService::~MessageManagerService() {
    if (frame_ != nullptr) {
        frame_->SetDestroyHandler({});
        if (frame_->IsWindow()) frame_->DestroyWindow();
        frame_ = nullptr;
    }
}

os::HWND MessageManagerService::Window() { return frame_ != nullptr ? frame_->hwnd() : os::HWND{}; }

int MessageManagerService::OnKeyDown(int key, int flags) {
    return frame_ != nullptr ? frame_->OnKeyDown(key, flags) : 0;
}

void MessageManagerService::Forget() {
    if (frame_ != nullptr) frame_->SetDestroyHandler({});
    frame_ = nullptr;
}

void MessageManagerService::Open(const std::string& filterJid) {
    if (frame_ == nullptr) {
        const int stored = context_.doors().settings->Settings().CountOfMsgRecordPerPage;
        pageSize_.perPage = ValidPageSize(stored);
        if (pageSize_.perPage != stored) {
            context_.doors().settings->SetCountOfMsgRecordPerPage(pageSize_.perPage);
        }
        auto frame = std::make_unique<CFrameMessageManager>(context_, contactTrees_, pageSize_);
        std::vector<contacts::CIMTree*> sections = {panelTrees_.roster(), panelTrees_.phoneBook(),
                                                    panelTrees_.directory(), panelTrees_.recent()};
        if (!frame->Create(sections)) return;
        frame->SetDestroyHandler([this] { frame_ = nullptr; });
        frame_ = context_.windows.Adopt(std::move(frame));
    } else {
        frame_->ShowWindow(frame_->IsIconic() ? os::SW_RESTORE : os::SW_SHOW);
    }
    context_.windows.SetForegroundWindow(frame_->hwnd());
    if (!filterJid.empty()) frame_->ShowContact(filterJid);
}

}  // namespace history
