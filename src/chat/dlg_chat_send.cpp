// CDlgChat: the send command. The rules live in chat::ChatService; the window gathers the
// input, asks the service and shows what it answers.
#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "chat/encoding/font_header.h"
#include "chat/encoding/markers.h"
#include "config/client_config.h"
#include "contacts/contact_user.h"
#include "os/controls/button.h"
#include "os/controls/check_box.h"
#include "os/controls/edit.h"
#include "os/prompt/prompter.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"

// ---- What the service reports, shown in this window ----

void CDlgChat::Feedback::RedNotice(const std::string& text) { window_.view_->AddRedNotice(text); }

void CDlgChat::Feedback::QueuedNotice(const std::string& text) { window_.view_->QueueNotice(text); }

void CDlgChat::Feedback::Tip(const std::string& text) { window_.context_.noticePop.ShowTip(text); }

void CDlgChat::Feedback::MessageBox(const std::string& text) {
    window_.context_.prompter.MessageBox(text, os::kDefaultCaption, os::MB_OK, window_.hwnd());
}

void CDlgChat::Feedback::OwnMessage(const std::string& contents) {
    window_.view_->AppendMessage(window_.context_.session.GetCurrentUserNickName(), "", contents);
}

void CDlgChat::Feedback::InputTaken() { window_.ClearInput(); }

void CDlgChat::ShowRefusal(const chat::Refusal& refusal) {
    switch (refusal.shown) {
        case chat::Refusal::Shown::Tip:
            feedback_.Tip(refusal.text);
            break;
        case chat::Refusal::Shown::RedNotice:
            feedback_.RedNotice(refusal.text);
            break;
        case chat::Refusal::Shown::QueuedNotice:
            feedback_.QueuedNotice(refusal.text);
            break;
        case chat::Refusal::Shown::MessageBox:
            feedback_.MessageBox(refusal.text);
            break;
    }
    if (refusal.input == chat::Refusal::Input::SelectedAndFocused) input_->SetSel(0, -1);
    if (refusal.input != chat::Refusal::Input::Unchanged) FocusInput();
}

// ---- Input ----

bool CDlgChat::TimedSms() const {
    return mode_ == chat::ChatMode::Sms && timedSms_ != nullptr && timedSms_->checked();
}

std::string CDlgChat::CurrentHeader() const {
    const std::string font = settings().MessageFont();
    return font.empty() ? chat::MakeFontHeader(*input_) : font;
}

void CDlgChat::FocusInput() { SetFocus(chat::control::kInput); }

void CDlgChat::ClearInput() {
    programmaticChange_ = true;
    input_->Clear();
    programmaticChange_ = false;
    UpdateCounter();
    FocusInput();
}

void CDlgChat::ApplyMessageFont() {
    const std::string font = settings().MessageFont();
    if (font.empty()) return;
    input_->SetSel(0, -1);
    chat::ApplyFontHeader(*input_, font);
    input_->SetSel(-1, -1);
}

void CDlgChat::SendTypingState(std::string_view state) {
    service_.SendTypingState(ParticipantJids(), state);
}

// ---- The send command ----

void CDlgChat::OnSendCommand() {
    if (!sendButton_->enabled()) return;

    outgoingPictures_.clear();
    const chat::EncodedInput encoded = chat::EncodeInputText(*input_, pictures_, outgoingPictures_);
    chat::Outgoing message;
    message.body = encoded.body;
    message.header = CurrentHeader();
    message.timed = TimedSms();
    if (message.timed) message.sendTime = sendTime_->Text();
    const std::vector<chat::Recipient> recipients = Recipients();

    if (std::optional<chat::Refusal> refusal =
            service_.CheckSend(message, encoded.pictureCount, recipients)) {
        ShowRefusal(*refusal);
        return;
    }

    service_.Send(message, recipients, feedback_);
    service_.SendPictures(participants_.front().jid, outgoingPictures_, feedback_);

    if (!message.timed) {
        ClearInput();
        ApplyMessageFont();
    }
    service_.AfterSend(message.timed, ParticipantJids());
}
