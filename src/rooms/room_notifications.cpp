#include "rooms/room_notifications.h"

#include <functional>

#include "core/client_context.h"
#include "core/window_manager.h"
#include "os/ui/window_system.h"
#include "rooms/conference_center.h"
#include "rooms/room_notify_layout.h"

namespace rooms {
namespace {

using Work = std::function<void(CConferenceCenter&, const platform::SlotData&)>;

// A direct handler that runs `work` on the UI thread, waited for.
notify::Registration OnDirectInUi(core::ClientContext& context, CConferenceCenter& center,
                                  notify::NotificationHandlers& handlers, std::uint32_t type,
                                  Work work) {
    return handlers.OnDirect(
        {type}, [&context, &center, work = std::move(work)](const platform::NotifyRecord& record) {
            const auto* data = record.As<platform::SlotData>();
            if (data == nullptr) return;
            context.windows.SendTask(context.windowManager().MainPanel(),
                                     [&center, &work, data] { work(center, *data); });
        });
}

}  // namespace

notify::Registrations RegisterRoomNotifications(core::ClientContext& context,
                                                CConferenceCenter& center,
                                                notify::NotificationHandlers& handlers) {
    namespace rn = room_notify;
    notify::Registrations registrations;
    auto direct = [&](std::uint32_t type, Work work) {
        registrations.push_back(OnDirectInUi(context, center, handlers, type, std::move(work)));
    };
    direct(rn::kOwnRoomList, [](CConferenceCenter& c, const platform::SlotData& data) {
        c.OnRoomList(ReadRoomList(data), RoomKind::Persistent);
    });
    direct(rn::kConsultationRooms, [](CConferenceCenter& c, const platform::SlotData& data) {
        c.OnRoomList(ReadConsultationRooms(data), RoomKind::Consultation);
    });
    direct(rn::kMemberPresence, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto presence = ReadMemberPresence(data)) c.OnMemberPresence(*presence);
    });
    direct(rn::kRoomMessage, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto message = ReadRoomMessage(data)) c.OnRoomMessage(*message);
    });
    direct(rn::kRoomInfo, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto info = ReadRoomInfo(data)) c.OnRoomInfo(*info);
    });
    direct(rn::kRoomDissolved, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto jid = ReadRoomJid(data)) c.OnRoomDissolved(*jid);
    });
    direct(rn::kMemberCounts, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto counts = ReadRoomCounts(data)) c.OnMemberCounts(*counts);
    });
    direct(rn::kMemberList, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto list = ReadMemberList(data)) c.OnMemberList(*list);
    });
    direct(rn::kRoomError, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto error = ReadRoomError(data)) c.OnRoomError(*error);
    });
    registrations.push_back(
        handlers.OnUi({rn::kInvitation}, [&center](const platform::NotifyRecord& record) {
            const auto* data = record.As<platform::SlotData>();
            if (data == nullptr) return;
            if (auto invitation = ReadInvitation(*data)) center.OnInvitation(*invitation);
        }));
    return registrations;
}

}  // namespace rooms
