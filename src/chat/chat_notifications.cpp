#include "chat/chat_notifications.h"

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
    return registrations;
}

}  // namespace chat
