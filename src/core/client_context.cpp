#include "core/client_context.h"

#include <cstdio>
#include <cstdlib>

#include "config/config_context.h"
#include "core/doors.h"
#include "core/user_folder.h"
#include "os/services/log.h"
#include "platform/offline/offline_file_lib.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace core {

ClientContext::ClientContext(os::Clock& clock, os::WindowSystem& windows, os::Prompter& prompter,
                             os::Log& log, platform::SessionCore& session,
                             platform::NoticePop& noticePop, platform::SharedUtil& sharedUtil,
                             os::Shell& shell, os::SoundPlayer& sound,
                             os::NamedObjectSpace& namedObjects, config::ClientConfig& config,
                             Folders folders)
    : clock(clock),
      windows(windows),
      prompter(prompter),
      log(log),
      session(session),
      noticePop(noticePop),
      sharedUtil(sharedUtil),
      shell(shell),
      sound(sound),
      namedObjects(namedObjects),
      config(config),
      folders(std::move(folders)),
      doors_(std::make_unique<Doors>()),
      offlineFiles_(std::make_unique<platform::OfflineFileLib>(clock)) {}

ClientContext::~ClientContext() = default;

config::ConfigContext ClientContext::configContext() const {
    return config::ConfigContext{sharedUtil, log};
}

std::optional<std::string> ClientContext::CurrentUserFolder() const {
    return UserFolder(folders.commonDir, session.GetCurrentUserLimitName());
}

std::unique_ptr<CClientDB> ClientContext::OpenUserStore() const {
    return OpenStoreOf(session.GetCurrentUserLimitName());
}

std::unique_ptr<CClientDB> ClientContext::OpenStoreOf(const std::string& account) const {
    const std::optional<std::string> folder = UserFolder(folders.commonDir, account);
    if (!folder) {
        log.WriteLog("用户名不能作为目录名:" + account);
        return nullptr;
    }
    return std::make_unique<CClientDB>(account.c_str(), folder->c_str());
}

void ClientContext::RememberSessionAccount() {
    lastSessionAccount_ = {session.GetCurrentUserLimitName(), session.GetCurrentUserJID()};
}

IWindowManager& ClientContext::windowManager() const {
    if (windowManager_ == nullptr) {
        // A subsystem asked before any window manager was built on this context: a wiring
        // fault that no caller could recover from.
        std::fputs("qorvdesk: the window manager was asked for before it was built\n", stderr);
        std::abort();
    }
    return *windowManager_;
}

}  // namespace core
