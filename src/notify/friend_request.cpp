#include "notify/friend_request.h"

#include <memory>

#include "core/window_manager.h"
#include "core/window_messages.h"
#include "notify/incoming_hooks.h"
#include "notify/message_archive.h"
#include "notify/parcel.h"
#include "notify/routes/ui_subcodes.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"

namespace notify {

void OnSubscriptionRequest(core::ClientContext& context, IncomingMessageHooks& hooks,
                           const platform::SubscriptionRequestData& request) {
    if (request.jid.empty()) {
        context.log.WriteLog2(2, "Subscription request without a requester ignored");
        return;
    }
    // The user already sees this contact's presence: the request only completes the pair.
    // The contact model belongs to the UI thread: asked there, and waited for.
    const os::HWND panel = context.windowManager().MainPanel();
    std::optional<std::string> subscription;
    context.windows.SendTask(panel, [&] { subscription = hooks.ContactSubscription(request.jid); });
    if (subscription && os::EqualsNoCase(*subscription, "to")) {
        context.session.ConfirmSubscribe(request.jid, 1);
        return;
    }
    // The whole JID travels, however long: a cut one would answer somebody else.
    auto copy = std::make_unique<FriendRequest>(FriendRequest{request.jid});
    if (!PostParcel(context.windows, panel, core::WM_IM_NOTIFY, ui::kFriendRequest,
                    std::move(copy))) {
        context.log.WriteLog2(
            2, os::Format("No main panel to ask about the request of %s", request.jid.c_str()));
    }
}

void AnswerFriendRequest(core::ClientContext& context, const FriendRequest& request) {
    const os::HWND owner =
        context.hasWindowManager() ? context.windowManager().MainPanel() : os::HWND();
    const int answer = context.prompter.MessageBox(
        os::Format(kFriendRequestFormat, request.jid.c_str(), ""), kFriendRequestCaption,
        os::MB_YESNO | os::MB_ICONQUESTION, owner);
    const bool accepted = answer == os::IDYES;
    context.session.ConfirmSubscribe(request.jid, accepted ? 1 : 0);

    const std::string event = os::Format(kFriendRequestFormat, request.jid.c_str(),
                                         accepted ? kFriendRequestAdded : kFriendRequestRefused);
    MessageArchive(context).StoreReceived(
        request.jid, {}, event, static_cast<int>(platform::notify_type::kSubscriptionRequest));
}

}  // namespace notify
