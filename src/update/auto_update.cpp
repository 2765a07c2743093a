#include "update/auto_update.h"

#include "config/client_config.h"
#include "core/window_manager.h"
#include "os/services/log.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"

namespace update {

AutoUpdate::AutoUpdate(core::ClientContext& context) : context_(context), program_(context) {}

AutoUpdate::~AutoUpdate() {
    stop_ = true;
    thread_.RequestStop();
    if (thread_.Joinable()) thread_.WaitEnded(context_.clock, os::kInfinite);
}

UpdateFolders AutoUpdate::Folders() const {
    return UpdateFolders{context_.folders.commonDir, context_.folders.appDir,
                         context_.CurrentUserFolder()};
}

void AutoUpdate::ApplyPendingFileUpdates() { ApplyPendingFiles(Folders(), context_.log); }

void AutoUpdate::CheckProgramUpdate() { program_.StartWaitingUpdate(); }

void AutoUpdate::StartFileUpdate() {
    if (thread_.Running()) return;
    if (thread_.Joinable()) thread_.WaitEnded(context_.clock, os::kInfinite);
    FileUpdateSettings settings{Folders(), context_.config.remotedir, context_.config.updatelisturl,
                                &context_.clock, &stop_};
    thread_ = os::Thread("FileUpdate", [this, settings = std::move(settings)](std::stop_token) {
        const std::optional<int> ready = RunFileUpdate(settings, context_.log);
        if (!ready || *ready == 0 || stop_) return;
        const std::string notice = PendingFilesNotice(*ready);
        {
            std::lock_guard lock(mutex_);
            notice_ = notice;
        }
        if (!context_.hasWindowManager()) return;
        platform::NoticePop& tips = context_.noticePop;
        context_.windows.PostTask(context_.windowManager().MainPanel(),
                                  [&tips, notice] { tips.ShowTip(notice); });
    });
}

std::string AutoUpdate::NoticeText() const {
    std::lock_guard lock(mutex_);
    return notice_;
}

bool AutoUpdate::WaitFileUpdateEnded(os::Millis timeoutMs) {
    if (!thread_.Joinable()) return true;
    return thread_.WaitEnded(context_.clock, timeoutMs);
}

}  // namespace update
