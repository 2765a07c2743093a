#include "notify/pump_handlers.h"

#include "core/window_manager.h"
#include "notify/friend_request.h"
#include "notify/parcel.h"
#include "notify/routes/ui_subcodes.h"

namespace notify {

PumpHandlers::PumpHandlers(core::ClientContext& context, NotificationHandlers& handlers,
                           IncomingMessageHooks& hooks)
    : context_(context), hooks_(hooks), incoming_(context, hooks) {
    using namespace platform::notify_type;
    using Record = platform::NotifyRecord;

    // ---- Notification thread
    registrations_.push_back(handlers.OnDirect({kLoggedInElsewhere}, [this](const Record&) {
        context_.windowManager().Flags().loggedInElsewhere = true;
    }));
    registrations_.push_back(
        handlers.OnDirect({kSubscriptionRequest}, [this](const Record& record) {
            if (const auto* request = record.As<platform::SubscriptionRequestData>()) {
                OnSubscriptionRequest(context_, hooks_, *request);
            }
        }));

    // ---- UI thread
    registrations_.push_back(handlers.OnSubcode(ui::kFriendRequest, [this](os::LPARAM lParam) {
        if (auto request = TakeParcel<FriendRequest>(lParam)) {
            AnswerFriendRequest(context_, *request);
        }
        return os::LRESULT{0};
    }));
    registrations_.push_back(
        handlers.OnUi({kChatMessage, kChatMessage2, kNoticeMessage, kNoticeMessage2, kChatMessage3,
                       kRoomMessageWithPictures, kOaNotice},
                      [this](const Record& record) { incoming_.OnNotify(record); }));
    registrations_.push_back(handlers.OnSubcode(ui::kArrivalTip, [this](os::LPARAM lParam) {
        if (lParam != 0) {
            incoming_.ShowArrivalTip(*reinterpret_cast<const core::QueuedMessage*>(lParam));
        }
        return os::LRESULT{0};
    }));
    registrations_.push_back(handlers.OnSubcode(ui::kOpenChatAtOnce, [this](os::LPARAM lParam) {
        if (lParam != 0) {
            incoming_.OpenAtOnce(*reinterpret_cast<const core::QueuedMessage*>(lParam));
        }
        return os::LRESULT{0};
    }));
}

}  // namespace notify
