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
    namespace nt = platform::notify_type;
    notify::Registrations registrations;
    auto direct = [&](std::uint32_t type, Work work) {
        registrations.push_back(OnDirectInUi(context, center, handlers, type, std::move(work)));
    };
    direct(nt::kRoomInvitation, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto invitation = ReadInvitation(data)) c.OnInvitation(*invitation);
    });
    direct(nt::kRoomList, [](CConferenceCenter& c, const platform::SlotData& data) {
        c.OnRoomList(ReadRoomList(data), RoomKind::Persistent);
    });
    direct(nt::kRoomInfo, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto info = ReadRoomInfo(data)) c.OnRoomInfo(*info);
    });
    direct(nt::kRoomMemberPresence, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto presence = ReadMemberPresence(data)) c.OnMemberPresence(*presence);
    });
    direct(nt::kRoomMembersList, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto list = ReadMemberList(data)) c.OnMemberList(*list);
    });
    direct(nt::kRoomRemoved, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto removed = ReadRoomRemoved(data)) c.OnRoomRemoved(*removed);
    });
    direct(nt::kRoomMemberCounts, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto counts = ReadRoomCounts(data)) c.OnMemberCounts(*counts);
    });
    direct(nt::kRoomError, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto error = ReadRoomError(data)) c.OnRoomError(*error);
    });
    direct(nt::kRoomVoiceRequest, [](CConferenceCenter& c, const platform::SlotData& data) {
        if (auto request = ReadVoiceRequest(data)) c.OnVoiceRequest(*request);
    });
    return registrations;
}

}  // namespace rooms
