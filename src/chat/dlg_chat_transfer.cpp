// CDlgChat: what the window tells its file transfers.

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "contacts/contact_user.h"
#include "core/window_manager.h"
#include "os/controls/button.h"
#include "os/controls/label.h"
#include "os/controls/progress_bar.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"

void CDlgChat::OnFileTransferEvent(std::uint32_t type, const platform::FileTransferData& data) {
    transfers_->OnEvent(type, data, TransferFacts());
}

void CDlgChat::SendDroppedFiles(const std::vector<std::string>& paths) {
    transfers_->SendDroppedFiles(TransferFacts(), paths);
}

chat::TransferWindowFacts CDlgChat::TransferFacts() const {
    chat::TransferWindowFacts facts;
    facts.sendEnabled = sendButton_ != nullptr && sendButton_->enabled();
    facts.participants = static_cast<int>(participants_.size());
    const std::string own = context_.session.GetCurrentUserJID();
    const std::string& peer = participants_.front().jid;
    facts.toSelf = context_.hasWindowManager()
                       ? context_.windowManager().IsSameUser(peer, own, platform::JidMatch::Loose)
                       : os::EqualsNoCase(peer, own);
    facts.peerOnline = !User(0).IsOffline();
    facts.audioChat = audioChatRunning_;
    facts.videoChat = videoChatRunning_;
    facts.running = transfers_->Count();
    return facts;
}

void CDlgChat::RefreshTransferPanel() {
    if (transferLines_.empty() || !transfers_) return;
    const std::vector<chat::TransferPanelLine> lines = transfers_->Panel();
    const bool wasShown = transferLines_.front()->visible();
    for (std::size_t row = 0; row < transferLines_.size(); ++row) {
        const bool shown = row < lines.size();
        if (shown) {
            const chat::TransferPanelLine& line = lines[row];
            std::string text = line.fileName + "  " + line.size + "  " + line.speed;
            if (!line.route.empty()) text += "  " + line.route;
            transferLines_[row]->SetText(text);
            transferBars_[row]->SetPos(static_cast<int>(line.percentValue));
        }
        transferLines_[row]->SetVisible(shown);
        transferBars_[row]->SetVisible(shown);
    }
    if (wasShown != !lines.empty()) {
        const os::Rect rect = GetWindowRect();
        LayOutControls(rect.Width(), rect.Height());
    }
}
