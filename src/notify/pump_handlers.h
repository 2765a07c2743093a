#pragma once
// The pump's own handlers, registered for as long as this object lives:
//   1                     the account was taken over by a login elsewhere: the flag is set
//                         (the lost connection that follows then starts no countdown)
//   17                    a friend request (friend_request.h), and its question on the main
//                         panel (UI subcode kFriendRequest)
//   11..15, 51, 101       the incoming messages (CIncomingMsgHandler), and their arrival tip
//                         and the chat window opened at once (UI subcodes kArrivalTip,
//                         kOpenChatAtOnce)
// The pump (CBaseProxy) keeps one; a test that drives the dispatcher alone makes its own.

#include "core/client_context.h"
#include "notify/incoming_hooks.h"
#include "notify/incoming_msg_handler.h"
#include "notify/routes/notification_handlers.h"

namespace notify {

class PumpHandlers {
  public:
    PumpHandlers(core::ClientContext& context, NotificationHandlers& handlers,
                 IncomingMessageHooks& hooks);
    PumpHandlers(const PumpHandlers&) = delete;
    PumpHandlers& operator=(const PumpHandlers&) = delete;

    CIncomingMsgHandler& incoming() { return incoming_; }

  private:
    core::ClientContext& context_;
    IncomingMessageHooks& hooks_;
    CIncomingMsgHandler incoming_;
    // Last, so they go first.
    Registrations registrations_;
};

}  // namespace notify
