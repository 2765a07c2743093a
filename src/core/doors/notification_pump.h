#pragma once
// The door to the notification pump (theBaseProxy): its events, the notification thread and
// the engine's Init and Free.

#include "core/pending_messages.h"

namespace core {

class NotificationPump {
  public:
    virtual ~NotificationPump() = default;
    // Creates the events, starts the notification thread and calls SessionCore Init with
    // them; answers what Init answered.
    virtual int Init() { return 0; }
    // SessionCore Free, then stops the notification thread (waiting at most 200 ms).
    virtual void Free() {}
    // At a session end: makes sure the notification thread has ended, then closes and
    // forgets its events and thread; the next login creates them anew.
    virtual void CloseSessionHandles() {}
    // Whether the notification thread runs (a login starts it when it does not).
    virtual bool ThreadRunning() const { return false; }
    // Hands a message to the incoming-message handling as if the engine had delivered it.
    virtual void HandleIncomingMessage(const QueuedMessage& /*message*/) {}
};

}  // namespace core
