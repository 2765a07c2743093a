#include "chat/chat_notifications.h"

#include "chat/dlg_chat.h"
#include "chat/transfer/transfer_list.h"
#include "core/chat_window.h"
#include "core/client_context.h"
#include "core/window_manager.h"
#include "os/ui/window_system.h"

namespace chat {

notify::Registrations RegisterChatNotifications(core::ClientContext& context,
                                                notify::NotificationHandlers& handlers) {
    notify::Registrations registrations;
    registrations.push_back(handlers.OnDirect(
        {platform::notify_type::kTypingState}, [&context](const platform::NotifyRecord& record) {
            const auto* data = record.As<platform::TypingStateData>();
            if (data == nullptr || data->from.empty()) return;
            // The chat windows belong to the UI thread: the work is done there, and waited
            // for, so the record is still valid.
            core::IWindowManager& manager = context.windowManager();
            context.windows.SendTask(manager.MainPanel(), [&manager, data] {
                if (core::ChatWindow* chat =
                        manager.FindChatWindow(data->from, platform::JidMatch::Loose)) {
                    chat->OnInputState(data->state, data->from);
                }
            });
        }));
    // File events go to the window of their transfer; an offer to the peer's window, which
    // is opened when none is.
    namespace nt = platform::notify_type;
    registrations.push_back(handlers.OnUi(
        {nt::kFileTransferStarted, nt::kFileTransferProgress, nt::kFileTransferRefused,
         nt::kFileTransferCancelled, nt::kFileTransferSucceeded, nt::kFileTransferFailed,
         nt::kFileOffer, nt::kOfflineFileSwitch},
        [&context](const platform::NotifyRecord& record) {
            const auto* data = record.As<platform::FileTransferData>();
            if (data == nullptr) return;
            core::IWindowManager& manager = context.windowManager();
            core::ChatWindow* window = nullptr;
            if (record.type == nt::kFileOffer) {
                window = manager.FindChatWindow(data->peerJid, platform::JidMatch::Loose);
                if (window == nullptr) window = manager.OpenChatWindow(data->peerJid);
            } else if (const auto transfer = Transfers().Find(data->key)) {
                for (core::ChatWindow* open : manager.ChatWindows()) {
                    if (open->hwnd() == transfer->window) window = open;
                }
            } else {
                // A picture of a message is received outside the list, in the peer's window.
                window = manager.FindChatWindow(data->peerJid, platform::JidMatch::Loose);
            }
            if (auto* chat = dynamic_cast<CDlgChat*>(window)) {
                chat->OnFileTransferEvent(record.type, *data);
            }
        }));
    return registrations;
}

}  // namespace chat
