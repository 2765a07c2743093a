#pragma once
// Someone asks to add the user as a contact (notification 17).
//
// On the notification thread: a requester the user already subscribes to (a contact whose
// subscription state is "to", in any letter case, as the contact model answers on the UI
// thread) is accepted at once, without a question.
// Anyone else is asked about on the UI thread: a copy of the requester's JID is posted to the
// main panel (WM_IM_NOTIFY, subcode kFriendRequest), where the user answers a yes/no box, the
// answer goes to the server, and the event is stored with the user's messages.

#include <string>

#include "core/client_context.h"
#include "platform/session/notify_record.h"

namespace notify {

class IncomingMessageHooks;

// What the notification thread posts to the main panel.
struct FriendRequest {
    std::string jid;
};

// The box's caption: the title every such box of the client carries.
inline constexpr const char* kFriendRequestCaption = "请求添加好友";
// The question, and the stored event with the outcome in place of the second %s.
inline constexpr const char* kFriendRequestFormat = "%s请求添加您为好友。 %s";
inline constexpr const char* kFriendRequestAdded = "已添加";
inline constexpr const char* kFriendRequestRefused = "已拒绝";

// The notification thread's part.
void OnSubscriptionRequest(core::ClientContext& context, IncomingMessageHooks& hooks,
                           const platform::SubscriptionRequestData& request);

// The UI thread's part: asks, answers the server and stores the event.
void AnswerFriendRequest(core::ClientContext& context, const FriendRequest& request);

}  // namespace notify
