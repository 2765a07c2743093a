#pragma once
// CDlgChat: the one-to-one chat window, a top-level window of class "KESTRAL_IM_CHATWND".
// It talks with one contact (the peer), or with several after an invitation, in one of two
// modes fixed at creation: instant messages or SMS to the contacts' mobile numbers.
//
// Registry. The window enters the window manager's registry when it is created and leaves it
// when it is destroyed, so the registry never holds a window that is gone.
//
// Closing. The user's close (WM_CLOSE while the window is registered) asks first when a file
// transfer, a video or an audio call would end; any "No" keeps the window. A close ordered
// by the window manager asks nothing: WM_CHAT_SHUTDOWN with kCloseFinal (program end, user
// log-out), or WM_CLOSE after the manager took the window out of its registry.
// kCloseNotFinal (the session ended by itself) leaves the window open and registered.
//
// Keys. OnChatKeyDown (the manager's hook, with the key message's lParam as `flags`) and
// WM_KEYDOWN / WM_SYSKEYDOWN take the send keys. The modifiers are read as a person holds
// them: Ctrl from the keyboard's state (either Ctrl key), Alt from WM_SYSKEYDOWN, the lParam's
// Alt bit or the keyboard's state. Enter sends unless SendKey is 1 or Ctrl is held,
// Ctrl+Enter sends when SendKey is 1, Alt+S always sends; any other Enter in the input box
// breaks the line.
//
// Timers: 1 clears the typing status after 5 s of silence, 2 tells the peer whether the user
// is still typing 2 s after the last change, 3 steps the window shake.
//
// Sending. The rules of sending (the checks, SMS and SMS copies, gateway contacts, storing)
// are chat::ChatService's; the window gathers the input and the participants, asks the
// service, and shows what it reports.
//
// Everything runs on the UI thread; notices from other threads go through the view's queue.

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "chat/chat_doors.h"
#include "chat/chat_rich_view.h"
#include "chat/chat_service.h"
#include "chat/encoding/gateway_address.h"
#include "chat/encoding/input_encoder.h"
#include "chat/phrase_picker.h"
#include "chat/send_rules.h"
#include "chat/transfer/chat_transfers.h"
#include "core/chat_window.h"
#include "core/client_context.h"
#include "os/ui/geometry.h"

namespace contacts {
class ContactTrees;
class CUser;
}  // namespace contacts
namespace os {
class Label;
class ProgressBar;
class Edit;
class CheckBox;
class Button;
}  // namespace os

namespace chat {

// The modifiers held for a key, as the window reads them.
inline constexpr int kKeyAlt = 0x0001;
inline constexpr int kKeyCtrl = 0x0002;

inline constexpr os::Millis kTypingQuietMs = 5000;
inline constexpr os::Millis kTypingResendMs = 2000;
inline constexpr os::Millis kShakeStepMs = 20;
inline constexpr int kShakeRounds = 10;

inline constexpr std::uint64_t kTypingStatusTimer = 1;
inline constexpr std::uint64_t kTypingResendTimer = 2;
inline constexpr std::uint64_t kShakeTimer = 3;

inline constexpr int kChatWidth = 588;
inline constexpr int kChatHeight = 482;

}  // namespace chat

class CDlgChat final : public core::ChatWindow {
  public:
    // `trees` (may be null) is where the participants are looked up; a JID found in no tree
    // is a temporary conversation with a contact named after the JID's node part.
    CDlgChat(core::ClientContext& context, contacts::ContactTrees* trees, std::string contactJid,
             chat::ChatMode mode);
    // An instant-message window without contact trees.
    CDlgChat(core::ClientContext& context, std::string contactJid);
    ~CDlgChat() override;

    // The window's doors to work other subsystems own; whoever makes the window plugs them
    // before Create.
    chat::ChatDoors& doors() { return doors_; }

    // Creates the window (hidden; the caller shows it) and initialises it. False when it could
    // not be made.
    bool Create();

    // ---- core::ChatWindow
    const std::string& ContactJid() const override { return contactJid_; }
    bool OnChatKeyDown(int key, int flags) override;
    void ShowQueuedMessages(std::vector<core::QueuedMessage> messages) override;
    void EndTransfers() override;

    // ---- Notifications, routed here on the UI thread
    void OnIncomingMessage(const core::QueuedMessage& message);
    // `state` "composing" or "active".
    void OnInputState(const std::string& state, const std::string& senderJid) override;
    void OnPeerPresence(const std::string& status) override;
    // The participants' names are read from the trees again; title and header follow.
    void OnContactUpdate() override;

    // ---- Participants
    chat::ChatMode mode() const { return mode_; }
    std::size_t ParticipantCount() const { return participants_.size(); }
    std::string ParticipantJid(std::size_t index) const { return participants_.at(index).jid; }
    // Adds a participant (after an invitation); false when already there.
    bool AddParticipant(const std::string& jid);

    // ---- Running calls and transfers (the components that run them keep these current)
    void SetFileTransferRunning(bool running) { fileTransferRunning_ = running; }
    void SetVideoChatRunning(bool running) { videoChatRunning_ = running; }
    void SetAudioChatRunning(bool running) { audioChatRunning_ = running; }

    // ---- File transfers (dlg_chat_transfer.cpp)
    // A routed file notification of this window's peer or of one of its transfers.
    void OnFileTransferEvent(std::uint32_t type, const platform::FileTransferData& data);
    // Files dropped on the window: sent as chosen ones are.
    void SendDroppedFiles(const std::vector<std::string>& paths);
    chat::ChatTransfers& transfers() const { return *transfers_; }

    // The view's picture map: a pasted picture's number to its file in the temp folder.
    chat::PictureMap& pictures() { return pictures_; }

    // ---- What tests and the automation read
    chat::CChatRichView& view() const { return *view_; }
    chat::CChatRichView& input() const { return *input_; }
    std::string StatusLine() const;
    // The queued messages the window was opened with, oldest first.
    const std::vector<core::QueuedMessage>& ShownMessages() const { return shownMessages_; }
    // Non-final shutdowns received (the session ended while the window stayed open).
    int NotFinalShutdowns() const { return notFinalShutdowns_; }
    // How many times the window started to shake.
    int WindowShakes() const { return windowShakes_; }
    // The common-phrase picker's window; null before "常用语" was first clicked.
    os::HWND PhrasePickerWindow() const;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    struct Participant {
        std::string jid;
        std::string displayName;
        // The contact as the window knows it, for when no tree lists it (any more).
        std::unique_ptr<contacts::CUser> own;
    };

    // Shows what the chat service reports in this window.
    class Feedback final : public chat::ChatFeedback {
      public:
        explicit Feedback(CDlgChat& window) : window_(window) {}
        void RedNotice(const std::string& text) override;
        void QueuedNotice(const std::string& text) override;
        void Tip(const std::string& text) override;
        void MessageBox(const std::string& text) override;
        void OwnMessage(const std::string& contents) override;
        void InputTaken() override;

      private:
        CDlgChat& window_;
    };

    // ---- Set-up (dlg_chat_init.cpp)
    void OnInitDialog();
    void MakeControls();
    // Places the controls for a window of this size (dlg_chat_layout.cpp).
    void LayOutControls(int width, int height);
    // Shows the transfers' progress in the panel (dlg_chat_transfer.cpp); lays the window
    // out again when the panel appears or goes.
    void RefreshTransferPanel();
    void ShowAddBuddyTip();
    void ShowRecentHistory();
    void RefreshTitleAndHeader();
    std::string SmsHintIntro() const;

    // ---- Participants
    Participant MakeParticipant(const std::string& jid) const;
    contacts::CUser* TreeUser(const std::string& jid) const;
    contacts::CUser& User(std::size_t index) const;
    bool InContactList(const contacts::CUser& peer) const;
    std::string MobileOf(std::size_t index) const;
    // The participants as the service sends to them, looked up now.
    std::vector<chat::Recipient> Recipients() const;
    std::vector<std::string> ParticipantJids() const;

    // ---- Sending (dlg_chat_send.cpp)
    void OnSendCommand();
    void ShowRefusal(const chat::Refusal& refusal);
    bool TimedSms() const;
    // The font header a message goes with: the MessageFont setting, else the input box's.
    std::string CurrentHeader() const;
    void FocusInput();
    // Empties the input box (no typing state), updates the counter and focuses the box.
    void ClearInput();
    void ApplyMessageFont();
    void SendTypingState(std::string_view state);

    // ---- Receiving and state (dlg_chat_receive.cpp)
    void OnShakeCommand();
    void StartWindowShake();
    void OnShakeTimer();
    void OnTypingStatusTimer();
    void OnTypingResendTimer();
    void OnInputChange();
    void UpdateCounter();
    void RebuildStatusLine();

    chat::TransferWindowFacts TransferFacts() const;

    // ---- Tool commands and closing (dlg_chat_commands.cpp)
    void OnCommand(int id);
    void OnSendSmsCommand();
    void OnInviteCommand();
    void OnFontCommand();
    void OnFaceCommand();
    void OnPhraseCommand();
    void OnLinkClicked(const std::string& text, const std::string& target);
    bool OnUserClose();
    // `modifiers`: kKeyAlt / kKeyCtrl.
    bool HandleKey(int key, int modifiers, bool fromInputBox);
    // The modifiers held for the key message being handled (its lParam; `sysKey` for
    // WM_SYSKEYDOWN).
    int HeldModifiers(os::LPARAM lParam, bool sysKey) const;

    chat::UserChatSettings& settings() const;
    chat::SmsQuota& quota() const;
    chat::ChatCommands& commands() const;
    chat::ShakeMemory& shakes() const;

    core::ClientContext& context_;
    contacts::ContactTrees* trees_;
    const std::string contactJid_;
    const chat::ChatMode mode_;
    chat::ChatDoors doors_;
    chat::SmsQuotaThroughDoor quotaThroughDoor_;
    chat::ChatService service_;
    Feedback feedback_{*this};

    std::vector<Participant> participants_;
    chat::CChatRichView* view_ = nullptr;
    chat::CChatRichView* input_ = nullptr;
    os::Label* statusLine_ = nullptr;
    os::Label* headerLine_ = nullptr;
    os::Label* smsHint_ = nullptr;
    std::vector<os::Label*> transferLines_;
    std::vector<os::ProgressBar*> transferBars_;
    os::Edit* signature_ = nullptr;
    os::CheckBox* timedSms_ = nullptr;
    os::Edit* sendTime_ = nullptr;
    os::Button* sendButton_ = nullptr;

    chat::PictureMap pictures_;
    std::vector<std::string> outgoingPictures_;
    std::string counterText_;
    std::string typingText_;
    os::Millis lastTypingNotice_ = 0;
    bool typingTimerRunning_ = false;
    bool programmaticChange_ = false;
    bool notified_ = false;
    std::string addBuddyTip_;
    bool showAddBuddyTip_ = false;
    bool nameReplaced_ = false;

    // The window shake in progress.
    os::Rect shakeOrigin_;
    int shakeStep_ = 0;
    int windowShakes_ = 0;
    std::minstd_rand shakeRandom_;

    // Made on the first "常用语"; its window is owned by this one.
    std::unique_ptr<chat::PhrasePicker> phrasePicker_;

    bool fileTransferRunning_ = false;
    std::unique_ptr<chat::ChatTransfers> transfers_;
    bool videoChatRunning_ = false;
    bool audioChatRunning_ = false;

    std::vector<core::QueuedMessage> shownMessages_;
    int notFinalShutdowns_ = 0;
    bool registered_ = false;
};
