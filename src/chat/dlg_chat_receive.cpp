// CDlgChat: incoming messages, shakes, typing notices, presence and the character counter.
#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "chat/encoding/markers.h"
#include "chat/shake_memory.h"
#include "config/client_config.h"
#include "contacts/contact_user.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"
#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"
#include "platform/jid/jid.h"

namespace {

std::string Framed(const std::string& time, const char* text) {
    const std::string line(chat::kSeparatorLine);
    return os::Format("%s\r\n%s %s\r\n%s", line.c_str(), time.c_str(), text, line.c_str());
}

}  // namespace

// ---- Incoming messages ----

void CDlgChat::OnIncomingMessage(const core::QueuedMessage& message) {
    if (chat::IsShake(message.content)) {
        const std::int64_t seconds = static_cast<std::int64_t>(context_.clock.TickCount() / 1000);
        if (shakes().ShouldShake(message.from, seconds)) StartWindowShake();
        view_->QueueNotice(Framed(message.time, "您收到了一个闪屏振动"));
        return;
    }

    if (chat::IsGatewayJid(message.from)) {
        const std::string speaker = chat::GatewaySpeaker(message.from);
        if (os::Find(speaker, chat::kFontHeaderStart) >= 0) return;
        view_->AppendMessage(speaker, message.time, message.font + message.content);
        return;
    }

    // A peer's note that a picture of ours arrived: nothing to show.
    if (message.content.rfind(chat::kPictureReceiptPrefix, 0) == 0) return;

    Participant* sender = nullptr;
    for (Participant& participant : participants_) {
        if (platform::Jid::Equal(participant.jid, message.from, platform::JidMatch::Loose,
                                 nullptr)) {
            sender = &participant;
            break;
        }
    }
    std::string speaker = os::Trim(message.fromName);
    if (speaker.empty() && sender != nullptr) speaker = sender->displayName;
    if (speaker.empty()) speaker = message.from;
    // A name that would smuggle a font header into the view is never shown.
    if (os::Find(speaker, chat::kFontHeaderStart) >= 0) return;

    Participant& peer = participants_.front();
    if (sender == &peer && !speaker.empty() && speaker != peer.displayName) {
        peer.displayName = speaker;
        nameReplaced_ = true;
        RefreshTitleAndHeader();
    }

    std::string header = message.font;
    if (header == chat::kDefaultHeader) header = std::string(chat::kIncomingDefaultHeader);
    const int objectsBefore = view_->GetObjectCount();
    view_->AppendMessage(speaker, message.time, header + message.content);
    transfers_->pictures().AwaitPlaceholders(objectsBefore);
    // Each offline-file object the message showed is an offer of a stored file.
    for (int i = objectsBefore; i < view_->GetObjectCount(); ++i) {
        const os::PlacedObject placed = view_->GetObject(i);
        if (placed.object.kind == os::RichObjectKind::OfflineFile) {
            transfers_->OnOfflineNotice(placed.object.name);
        }
    }
}

// ---- Shakes ----

void CDlgChat::OnShakeCommand() {
    const std::vector<chat::Recipient> recipients = Recipients();
    if (std::optional<chat::Refusal> refusal = service_.CheckShake(recipients)) {
        ShowRefusal(*refusal);
        return;
    }
    chat::Outgoing shake;
    shake.body = std::string(chat::kShakeBody);
    shake.header = CurrentHeader();
    service_.Send(shake, recipients, feedback_);
    StartWindowShake();
}

// Ten rounds of a step aside and back, 20 ms each, from where the window stands now.
void CDlgChat::StartWindowShake() {
    if (shakeStep_ > 0) MoveWindow(shakeOrigin_);  // a new shake starts from the resting place
    shakeOrigin_ = GetWindowRect();
    shakeRandom_.seed(static_cast<std::uint32_t>(context_.clock.UnixTime()));
    shakeStep_ = 0;
    ++windowShakes_;
    OnShakeTimer();
    SetTimer(chat::kShakeTimer, chat::kShakeStepMs);
}

void CDlgChat::OnShakeTimer() {
    if (shakeStep_ >= 2 * chat::kShakeRounds) {
        KillTimer(chat::kShakeTimer);
        shakeStep_ = 0;
        return;
    }
    if (shakeStep_ % 2 == 0) {
        const int dx = static_cast<int>(shakeRandom_() % 30) - 10;
        const int dy = static_cast<int>(shakeRandom_() % 30) - 10;
        os::Rect moved = shakeOrigin_;
        moved.left += dx;
        moved.right += dx;
        moved.top += dy;
        moved.bottom += dy;
        MoveWindow(moved);
    } else {
        MoveWindow(shakeOrigin_);
    }
    ++shakeStep_;
}

// ---- Typing notices ----

void CDlgChat::OnInputState(const std::string& state, const std::string& senderJid) {
    lastTypingNotice_ = context_.clock.Now();
    SetTimer(chat::kTypingStatusTimer, chat::kTypingQuietMs);
    if (state == "composing") {
        std::string name;
        for (const Participant& participant : participants_) {
            if (platform::Jid::Equal(participant.jid, senderJid, platform::JidMatch::Loose,
                                     nullptr)) {
                name = participant.displayName;
                break;
            }
        }
        if (name.empty()) name = senderJid;
        typingText_ = name + " 正在输入....";
    } else {
        typingText_.clear();
    }
    RebuildStatusLine();
}

void CDlgChat::OnTypingStatusTimer() {
    if (context_.clock.Now() - lastTypingNotice_ >= chat::kTypingQuietMs) typingText_.clear();
    RebuildStatusLine();
    KillTimer(chat::kTypingStatusTimer);
}

void CDlgChat::OnTypingResendTimer() {
    SendTypingState(input_->GetTextLength() > 0 ? "composing" : "active");
    KillTimer(chat::kTypingResendTimer);
}

void CDlgChat::OnInputChange() {
    if (mode_ == chat::ChatMode::InstantMessage && !programmaticChange_) {
        SendTypingState("composing");
        SetTimer(chat::kTypingResendTimer, chat::kTypingResendMs);
    }
    UpdateCounter();
}

// ---- Counter and status line ----

void CDlgChat::UpdateCounter() {
    if (input_ == nullptr || signature_ == nullptr) return;
    const std::size_t signatureBytes = signature_->Text().size();
    std::size_t n = signatureBytes + input_->GetTextByteLength();
    counterText_ = n < 1 ? std::string() : os::Format("已输入 %d 字符", static_cast<int>(n));
    RebuildStatusLine();
    if (mode_ != chat::ChatMode::Sms) return;

    if (n > chat::kMaxSmsBytes) {
        const std::size_t room =
            signatureBytes < chat::kMaxSmsBytes ? chat::kMaxSmsBytes - signatureBytes : 0;
        // Cut at a whole character; the change this makes comes back here with n <= 300.
        const std::size_t keep = os::LeftBytes(input_->GetText(), room).size();
        input_->SetSel(input_->PositionFromByteOffset(keep), -1);
        input_->ReplaceSel("");
        input_->SetSel(-1, -1);
        return;
    }
    const int left = static_cast<int>(chat::kMaxSmsBytes) - static_cast<int>(n);
    smsHint_->SetText(std::string(" 请在下方输入短信内容") +
                      os::Format(" (还可输入 %d 个字符， %s )", left, quota().QuotaText().c_str()));
}

void CDlgChat::RebuildStatusLine() {
    if (statusLine_ != nullptr) statusLine_->SetText(counterText_ + " " + typingText_);
}

// ---- Presence ----

void CDlgChat::OnPeerPresence(const std::string& status) {
    if (Participant& peer = participants_.front(); peer.own) peer.own->SetPresence(status);
    if (mode_ != chat::ChatMode::InstantMessage || notified_) return;
    if (status == "away") {
        view_->QueueNotice("\n对方现在离开，可能无法立即回复");
    } else if (status == "dnd" || status == "busy") {
        view_->QueueNotice("\n对方现在忙碌，可能无法立即回复");
    } else if (status == "offline") {
        notified_ = true;
    }
}
