// CDlgChat: construction, the message handler, participants and shared helpers.
#include "chat/dlg_chat.h"

#include "chat/chat_controls.h"
#include "chat/shake_memory.h"
#include "config/client_config.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "core/window_manager.h"
#include "core/window_messages.h"
#include "os/controls/label.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"

CDlgChat::CDlgChat(core::ClientContext& context, contacts::ContactTrees* trees,
                   std::string contactJid, chat::ChatMode mode)
    : core::ChatWindow(context.windows),
      context_(context),
      trees_(trees),
      contactJid_(std::move(contactJid)),
      mode_(mode),
      doors_(context, trees),
      quotaThroughDoor_(doors_.quota),
      service_(context, mode, quotaThroughDoor_) {
    participants_.push_back(MakeParticipant(contactJid_));
}

CDlgChat::CDlgChat(core::ClientContext& context, std::string contactJid)
    : CDlgChat(context, nullptr, std::move(contactJid), chat::ChatMode::InstantMessage) {}

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
    params.title = participants_.front().displayName;
    params.rect = os::Rect::FromSize(0, 0, chat::kChatWidth, chat::kChatHeight);
    if (!os::Window::Create(params)) return false;
    OnInitDialog();
    LayOutControls(params.rect.Width(), params.rect.Height());
    return true;
}

void CDlgChat::ShowQueuedMessages(std::vector<core::QueuedMessage> messages) {
    for (core::QueuedMessage& message : messages) {
        if (view_ != nullptr) OnIncomingMessage(message);
        shownMessages_.push_back(std::move(message));
    }
}

void CDlgChat::EndTransfers() {
    fileTransferRunning_ = false;
    if (transfers_) transfers_->CancelAll();
}

os::LRESULT CDlgChat::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    switch (message) {
        case os::WM_CREATE:
            MakeControls();
            transfers_ = std::make_unique<chat::ChatTransfers>(
                context_, *view_, context_.folders.commonDir + "temp/");
            if (context_.hasWindowManager()) {
                context_.windowManager().AddChatWindow(*this);
                registered_ = true;
            }
            return 0;
        case os::WM_DESTROY:
            KillTimer(chat::kTypingStatusTimer);
            KillTimer(chat::kTypingResendTimer);
            KillTimer(chat::kShakeTimer);
            if (transfers_) transfers_->CancelAll();
            if (registered_ && context_.hasWindowManager()) {
                context_.windowManager().RemoveChatWindow(*this);
            }
            registered_ = false;
            return 0;
        case core::WM_CHAT_SHUTDOWN:
            if (lParam == core::kCloseFinal) {
                commands().EndAudioVideo(contactJid_);
                DestroyWindow();
            } else {
                ++notFinalShutdowns_;
            }
            return 0;
        case os::WM_SIZE:
            LayOutControls(os::LOWORD(static_cast<os::WPARAM>(lParam)),
                           os::HIWORD(static_cast<os::WPARAM>(lParam)));
            return 0;
        case os::WM_CLOSE:
            OnUserClose();
            return 0;
        case os::WM_DROPFILES:
            if (const auto* paths = os::FromLParam<const std::vector<std::string>>(lParam)) {
                SendDroppedFiles(*paths);
            }
            return 1;
        case os::WM_COMMAND: {
            const int id = static_cast<int>(wParam & 0xFFFF);
            const int code = static_cast<int>((wParam >> 16) & 0xFFFF);
            if (id == chat::control::kInput && code == os::notify::kEditChange) {
                OnInputChange();
            } else if (id == chat::control::kSignature && code == os::notify::kEditChange) {
                UpdateCounter();
            } else if (code == os::notify::kClicked) {
                OnCommand(id);
            }
            return 0;
        }
        case os::WM_NOTIFY: {
            const auto* note = os::FromLParam<const os::ControlNotification>(lParam);
            if (note != nullptr && note->code == os::notify::kLinkClicked) {
                if (note->controlId == chat::control::kView) {
                    view_->OnLinkNotification(static_cast<int>(note->item));
                }
            }
            return 0;
        }
        case os::WM_TIMER:
            if (wParam == chat::kTypingStatusTimer) OnTypingStatusTimer();
            if (wParam == chat::kTypingResendTimer) OnTypingResendTimer();
            if (wParam == chat::kShakeTimer) OnShakeTimer();
            if (wParam == chat::kTransferStallTimer) transfers_->OnStallTimer();
            if (wParam == chat::kOfflineProgressTimer) transfers_->OnOfflineProgressTimer();
            return 0;
        case os::WM_KEYDOWN:
        case os::WM_SYSKEYDOWN: {
            if (wParam == 0) return 0;  // taken by the manager's hook already
            HandleKey(static_cast<int>(wParam), HeldModifiers(lParam, message == os::WM_SYSKEYDOWN),
                      GetFocus() == chat::control::kInput);
            return 0;
        }
        default:
            return os::Window::OnMessage(message, wParam, lParam);
    }
}

// ---- Participants ----

CDlgChat::Participant CDlgChat::MakeParticipant(const std::string& jid) const {
    Participant participant;
    participant.jid = jid;
    if (contacts::CUser* user = TreeUser(jid)) {
        participant.own = std::make_unique<contacts::CUser>(*user);
        participant.displayName = user->ShownName();
    } else {
        participant.own = std::make_unique<contacts::CUser>(context_.clock, jid,
                                                            platform::Jid(jid).LocalPart(), "", "");
        if (context_.session.GetUserType(jid) == platform::kUserTypeSms) {
            participant.own->EditDetails().mobile = platform::Jid(jid).LocalPart();
        }
        participant.displayName = participant.own->name;
    }
    if (participant.displayName.empty()) participant.displayName = platform::Jid(jid).LocalPart();
    return participant;
}

void CDlgChat::OnContactUpdate() {
    for (Participant& participant : participants_) {
        contacts::CUser* user = TreeUser(participant.jid);
        if (user == nullptr) continue;
        participant.own = std::make_unique<contacts::CUser>(*user);
        // A nickname the peer itself sent stays until it sends another.
        if (&participant == &participants_.front() && nameReplaced_) continue;
        if (!user->ShownName().empty()) participant.displayName = user->ShownName();
    }
    RefreshTitleAndHeader();
}

contacts::CUser* CDlgChat::TreeUser(const std::string& jid) const {
    if (trees_ == nullptr) return nullptr;
    for (contacts::CIMTree* tree : trees_->trees()) {
        if (contacts::CUser* user = tree->FindUser(jid, "", platform::JidMatch::Loose)) return user;
    }
    return nullptr;
}

// Looked up each time: a tree may replace its users while the window is open. A contact
// that left every tree goes on as the window last knew it.
contacts::CUser& CDlgChat::User(std::size_t index) const {
    const Participant& participant = participants_.at(index);
    if (contacts::CUser* user = TreeUser(participant.jid)) return *user;
    return *participant.own;
}

bool CDlgChat::AddParticipant(const std::string& jid) {
    for (const Participant& participant : participants_) {
        if (context_.hasWindowManager() ? context_.windowManager().IsSameUser(
                                              participant.jid, jid, platform::JidMatch::Loose)
                                        : os::EqualsNoCase(participant.jid, jid)) {
            return false;
        }
    }
    participants_.push_back(MakeParticipant(jid));
    return true;
}

std::string CDlgChat::MobileOf(std::size_t index) const {
    const contacts::CUser& user = User(index);
    if (!user.details().mobile.empty()) return user.details().mobile;
    if (context_.session.GetUserType(participants_.at(index).jid) == platform::kUserTypeSms) {
        return platform::Jid(participants_.at(index).jid).LocalPart();
    }
    return {};
}

std::vector<chat::Recipient> CDlgChat::Recipients() const {
    std::vector<chat::Recipient> recipients;
    recipients.reserve(participants_.size());
    for (std::size_t i = 0; i < participants_.size(); ++i) {
        const contacts::CUser& user = User(i);
        chat::Recipient recipient;
        recipient.jid = participants_[i].jid;
        recipient.displayName = participants_[i].displayName;
        recipient.mobile = MobileOf(i);
        recipient.offline = user.IsOffline();
        recipient.wantsSmsCopies = user.WantsSmsCopiesWhileOffline();
        recipients.push_back(std::move(recipient));
    }
    return recipients;
}

std::vector<std::string> CDlgChat::ParticipantJids() const {
    std::vector<std::string> jids;
    jids.reserve(participants_.size());
    for (const Participant& participant : participants_) jids.push_back(participant.jid);
    return jids;
}

// ---- Shared helpers ----

chat::UserChatSettings& CDlgChat::settings() const { return *doors_.settings; }
chat::SmsQuota& CDlgChat::quota() const { return *doors_.quota; }
chat::ChatCommands& CDlgChat::commands() const { return *doors_.commands; }
chat::ShakeMemory& CDlgChat::shakes() const { return *doors_.shakes; }

std::string CDlgChat::StatusLine() const {
    return statusLine_ != nullptr ? statusLine_->Text() : std::string();
}
