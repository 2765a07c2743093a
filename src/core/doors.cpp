#include "core/doors.h"

#include "core/doors/batch_service.h"
#include "core/doors/contact_service.h"
#include "core/doors/feature_libraries.h"
#include "core/doors/history_service.h"
#include "core/doors/main_window_shell.h"
#include "core/doors/notification_pump.h"
#include "core/doors/reconnect_flow.h"
#include "core/doors/room_service.h"
#include "core/doors/settings_service.h"
#include "core/doors/start_parameters.h"
#include "core/doors/update_service.h"
#include "core/doors/web_service.h"

namespace core {

// The name of each door and the subsystem it waits for while nothing is plugged in; the
// pump and the contact trees exist, so a client without them is only one built without.
Doors::Doors()
    : pump("notification pump", ""),
      contacts("contacts", ""),
      rooms("rooms", "the conference centre"),
      history("message history", ""),
      batch("batch composer", "the batch message and SMS composer"),
      settings("user settings", "the user settings and the settings dialog"),
      web("web pages", "the web pages and forms"),
      startParameters("start parameters", "the start parameter parser"),
      updates("updates", "the file updates and the program update check"),
      shell("main window shell", "the main window shell"),
      libraries("feature libraries", "the feature libraries"),
      reconnect("reconnect", "the reconnect flow"),
      shellPanes("main window panes", "the tool bar, channel tabs and panes of the main window") {}

Doors::~Doors() = default;

std::vector<DoorInfo> Doors::Infos() const {
    std::vector<DoorInfo> infos = {pump.info(),    contacts.info(),        rooms.info(),
                                   history.info(), batch.info(),           settings.info(),
                                   web.info(),     startParameters.info(), updates.info(),
                                   shell.info(),   libraries.info(),       reconnect.info()};
    infos.push_back(shellPanes.info());
    return infos;
}

}  // namespace core
