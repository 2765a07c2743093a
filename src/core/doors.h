#pragma once
// The client context's doors to the work of other subsystems. The window manager runs the
// client's start-up, log-out and tear-down and answers the host's exports, and the login
// panel and the chat window ask for work that is not theirs; many of those steps belong to
// a subsystem of its own (the notification pump, the contact trees, the rooms, the history
// window, the imported feature libraries...). Each such subsystem offers its part through
// one small interface in its own header under core/doors/, and callers go through the door
// (door.h), never the subsystem's classes: the order of the steps stays in one place, and
// each subsystem fills its interface as it is built.
//
// Include this catalogue and the headers of the doors you call (or implement), no others, so
// a change to one door recompiles only its users. ClientSubsystems plugs in the subsystems
// that exist; every other door leads to its interface's defaults, the behaviour of a client
// without that subsystem, and is named in the start-up log.

#include <vector>

#include "core/door.h"

namespace core {

class NotificationPump;
class ContactService;
class RoomService;
class HistoryService;
class BatchService;
class SettingsService;
class WebService;
class StartParameters;
class UpdateService;
class MainWindowShell;
class FeatureLibraries;
class ReconnectFlow;

struct Doors {
    Doors();
    ~Doors();
    Doors(const Doors&) = delete;
    Doors& operator=(const Doors&) = delete;

    Door<NotificationPump> pump;            // core/doors/notification_pump.h
    Door<ContactService> contacts;          // core/doors/contact_service.h
    Door<RoomService> rooms;                // core/doors/room_service.h
    Door<HistoryService> history;           // core/doors/history_service.h
    Door<BatchService> batch;               // core/doors/batch_service.h
    Door<SettingsService> settings;         // core/doors/settings_service.h
    Door<WebService> web;                   // core/doors/web_service.h
    Door<StartParameters> startParameters;  // core/doors/start_parameters.h
    Door<UpdateService> updates;            // core/doors/update_service.h
    Door<MainWindowShell> shell;            // core/doors/main_window_shell.h
    Door<FeatureLibraries> libraries;       // core/doors/feature_libraries.h
    Door<ReconnectFlow> reconnect;          // core/doors/reconnect_flow.h

    // Where the shell plugged into `shell` sends what it has not built itself (the tool bar,
    // the channel tabs, the panes).
    Door<MainWindowShell> shellPanes;  // core/doors/main_window_shell.h

    // Every door, in the order above.
    std::vector<DoorInfo> Infos() const;
};

}  // namespace core
