#include "host_api/library.h"

#include "os/services/log.h"

Library* theLibrary = nullptr;
CWindowManager* theWindowManager = nullptr;

void CreateLibraryObjects() {
    if (theLibrary != nullptr) return;
    // Never deleted: the objects live as long as the process, as the host expects of a loaded
    // library, and no thread of theirs is torn down under a host still running.
    auto* library = new Library;
    auto prompter = std::make_unique<HostPrompter>();
    library->prompter = prompter.get();
    library->world = core::ClientWorld::ForLibrary({}, std::move(prompter));
    library->prompter->SetLog(&library->world->log());
    library->hostWindows = std::make_unique<HostWindows>(library->world->windows());
    theLibrary = library;
    theWindowManager = new CWindowManager(library->world->context());
    library->subsystems =
        std::make_unique<ClientSubsystems>(library->world->context(), *theWindowManager);
}
