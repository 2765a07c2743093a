#include "host_api/library.h"

#include "os/services/log.h"

Library* theLibrary = nullptr;
CWindowManager* theWindowManager = nullptr;

// Defined by library_loader.cpp, which only the shared library takes in: a program that links
// the modules statically leaves this weak reference unresolved (null) and makes nothing.
bool LibraryMakesItsObjects() __attribute__((weak));

void EnsureLibraryObjects() {
    if (LibraryMakesItsObjects == nullptr || !LibraryMakesItsObjects()) return;
    // A function-local static: made once and thread-safely; an exception leaves it unmade,
    // so the next export call tries again.
    static const bool made = (CreateLibraryObjects(), true);
    (void)made;
}

void CreateLibraryObjects() {
    if (theLibrary != nullptr) return;
    // Never deleted: the objects live as long as the process, as the host expects of a loaded
    // library, and no thread of theirs is torn down under a host still running.
    auto library = std::make_unique<Library>();
    auto prompter = std::make_unique<HostPrompter>();
    library->prompter = prompter.get();
    library->world = core::ClientWorld::ForLibrary({}, std::move(prompter));
    library->prompter->SetLog(&library->world->log());
    library->hostWindows = std::make_unique<HostWindows>(library->world->windows());
    auto manager = std::make_unique<CWindowManager>(library->world->context());
    library->subsystems = std::make_unique<ClientSubsystems>(library->world->context(), *manager);
    theWindowManager = manager.release();
    theLibrary = library.release();
}
