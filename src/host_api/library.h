#pragma once
// The library's single objects: its world (clock, window system, embedded server, ...), the
// host's windows and prompter, and `theWindowManager`. In the shipped library the first
// export call makes them (EnsureLibraryObjects, through ExportCall); loading the library makes
// nothing. They live until the process ends.
//
// Tests of this module do not load the library: nothing is made for them, and they build
// their own world and window manager and may point `theWindowManager` at it to drive the
// exports.

#include <memory>

#include "core/client_world.h"
#include "host_api/client_subsystems.h"
#include "host_api/host_prompter.h"
#include "host_api/host_window.h"
#include "host_api/window_manager.h"
#include "platform/session/sim_demo_world.h"

struct Library {
    std::unique_ptr<core::ClientWorld> world;
    HostPrompter* prompter = nullptr;  // owned by the world
    std::unique_ptr<HostWindows> hostWindows;
    std::unique_ptr<ClientSubsystems> subsystems;
    std::unique_ptr<platform::SimDemoWorld> demoWorld;  // once the host asks for it
};

extern Library* theLibrary;
extern CWindowManager* theWindowManager;

// In the shipped library: makes the library's objects on the first call, once, whichever
// thread calls first (a call meanwhile from another thread waits for them). The world uses
// the shared client directory and the application directory of the environment at that call
// (os/sys/paths.h). When making them fails, nothing is published and the next call tries
// again. In a program that links the modules statically, does nothing.
void EnsureLibraryObjects();

// Makes the library's objects unless they exist (not thread-safe; EnsureLibraryObjects calls
// it once). Throws what making them throws, leaving nothing behind.
void CreateLibraryObjects();
