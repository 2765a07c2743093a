#include "chat/chat_rich_view.h"

#include "chat/encoding/links.h"
#include "chat/encoding/markers.h"
#include "chat/encoding/view_inserter.h"
#include "os/ui/window_system.h"

namespace chat {

CChatRichView::CChatRichView(int id, ViewKind kind, const os::Clock& clock, std::string appDir,
                             std::string tempDir)
    : os::RichEdit(id),
      kind_(kind),
      clock_(clock),
      objects_(std::move(appDir), tempDir),
      tempDir_(std::move(tempDir)) {
    SetReadOnly(kind == ViewKind::ReadOnly);
}

void CChatRichView::AttachTo(os::WindowSystem& system, os::HWND owner) {
    {
        std::lock_guard lock(pendingMutex_);
        system_ = &system;
        owner_ = owner;
    }
    RenderPendingNotices();
}

void CChatRichView::AppendEncoded(std::string_view text, InsertMode mode) {
    InsertEncodedText(*this, text, mode, objects_);
    ScrollToBottom();
}

void CChatRichView::AppendMessage(std::string_view speaker, std::string_view time,
                                  std::string_view message, SpeakerVerb verb) {
    AppendChatMessage(*this, objects_, speaker, time, message, verb, clock_);
    ScrollToBottom();
}

int CChatRichView::AppendRecentHistory(std::span<const RecentMessage> messages) {
    SetSel(-1, -1);
    const int shown = chat::AppendRecentHistory(*this, objects_, messages);
    ScrollToBottom();
    return shown;
}

void CChatRichView::AddRedNotice(std::string_view text, NoticeFrame frame) {
    std::string line(kRedHeader);
    line += "\r\n";
    if (frame == NoticeFrame::Separated) {
        line += kSeparatorLine;
        line += "\r\n";
    }
    line += text;
    line += "\r\n";
    if (frame == NoticeFrame::Separated) {
        line += kSeparatorLine;
        line += "\r\n";
    }
    SetSel(-1, -1);
    AppendEncoded(line);
}

void CChatRichView::QueueNotice(std::string_view text) {
    bool renderHere = false;
    os::WindowSystem* system = nullptr;
    os::HWND owner{};
    {
        std::lock_guard lock(pendingMutex_);
        pending_.push_back(std::string(text) + "\r\n");
        system = system_;
        owner = owner_;
    }
    if (system == nullptr) return;  // appended once the view is attached
    renderHere = system->IsOwnedByCallingThread(owner);
    if (renderHere) {
        RenderPendingNotices();
    } else {
        // Dropped with the window if it closes first; the view goes with the window.
        system->PostTask(owner, [this] { RenderPendingNotices(); });
    }
}

void CChatRichView::RenderPendingNotices() {
    const bool wasHidden = selectionHidden();
    HideSelection(true);
    bool any = false;
    for (;;) {
        std::string next;
        {
            std::lock_guard lock(pendingMutex_);
            if (pending_.empty()) break;
            next = std::move(pending_.front());
            pending_.erase(pending_.begin());
        }
        InsertEncodedText(*this, next, InsertMode::Live, objects_);
        any = true;
    }
    HideSelection(wasHidden);
    if (any) ScrollToBottom();
}

std::size_t CChatRichView::PendingNoticeCount() const {
    std::lock_guard lock(pendingMutex_);
    return pending_.size();
}

void CChatRichView::MarkLink(int start, int end, std::string_view target) {
    chat::MarkLink(*this, start, end, target);
}

void CChatRichView::OnLinkNotification(int position) {
    const std::optional<os::LinkRange> link = LinkAt(position);
    if (!link || !linkHandler_) return;
    linkHandler_(link->text, link->target);
}

void CChatRichView::ScrollToBottom() {
    SetSel(-1, -1);
    scrolledToLine_ = GetLineCount() - 1;
}

}  // namespace chat
