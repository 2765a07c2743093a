#pragma once
// ClientSubsystems: the client's subsystems that the window manager reaches through the doors
// of its context (core/doors.h), built, owned and plugged in together: the contact trees, the
// notification pump (theBaseProxy), the contact door of the exports, the contact lookup of
// new chat windows, the main window shell, the batch composers with the SMS quota, the
// conference centre and the reconnect flow of the login panel. The main
// panel's three trees are made and filled after each login (contacts/main_panel_trees.h). It also
// makes the world's registry of notification handlers and has each subsystem register its handlers
// there (the contact trees, the chat windows, the login panel, the window manager, and the pump its
// own). It owns what it plugs in; every door it leaves alone keeps its defaults and is named in the
// start-up log.
//
// Build it after the window manager and destroy it before: it plugs itself in when made
// and takes itself out (the doors go back to their defaults) when destroyed.

#include <memory>

#include "batch/batch_composers.h"
#include "contacts/contact_tree_service.h"
#include "contacts/contact_trees.h"
#include "contacts/main_panel_trees.h"
#include "history/message_manager_service.h"
#include "history/msg_navigator.h"
#include "host_api/browser_web_service.h"
#include "host_api/main_window_session.h"
#include "host_api/user_settings_service.h"
#include "login/reconnect_service.h"
#include "login/start_parameters.h"
#include "notify/base_proxy.h"
#include "notify/client_hooks.h"
#include "notify/routes/notification_handlers.h"
#include "rooms/conference_center.h"
#include "update/auto_update.h"

class CWindowManager;

class ClientSubsystems {
  public:
    ClientSubsystems(core::ClientContext& context, CWindowManager& manager);
    ~ClientSubsystems();
    ClientSubsystems(const ClientSubsystems&) = delete;
    ClientSubsystems& operator=(const ClientSubsystems&) = delete;

    contacts::ContactTrees& contactTrees() { return trees_; }
    contacts::MainPanelTrees& mainPanelTrees() { return panelTrees_; }
    contacts::ContactTreeService& contactService() { return contactService_; }
    CBaseProxy& baseProxy() { return proxy_; }
    notify::NotificationHandlers& notificationHandlers() { return *handlers_; }
    UserSettingsService& userSettings() { return userSettings_; }
    MainWindowSession& mainWindowShell() { return shell_; }
    history::MessageManagerService& messageManager() { return history_; }
    history::MsgNavigator& messageNavigator() { return navigator_; }
    batch::BatchComposers& batchComposers() { return batch_; }
    CConferenceCenter& conferenceCenter() { return rooms_; }
    BrowserWebService& webService() { return web_; }
    login::ReconnectService& reconnect() { return reconnect_; }
    update::AutoUpdate& updates() { return updates_; }
    login::ClientStartParameters& startParameters() { return startParameters_; }

  private:
    core::ClientContext& context_;
    CWindowManager& manager_;
    // First, so that it outlives every registration.
    const std::shared_ptr<notify::NotificationHandlers> handlers_;
    contacts::ContactTrees trees_;
    contacts::MainPanelTrees panelTrees_;
    contacts::ContactTreeService contactService_;
    UserSettingsService userSettings_;
    MainWindowSession shell_;
    history::MsgNavigator navigator_;
    history::MessageManagerService history_;  // passes the navigator's calls to navigator_
    BrowserWebService web_;
    notify::ClientIncomingHooks incomingHooks_;
    batch::BatchComposers batch_;
    CConferenceCenter rooms_;
    login::ReconnectService reconnect_;
    update::AutoUpdate updates_;
    login::ClientStartParameters startParameters_;
    // Each subsystem's handlers, after what they use; the pump, last, stops before they go.
    notify::Registrations contactNotifications_;
    notify::Registrations loadingNotifications_;
    notify::Registrations chatNotifications_;
    notify::Registrations loginNotifications_;
    notify::Registrations managerNotifications_;
    notify::Registrations batchNotifications_;
    notify::Registrations roomNotifications_;
    notify::Registrations updateNotifications_;
    CBaseProxy proxy_;
};
