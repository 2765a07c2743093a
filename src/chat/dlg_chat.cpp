#include "chat/dlg_chat.h"

#include "core/window_manager.h"
#include "core/window_messages.h"

CDlgChat::CDlgChat(core::ClientContext& context, std::string contactJid)
    : core::ChatWindow(context.windows), context_(context), contactJid_(std::move(contactJid)) {}

CDlgChat::~CDlgChat() {
    // A window deleted while still registered (its owner went first) must not stay behind
    // in the registry as a dangling pointer.
    if (registered_ && context_.hasWindowManager()) {
        context_.windowManager().RemoveChatWindow(*this);
    }
}

bool CDlgChat::Create() {
    CreateParams params;
    params.className = std::string(core::kChatWindowClass);
    params.title = contactJid_;
    return os::Window::Create(params);
}

bool CDlgChat::OnChatKeyDown(int /*key*/, int /*flags*/) {
    // No key of its own yet: the input box and its send keys come with the conversation.
    return false;
}

void CDlgChat::ShowQueuedMessages(std::vector<core::QueuedMessage> messages) {
    for (core::QueuedMessage& message : messages) shownMessages_.push_back(std::move(message));
}

void CDlgChat::EndTransfers() {}

os::LRESULT CDlgChat::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    switch (message) {
        case os::WM_CREATE:
            if (context_.hasWindowManager()) {
                context_.windowManager().AddChatWindow(*this);
                registered_ = true;
            }
            return 0;
        case os::WM_DESTROY:
            if (registered_ && context_.hasWindowManager()) {
                context_.windowManager().RemoveChatWindow(*this);
            }
            registered_ = false;
            return 0;
        case core::WM_CHAT_SHUTDOWN:
            if (lParam == core::kCloseFinal) {
                DestroyWindow();
            } else {
                ++notFinalShutdowns_;
            }
            return 0;
        default:
            return os::Window::OnMessage(message, wParam, lParam);
    }
}
