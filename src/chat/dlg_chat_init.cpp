// CDlgChat: controls, OnInitDialog, title and header, the add-contact tip and recent history.
#include <algorithm>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "chat/encoding/font_header.h"
#include "chat/encoding/input_encoder.h"
#include "chat/encoding/markers.h"
#include "config/client_config.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "os/controls/button.h"
#include "os/controls/check_box.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"
#include "os/controls/progress_bar.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"

namespace {

namespace id = chat::control;

// Adds a tool button; `shown` false keeps it out of sight (and out of reach).
void AddButton(os::Window& window, int controlId, const char* caption, bool shown = true) {
    os::Button* button = window.AddControl(std::make_unique<os::Button>(controlId, caption));
    button->SetVisible(shown);
}

}  // namespace

void CDlgChat::MakeControls() {
    const std::string tempDir = context_.folders.commonDir + "temp/";
    view_ = AddControl(std::make_unique<chat::CChatRichView>(
        id::kView, chat::ViewKind::ReadOnly, context_.clock, context_.folders.appDir, tempDir));
    input_ = AddControl(std::make_unique<chat::CChatRichView>(
        id::kInput, chat::ViewKind::Editable, context_.clock, context_.folders.appDir, tempDir));
    sendButton_ = AddControl(std::make_unique<os::Button>(id::kSend, "发送"));
    statusLine_ = AddControl(std::make_unique<os::Label>(id::kStatusLine));
    headerLine_ = AddControl(std::make_unique<os::Label>(id::kHeaderLine));
    smsHint_ = AddControl(std::make_unique<os::Label>(id::kSmsHint));
    signature_ = AddControl(std::make_unique<os::Edit>(id::kSignature));
    signature_->SetVisible(false);
    timedSms_ = AddControl(std::make_unique<os::CheckBox>(id::kTimedSms, "定时发送"));
    sendTime_ = AddControl(std::make_unique<os::Edit>(id::kSendTime));

    const bool sms = mode_ == chat::ChatMode::Sms;
    smsHint_->SetVisible(sms);
    timedSms_->SetVisible(sms);
    sendTime_->SetVisible(sms);
    if (sms) {
        AddButton(*this, id::kSmsHistory, "历史短信");
        AddButton(*this, id::kToBatch, "转群发");
        AddButton(*this, id::kPhrase, "常用语");
    } else {
        AddButton(*this, id::kSendSms, "发送短信");
        AddButton(*this, id::kSendFile, "发送文件");
        AddButton(*this, id::kAudioVideo, "语音视频");
        AddButton(*this, id::kInvite, "邀请");
        AddButton(*this, id::kFont, "字体");
        AddButton(*this, id::kFace, "表情");
        AddButton(*this, id::kPhrase, "常用语");
        AddButton(*this, id::kShake, "闪屏振动");
        AddButton(*this, id::kScreenCapture, "截屏", context_.config.HasClipScreen != 0);
        AddButton(*this, id::kHistory, "历史消息");
    }
    for (int row = 0; row < id::kTransferRows; ++row) {
        os::Label* line = AddControl(std::make_unique<os::Label>(id::kTransferLine + row));
        line->SetVisible(false);
        transferLines_.push_back(line);
        os::ProgressBar* bar =
            AddControl(std::make_unique<os::ProgressBar>(id::kTransferBar + row));
        bar->SetVisible(false);
        transferBars_.push_back(bar);
    }
    view_->SetLinkHandler([this](const std::string& text, const std::string& target) {
        OnLinkClicked(text, target);
    });
    // Pictures pasted or captured into the input box go into the picture map for sending.
    input_->SetPictureHandler([this](const std::string& name, std::uint32_t number) {
        pictures_[chat::PictureKey(number)] = name;
    });
}

void CDlgChat::OnInitDialog() {
    const config::ClientConfig& config = context_.config;
    const bool sms = mode_ == chat::ChatMode::Sms;
    view_->AttachTo(context_.windows, hwnd());
    input_->AttachTo(context_.windows, hwnd());
    transfers_->Attach(hwnd(), participants_.front().jid, participants_.front().displayName);
    transfers_->SetPanelListener([this] { RefreshTransferPanel(); });
    transfers_->SetOfflineNoticeSender([this](const std::string& body) {
        chat::Outgoing notice;
        notice.body = body;
        service_.Send(notice, Recipients(), feedback_);
    });
    // The receipt is a note between clients: neither shown nor stored.
    transfers_->pictures().SetReceiptSender([this](const std::string& body) {
        const std::string header = CurrentHeader();
        for (const std::string& jid : ParticipantJids()) {
            context_.session.SendChatMessage(jid, body, header);
        }
    });

    ApplyMessageFont();

    if (participants_.size() == 1) {
        const contacts::CUser& peer = User(0);
        if (peer.IsOffline() && !peer.OfflineNote().empty()) {
            view_->SetSel(0, 0);
            view_->ReplaceSel(peer.OfflineNote() + "\r\n");
        }
        if (config.ShowAddBuddyTipInChatWnd != 0 && !InContactList(peer)) {
            std::string listName = "电话簿";
            if (!sms) {
                listName = "联系人列表";
                if (trees_ != nullptr) {
                    for (contacts::CIMTree* tree : trees_->trees()) {
                        if (tree->topKind == contacts::kRosterTop && !tree->treeName().empty()) {
                            listName = tree->treeName();
                            break;
                        }
                    }
                }
            }
            addBuddyTip_ = os::Format("对方不在您的%s中，点击这里添加此人", listName.c_str());
            showAddBuddyTip_ = true;
        }
    }

    RefreshTitleAndHeader();
    UpdateCounter();

    const bool smsPeer = context_.session.GetUserType(contactJid_) == platform::kUserTypeSms || sms;
    if (config.HasSmsReply != 0 && smsPeer) {
        signature_->SetVisible(true);
        if (signature_->Text().empty()) {
            programmaticChange_ = true;
            signature_->SetText("[" + context_.session.GetCurrentUserNickName() + "]");
            programmaticChange_ = false;
        }
        UpdateCounter();
    }

    if (sms) {
        std::string hint = SmsHintIntro();
        if (config.HasSmsLimit != 0) hint += os::Format(" ( %s )", quota().QuotaText().c_str());
        smsHint_->SetText(hint);
    }

    if (config.HasRecentChatContentShow != 0 && !sms) ShowRecentHistory();

    context_.session.QuerySmsLimitInfo(1);
    SetFocus(chat::control::kInput);
    if (showAddBuddyTip_) ShowAddBuddyTip();
}

std::string CDlgChat::SmsHintIntro() const {
    const char* key = context_.config.SendKey == 1 ? "Ctrl + Enter 键" : "Enter 键";
    return std::string(" 请在下方输入短信内容，点击发送按钮或使用 ") + key + "直接发送短信";
}

bool CDlgChat::InContactList(const contacts::CUser& peer) const {
    if (trees_ == nullptr) return false;
    const bool sms = mode_ == chat::ChatMode::Sms;
    const std::string mobile = sms ? MobileOf(0) : std::string();
    for (contacts::CIMTree* tree : trees_->trees()) {
        if (sms) {
            if (tree->topKind != contacts::kPhoneBookTop || mobile.empty()) continue;
            bool found = false;
            tree->ForEachItemData([&](contacts::CIMTreeItemData& item) {
                if (const contacts::CUser* user = item.user()) {
                    if (user->MatchesPhone(mobile)) found = true;
                }
            });
            if (found) return true;
        } else if (tree->FindUser(peer.GetJid(), "", platform::JidMatch::Loose) != nullptr) {
            return true;
        }
    }
    return false;
}

void CDlgChat::ShowAddBuddyTip() {
    const std::string link = "点击这里";
    view_->SetSel(-1, -1);
    const std::size_t startByte = view_->GetTextByteLength();
    view_->AppendEncoded(std::string(chat::kGreyHeader) + addBuddyTip_ + "\r\n");
    const int offset = os::Find(addBuddyTip_, link);
    if (offset >= 0) {
        const int start = view_->PositionFromByteOffset(startByte + offset);
        const int end = view_->PositionFromByteOffset(startByte + offset + link.size());
        view_->MarkLink(start, end, "");
    }
    showAddBuddyTip_ = false;
}

void CDlgChat::RefreshTitleAndHeader() {
    const Participant& peer = participants_.front();
    SetWindowText(peer.displayName);
    if (mode_ == chat::ChatMode::Sms) {
        headerLine_->SetText(os::Format("此消息将作为短信发送至：%s", MobileOf(0).c_str()));
    } else {
        const contacts::CUser& user = User(0);
        headerLine_->SetText(nameReplaced_ || user.displayText.empty() ? peer.displayName
                                                                       : user.displayText);
    }
}

void CDlgChat::ShowRecentHistory() {
    const Participant& peer = participants_.front();
    if (const std::optional<std::vector<chat::RecentMessage>> messages =
            service_.RecentMessages(peer.jid, peer.displayName)) {
        view_->AppendRecentHistory(*messages);
    }
}
