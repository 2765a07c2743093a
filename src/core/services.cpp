#include "core/services.h"

namespace core {
namespace {

// The doors of a client that has none of those subsystems: each does nothing. They hold no
// state, so one instance of each serves every world.
NotificationPump noPump;
ContactService noContacts;
RoomService noRooms;
HistoryService noHistory;
BatchService noBatch;
SettingsService noSettings;
WebService noWeb;
StartParameters noStartParameters;
UpdateService noUpdates;
MainWindowShell noShell;
FeatureLibraries noLibraries;

}  // namespace

Services::Services()
    : pump(&noPump),
      contacts(&noContacts),
      rooms(&noRooms),
      history(&noHistory),
      batch(&noBatch),
      settings(&noSettings),
      web(&noWeb),
      startParameters(&noStartParameters),
      updates(&noUpdates),
      shell(&noShell),
      libraries(&noLibraries) {}

}  // namespace core
