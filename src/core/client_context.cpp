#include "core/client_context.h"

#include <cstdio>
#include <cstdlib>

#include "config/config_context.h"
#include "core/doors.h"

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
      doors_(std::make_unique<Doors>()) {}

ClientContext::~ClientContext() = default;

config::ConfigContext ClientContext::configContext() const {
    return config::ConfigContext{sharedUtil, log};
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
