#pragma once
// The door to the conference centre: the rooms and their windows.

#include <string>
#include <vector>

#include "core/pending_messages.h"
#include "os/ui/hwnd.h"

namespace core {

class RoomService {
  public:
    virtual ~RoomService() = default;
    virtual void Init() {}
    virtual void LeaveAllRooms() {}
    // After a reconnect: enter again the rooms of the session that was lost.
    virtual void ReenterLostRooms() {}
    virtual void ShowConferenceProperty() {}
    virtual void ShowConferenceCreate() {}
    virtual void ShowConferenceLogout() {}
    virtual void ShowConferenceListRefresh() {}
    // A multi-person chat: an instant room to which these contacts are invited, in this
    // order (a chat window's peer first, after an invitation in that window).
    virtual void CreateInstantRoom(const std::vector<std::string>& /*invitees*/) {}
    // A key for the room window `room` (the foreground window); true when consumed.
    virtual bool OnRoomKeyDown(os::HWND /*room*/, int /*key*/, int /*flags*/) { return false; }
    // A message said in a room (the pump's incoming messages hand it on; UI thread).
    virtual void OnRoomMessage(const QueuedMessage& /*message*/) {}
};

}  // namespace core
