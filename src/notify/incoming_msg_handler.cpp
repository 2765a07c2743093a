#include "notify/incoming_msg_handler.h"

#include "config/client_config.h"
#include "core/window_manager.h"
#include "core/window_messages.h"
#include "notify/message_archive.h"
#include "notify/routes/ui_subcodes.h"
#include "os/services/log.h"
#include "os/services/sound_player.h"
#include "os/text/cstring_ops.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace notify {
namespace {

constexpr std::string_view kRoomRemovedMarker = "delete@";
constexpr std::string_view kRoomInvitedMarker = "invite@";
constexpr std::string_view kGatewayDomainMark = "@msn.";

bool IsChatType(std::uint32_t type) {
    using namespace platform::notify_type;
    return type == kChatMessage || type == kChatMessage2 || type == kChatMessage3;
}

bool IsNoticeType(std::uint32_t type) {
    using namespace platform::notify_type;
    return type == kNoticeMessage || type == kNoticeMessage2;
}

// The room named after `marker` in `content`, or nothing when the marker is absent.
std::optional<std::string> RoomAfter(std::string_view content, std::string_view marker) {
    const int at = os::Find(content, marker);
    if (at < 0) return std::nullopt;
    return os::Mid(content, at + static_cast<int>(marker.size()));
}

}  // namespace

core::QueuedMessage ReceivedSmsMessage(platform::SessionCore& session,
                                       std::string_view senderNumber, std::string_view content,
                                       std::string_view time, std::string_view senderName) {
    std::string number(senderNumber);
    const int at = os::Find(number, '@');
    if (at >= 0) number = os::Left(number, at);

    core::QueuedMessage message;
    message.from = os::Format("%s@sms.%s/PC", number.c_str(), session.GetHostName().c_str());
    message.to = session.GetCurrentUserJID();
    message.content = std::string(content);
    message.time = std::string(time);
    message.fromName = std::string(senderName);
    message.type = core::kQueuedSmsType;
    return message;
}

core::QueuedMessage ToQueuedMessage(const platform::MessageData& data, std::uint32_t type) {
    core::QueuedMessage message;
    message.from = data.from;
    message.to = data.to;
    message.fromName = data.fromName;
    message.font = data.font;
    message.content = data.content;
    message.subject = data.subject;
    message.time = data.time;
    message.subKind = data.subKind;
    message.flag = data.flag;
    message.type = type;
    return message;
}

}  // namespace notify

using notify::IsChatType;
using notify::IsNoticeType;

CIncomingMsgHandler::CIncomingMsgHandler(core::ClientContext& context,
                                         notify::IncomingMessageHooks& hooks)
    : context_(context), hooks_(hooks), throttle_(context.clock), tray_(context) {}

void CIncomingMsgHandler::OnNotify(const platform::NotifyRecord& record) {
    const auto* data = record.As<platform::MessageData>();
    if (data == nullptr) {
        context_.log.WriteLog2(2, os::Format("Notification %u carries no message", record.type));
        return;
    }
    HandleMessage(notify::ToQueuedMessage(*data, record.type));
}

void CIncomingMsgHandler::HandleMessage(const core::QueuedMessage& message) {
    PlayArrivalSound();

    if (IsChatType(message.type)) {
        if (std::optional<std::string> notice = RoomNotice(message)) {
            // The room's own notice is what the user sees and keeps, never the raw marker.
            context_.noticePop.ShowTip(*notice);
            hooks_.RefreshRoomList();
            notify::MessageArchive(context_).StoreReceived(message.from, message.time, *notice,
                                                           StoreType(message));
            return;
        }
        DeliverChat(message);
    } else if (IsNoticeType(message.type)) {
        Announce(message);
    } else if (message.type == platform::notify_type::kRoomMessageWithPictures) {
        hooks_.RoomPictureMessage(message);
    } else if (message.type == platform::notify_type::kOaNotice) {
        hooks_.OaNotice(message);
    }
    Store(message);
}

void CIncomingMsgHandler::PlayArrivalSound() {
    const std::string& sound = context_.config.MessageSound;
    if (sound.empty()) return;
    context_.sound.PlaySoundFile(context_.folders.appDir + sound);
}

std::optional<std::string> CIncomingMsgHandler::RoomNotice(const core::QueuedMessage& message) {
    if (auto room = notify::RoomAfter(message.content, notify::kRoomRemovedMarker)) {
        return os::Format(notify::kRoomRemovedFormat, room->c_str());
    }
    if (auto room = notify::RoomAfter(message.content, notify::kRoomInvitedMarker)) {
        return os::Format(notify::kRoomInvitedFormat, room->c_str());
    }
    return std::nullopt;
}

void CIncomingMsgHandler::DeliverChat(const core::QueuedMessage& message) {
    core::IWindowManager& manager = context_.windowManager();
    platform::SessionCore& session = context_.session;
    core::ChatWindow* window = manager.FindChatWindow(message.from, platform::JidMatch::Loose);
    if (window != nullptr) window->ShowQueuedMessages({message});
    if (!hooks_.IsInContactLists(message.from) &&
        session.GetUserType(message.from) != platform::kUserTypeSms) {
        session.QueryPersonInfo(message.from, 0, 0);
    }
    if (context_.config.HasRecentContact != 0) hooks_.PutAtTopOfRecentContacts(message.from);
    if (window == nullptr) Announce(message);
}

void CIncomingMsgHandler::Announce(const core::QueuedMessage& message) {
    if (context_.config.MessageArrivedTipType != 0) {
        Queue(message);
        SendToMainPanel(notify::ui::kArrivalTip, message);
    } else {
        SendToMainPanel(notify::ui::kOpenChatAtOnce, message);
    }
}

void CIncomingMsgHandler::Queue(const core::QueuedMessage& message) {
    context_.windowManager().PendingMessages().Push(message);
    tray_.MessageQueued();
}

void CIncomingMsgHandler::SendToMainPanel(int subcode, const core::QueuedMessage& message) {
    const os::HWND panel = context_.windowManager().MainPanel();
    if (context_.windows.IsWindow(panel)) {
        context_.windows.SendMessage(panel, core::WM_IM_NOTIFY, static_cast<os::WPARAM>(subcode),
                                     reinterpret_cast<os::LPARAM>(&message));
        return;
    }
    // No main panel to go through: the message must not be lost for that.
    if (subcode == notify::ui::kArrivalTip) {
        ShowArrivalTip(message);
    } else {
        OpenAtOnce(message);
    }
}

void CIncomingMsgHandler::ShowArrivalTip(const core::QueuedMessage& message) {
    if (std::optional<std::string> preview = throttle_.Next(message.content)) {
        const std::string& sender = message.fromName.empty() ? message.from : message.fromName;
        context_.noticePop.ShowNewMsgTip(sender, *preview);
    }
}

void CIncomingMsgHandler::OpenAtOnce(const core::QueuedMessage& message) {
    if (core::ChatWindow* window = context_.windowManager().OpenChatWindow(message.from)) {
        window->ShowQueuedMessages({message});
        return;
    }
    Queue(message);
}

void CIncomingMsgHandler::Store(const core::QueuedMessage& message) {
    if (notify::IsKeptOutOfStore(message.content)) return;
    if (os::Find(message.from, notify::kGatewayDomainMark) >= 0 &&
        hooks_.StoreGatewayMessage(message)) {
        return;
    }
    notify::MessageArchive(context_).StoreReceived(
        message.from, message.time, message.font + message.content, StoreType(message));
}

int CIncomingMsgHandler::StoreType(const core::QueuedMessage& message) {
    if (!IsChatType(message.type)) return static_cast<int>(message.type);
    return context_.session.GetUserType(message.from) == platform::kUserTypeSms
               ? CClientDB::kTypeSms
               : CClientDB::kTypeChat;
}
