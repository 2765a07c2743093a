#pragma once
// What the pump's own handlers (the incoming messages and the friend requests,
// pump_handlers.h) ask of other subsystems: the contact model, the recent contacts, the
// rooms, the OA notices, the gateway contact list. Each method has a harmless default (does
// nothing, answers "no"), the behaviour of a client without that subsystem; whoever builds
// the client passes one that overrides what it provides. All on the UI thread.

#include <optional>
#include <string>
#include <string_view>

#include "core/pending_messages.h"

namespace notify {

class IncomingMessageHooks {
  public:
    virtual ~IncomingMessageHooks() = default;

    // Whether `jid` is in one of the user's contact lists.
    virtual bool IsInContactLists(std::string_view /*jid*/) { return false; }
    // The subscription state ("none", "to", "from", "both") of `jid` in the user's contact
    // trees, or nothing when it is no contact there.
    virtual std::optional<std::string> ContactSubscription(std::string_view /*jid*/) {
        return std::nullopt;
    }
    // Puts `jid` at the top of the recent contacts (only with the recent-contacts component).
    virtual void PutAtTopOfRecentContacts(std::string_view /*jid*/) {}
    // The user was removed from or invited to a room: the room list is asked for again.
    virtual void RefreshRoomList() {}
    // A room message carrying pictures: the room window fetches them into "temp/".
    virtual void RoomPictureMessage(const core::QueuedMessage& /*message*/) {}
    // A real-time OA notice: stored, listed and announced by the OA notice work.
    virtual void OaNotice(const core::QueuedMessage& /*message*/) {}
    // A message of a gateway (MSN) contact is stored through the gateway contact list. False
    // when there is no gateway list: the message is then stored like any other.
    virtual bool StoreGatewayMessage(const core::QueuedMessage& /*message*/) { return false; }
};

// Hooks that only give the defaults above (stateless, shared by every client).
IncomingMessageHooks& NoIncomingHooks();

}  // namespace notify
