#pragma once
// AutoUpdate: the client's update door. At start it puts the files downloaded by the last
// run in place and looks for a downloaded program update; after a login the file-update run
// works on a thread of its own (its own lists and files only) and hands its notice to the
// main panel's thread, which shows it as a tip. The thread uses the world's clock and log, so
// the object waits for it when it goes (asking it to stop first).

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "core/client_context.h"
#include "core/doors/update_service.h"
#include "os/sys/thread.h"
#include "update/file_updates.h"
#include "update/program_update.h"

namespace update {

class AutoUpdate final : public core::UpdateService {
  public:
    explicit AutoUpdate(core::ClientContext& context);
    ~AutoUpdate() override;
    AutoUpdate(const AutoUpdate&) = delete;
    AutoUpdate& operator=(const AutoUpdate&) = delete;

    void ApplyPendingFileUpdates() override;
    void CheckProgramUpdate() override;
    void StartFileUpdate() override;

    ProgramUpdate& programUpdate() { return program_; }
    // The notice of the last run ("下载配置文件%d个,下次生效"), empty when it had none.
    std::string NoticeText() const;
    // Waits (on the world's clock) for a running file-update run; true when none runs.
    bool WaitFileUpdateEnded(os::Millis timeoutMs);

  private:
    UpdateFolders Folders() const;

    core::ClientContext& context_;
    ProgramUpdate program_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::string notice_;
    os::Thread thread_;
};

}  // namespace update
