#include "host_api/client_subsystems.h"

#include "batch/batch_notifications.h"
#include "chat/chat_doors.h"
#include "chat/chat_notifications.h"
#include "contacts/contact_notifications.h"
#include "contacts/loading_notifications.h"
#include "core/doors.h"
#include "core/doors/settings_service.h"
#include "host_api/manager_notifications.h"
#include "host_api/window_manager.h"
#include "login/login_notifications.h"
#include "notify/wnd_child.h"
#include "rooms/room_notifications.h"
#include "update/update_notifications.h"

ClientSubsystems::ClientSubsystems(core::ClientContext& context, CWindowManager& manager)
    : context_(context),
      manager_(manager),
      handlers_(notify::NotificationHandlers::Create(context.log)),
      trees_(context),
      panelTrees_(context, trees_),
      contactService_(context, trees_, panelTrees_,
                      [&manager]() -> os::Window* { return manager.mainPanel(); }),
      userSettings_(context),
      shell_(context),
      navigator_(context, trees_),
      history_(context, trees_, panelTrees_, navigator_),
      web_(context),
      incomingHooks_(trees_, context),
      batch_(context, &trees_),
      rooms_(context, &trees_),
      reconnect_([&manager] { return manager.loginPanel(); }),
      updates_(context),
      startParameters_(context),
      contactNotifications_(contacts::RegisterContactNotifications(context, trees_, *handlers_)),
      loadingNotifications_(
          contacts::RegisterLoadingNotifications(context, panelTrees_, *handlers_)),
      chatNotifications_(chat::RegisterChatNotifications(context, *handlers_)),
      loginNotifications_(login::RegisterLoginNotifications(context, *handlers_)),
      managerNotifications_(RegisterWindowManagerNotifications(context, *handlers_)),
      batchNotifications_(batch::RegisterBatchNotifications(context, batch_, *handlers_)),
      roomNotifications_(rooms::RegisterRoomNotifications(context, rooms_, *handlers_)),
      updateNotifications_(
          update::RegisterUpdateNotifications(context, updates_.programUpdate(), *handlers_)),
      proxy_(context, handlers_, incomingHooks_) {
    context_.doors().pump.Plug(proxy_);
    context_.doors().contacts.Plug(contactService_);
    context_.doors().settings.Plug(userSettings_);
    manager_.chatDoors().settings.Plug(userSettings_.chatSettings());
    context_.doors().shell.Plug(shell_);
    context_.doors().history.Plug(history_);
    context_.doors().batch.Plug(batch_);
    manager_.chatDoors().quota.Plug(batch_.chatQuota());
    context_.doors().web.Plug(web_);
    context_.doors().rooms.Plug(rooms_);
    context_.doors().reconnect.Plug(reconnect_);
    context_.doors().updates.Plug(updates_);
    context_.doors().startParameters.Plug(startParameters_);
    manager_.SetContactTrees(&trees_);
}

ClientSubsystems::~ClientSubsystems() {
    manager_.SetContactTrees(nullptr);
    context_.doors().pump.Unplug();
    context_.doors().contacts.Unplug();
    context_.doors().settings.Unplug();
    manager_.chatDoors().settings.Unplug();
    context_.doors().shell.Unplug();
    context_.doors().history.Unplug();
    context_.doors().batch.Unplug();
    manager_.chatDoors().quota.Unplug();
    context_.doors().web.Unplug();
    context_.doors().rooms.Unplug();
    context_.doors().reconnect.Unplug();
    context_.doors().updates.Unplug();
    context_.doors().startParameters.Unplug();
}
