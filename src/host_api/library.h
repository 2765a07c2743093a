#pragma once
// The library's single objects: its world (clock, window system, embedded server, ...), the
// host's windows and prompter, and `theWindowManager`. They are made once, when the shared
// library is loaded and before any export can run, and live until the process ends.
//
// Tests of this module do not load the library: they build their own world and window
// manager and may point `theWindowManager` at it to drive the exports.

#include <memory>

#include "core/client_world.h"
#include "host_api/client_subsystems.h"
#include "host_api/host_prompter.h"
#include "host_api/host_window.h"
#include "host_api/window_manager.h"

struct Library {
    std::unique_ptr<core::ClientWorld> world;
    HostPrompter* prompter = nullptr;  // owned by the world
    std::unique_ptr<HostWindows> hostWindows;
    std::unique_ptr<ClientSubsystems> subsystems;
};

extern Library* theLibrary;
extern CWindowManager* theWindowManager;

// Makes the library's objects (once; later calls do nothing). The world uses the shared
// client directory and the application directory of the environment (os/sys/paths.h).
void CreateLibraryObjects();
