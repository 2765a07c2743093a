#pragma once
// CIncomingMsgHandler: the first stage of every incoming message, on the UI thread (its
// handlers, pump_handlers.h, get the message records of the session engine through the main
// panel, UI subcode 36).
//
// For each message: the arrival sound plays; then by type
//   11, 12, 15  chat: a room removal ("delete@") or invitation ("invite@") becomes a notice
//               tip and the room list is refreshed; any other chat message goes to the open
//               chat window of its sender, or else is announced (below). A sender in none of
//               the contact lists who is no SMS user is looked up on the server; with the
//               recent-contacts component the sender goes to the top of the recent contacts;
//   13, 14      notices: announced;
//   51          a room message with pictures: to the room work;
//   101         a real-time OA notice: to the OA notice work;
//   others      only stored.
// Announcing: with MessageArrivedTipType non-zero the message joins the pending queue, the
// host's tray is told (deferred during the post-login wait, deferred_tray_signal.h) and the
// arrival tip shows (UI subcode 10); with 0 the sender's chat window opens at once with it
// (UI subcode 13). Finally the message is stored for the logged-in user, unless its content
// is one the store keeps out (message_archive.h); a gateway (MSN) contact's message is
// stored through the gateway contact list when there is one.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "chat/encoding/preview.h"
#include "core/client_context.h"
#include "core/pending_messages.h"
#include "notify/deferred_tray_signal.h"
#include "notify/incoming_hooks.h"
#include "platform/session/notify_record.h"

namespace notify {

// The notice texts of a room removal and a room invitation; %s is the room.
inline constexpr const char* kRoomRemovedFormat = "你被群%s踢出！";
inline constexpr const char* kRoomInvitedFormat = "你被邀请加入群%s！";

// An SMS the host hands in: the sender number is cut at its first "@" and becomes the JID
// "<number>@sms.<server host>/PC"; the message is kept with type 11 and addressed to the
// logged-in user.
core::QueuedMessage ReceivedSmsMessage(platform::SessionCore& session,
                                       std::string_view senderNumber, std::string_view content,
                                       std::string_view time, std::string_view senderName);

// A message record of the session engine as the handler keeps it.
core::QueuedMessage ToQueuedMessage(const platform::MessageData& data, std::uint32_t type);

}  // namespace notify

class CIncomingMsgHandler {
  public:
    CIncomingMsgHandler(core::ClientContext& context, notify::IncomingMessageHooks& hooks);
    CIncomingMsgHandler(const CIncomingMsgHandler&) = delete;
    CIncomingMsgHandler& operator=(const CIncomingMsgHandler&) = delete;

    // UI subcode 36: a record of the session engine. A record without message data is
    // passed over.
    void OnNotify(const platform::NotifyRecord& record);
    // A message that came another way, handled as if the engine had delivered it.
    void HandleMessage(const core::QueuedMessage& message);

    // UI subcode 10: the arrival tip with the message's preview, at most one per 2000 ms.
    void ShowArrivalTip(const core::QueuedMessage& message);
    // UI subcode 13: opens the sender's chat window with the message. Should no window be
    // made, the message waits in the pending queue instead.
    void OpenAtOnce(const core::QueuedMessage& message);

    notify::DeferredTraySignal& traySignal() { return tray_; }

  private:
    void PlayArrivalSound();
    // A room notice instead of a chat message, or nothing.
    std::optional<std::string> RoomNotice(const core::QueuedMessage& message);
    void DeliverChat(const core::QueuedMessage& message);
    void Announce(const core::QueuedMessage& message);
    void Queue(const core::QueuedMessage& message);
    void SendToMainPanel(int subcode, const core::QueuedMessage& message);
    void Store(const core::QueuedMessage& message);
    int StoreType(const core::QueuedMessage& message);

    core::ClientContext& context_;
    notify::IncomingMessageHooks& hooks_;
    chat::PreviewThrottle throttle_;
    notify::DeferredTraySignal tray_;
};
