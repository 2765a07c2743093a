// CDlgChat: tool commands, links, keys and closing.
#include <algorithm>

#include "chat/chat_controls.h"
#include "chat/display/link_actions.h"
#include "chat/dlg_chat.h"
#include "chat/dlg_face_picker.h"
#include "chat/encoding/face_table.h"
#include "chat/encoding/font_header.h"
#include "config/client_config.h"
#include "contacts/contact_user.h"
#include "core/doors.h"
#include "core/doors/history_service.h"
#include "core/doors/web_service.h"
#include "core/window_manager.h"
#include "os/prompt/prompter.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"

namespace {

namespace id = chat::control;

constexpr int kSmallestFontPoints = 8;
constexpr int kLargestFontPoints = 16;

}  // namespace

void CDlgChat::OnCommand(int controlId) {
    switch (controlId) {
        case id::kSend:
            OnSendCommand();
            break;
        case id::kShake:
            OnShakeCommand();
            break;
        case id::kSendSms:
            OnSendSmsCommand();
            break;
        case id::kInvite:
            OnInviteCommand();
            break;
        case id::kFont:
            OnFontCommand();
            break;
        case id::kFace:
            OnFaceCommand();
            break;
        case id::kPhrase:
            OnPhraseCommand();
            break;
        case id::kHistory:
        case id::kSmsHistory:
            context_.doors().history->Open(participants_.front().jid);
            break;
        case id::kToBatch: {
            std::vector<std::string> unused;
            commands().MoveToBatchComposer(chat::EncodeInputText(*input_, pictures_, unused).body);
            break;
        }
        case id::kScreenCapture:
            commands().StartScreenCapture();
            break;
        case id::kSendFile:
            transfers_->SendChosenFile(TransferFacts());
            break;
        case id::kAudioVideo:
            commands().OpenAudioVideo(participants_.front().jid);
            break;
        default:
            break;
    }
}

void CDlgChat::OnSendSmsCommand() {
    if (TreeUser(participants_.front().jid) == nullptr && MobileOf(0).empty()) {
        context_.prompter.MessageBox("找不到该用户信息，这可能是一次临时会话！",
                                     os::kDefaultCaption, os::MB_OK, hwnd());
        return;
    }
    const std::string mobile = MobileOf(0);
    if (mobile.empty()) {
        context_.prompter.MessageBox("该用户手机信息为空，不能发送短信!", os::kDefaultCaption,
                                     os::MB_OK, hwnd());
        return;
    }
    commands().OpenSmsComposer(mobile);
}

void CDlgChat::OnInviteCommand() {
    const std::optional<std::vector<chat::ChatCommands::PickedContact>> picked =
        commands().PickContacts("添加参与者", hwnd());
    if (!picked) return;
    std::vector<std::string> jids;
    for (const chat::ChatCommands::PickedContact& contact : *picked) {
        if (contact.presence == "offline") {
            const std::string name = contact.name.empty() ? contact.jid : contact.name;
            view_->AddRedNotice(os::Format("%s 不在线，无法接受邀请。", name.c_str()));
            continue;
        }
        jids.push_back(contact.jid);
    }
    if (jids.empty()) return;
    const std::string& peer = participants_.front().jid;
    const bool peerListed = std::any_of(jids.begin(), jids.end(), [&](const std::string& jid) {
        return platform::Jid::Equal(jid, peer, platform::JidMatch::Loose, nullptr);
    });
    if (!peerListed) jids.insert(jids.begin(), peer);
    commands().StartConference(jids);
}

void CDlgChat::OnFontCommand() {
    input_->SetSel(0, -1);
    const os::CharFormat current = input_->GetSelectionCharFormat();
    os::FontRequest request;
    request.owner = hwnd();
    request.initial.faceName = current.faceName;
    request.initial.height = current.height;
    request.initial.bold = current.Has(os::char_effect::kBold);
    request.initial.italic = current.Has(os::char_effect::kItalic);
    request.initial.underline = current.Has(os::char_effect::kUnderline);
    request.initial.strikeOut = current.Has(os::char_effect::kStrikeOut);
    request.initial.color = current.color;
    std::optional<os::FontChoice> chosen = context_.prompter.ChooseFont(request);
    if (!chosen) {
        input_->SetSel(-1, -1);
        return;
    }
    // The dialog offers 8 to 16 points only.
    const int points =
        std::clamp(chosen->height / os::kTwipsPerPoint, kSmallestFontPoints, kLargestFontPoints);
    os::CharFormat format;
    format.mask = os::char_mask::kAll & ~os::char_mask::kLink;
    format.faceName = chosen->faceName;
    format.height = points * os::kTwipsPerPoint;
    format.effects = (chosen->bold ? os::char_effect::kBold : 0) |
                     (chosen->italic ? os::char_effect::kItalic : 0) |
                     (chosen->underline ? os::char_effect::kUnderline : 0) |
                     (chosen->strikeOut ? os::char_effect::kStrikeOut : 0);
    format.color = chosen->color;
    format.charSet = current.charSet;
    format.pitchAndFamily = current.pitchAndFamily;
    input_->SetSel(0, -1);
    input_->SetSelectionCharFormat(format);
    // The font becomes the user's: every chat window uses it, and the next start too.
    settings().SetMessageFont(chat::MakeFontHeader(*input_));
    input_->SetSel(-1, -1);
    input_->SetSelectionCharFormat(format);
    FocusInput();
}

void CDlgChat::OnFaceCommand() {
    chat::CDlgFacePicker picker(system(), context_.prompter);
    if (!picker.Make(hwnd())) return;
    if (context_.prompter.DoModal(picker) != os::IDOK) return;
    const std::optional<int> face = picker.ChosenFace();
    if (!face) return;
    os::RichObject object;
    object.kind = os::RichObjectKind::Face;
    object.userValue = static_cast<std::uint32_t>(*face);
    object.name = chat::FaceImagePath(context_.folders.appDir, *face);
    input_->InsertObject(object);
    FocusInput();
}

void CDlgChat::OnPhraseCommand() {
    if (!phrasePicker_) {
        phrasePicker_ = std::make_unique<chat::PhrasePicker>(context_.windows,
                                                             [this](const std::string& phrase) {
                                                                 input_->ReplaceSel(phrase);
                                                                 FocusInput();
                                                             });
    }
    phrasePicker_->Show(hwnd(), GetWindowRect(), settings().CommonPhrases());
}

os::HWND CDlgChat::PhrasePickerWindow() const {
    return phrasePicker_ && phrasePicker_->IsWindow() ? phrasePicker_->hwnd() : os::HWND{};
}

void CDlgChat::OnLinkClicked(const std::string& text, const std::string& target) {
    if (transfers_->OnLink(target, TransferFacts())) return;
    switch (chat::ClassifyLink(text)) {
        case chat::LinkAction::AddContact:
            commands().AddContact(participants_.front().jid);
            return;
        case chat::LinkAction::SendSms:
            OnSendSmsCommand();
            return;
        case chat::LinkAction::WebPage:
            break;
    }
    // The login query goes only to the deployment's own web services; a link to anywhere
    // else (a peer may write any) is opened as it is, without the user's name and password.
    const std::string url = target.empty() ? text : target;
    platform::SessionCore& session = context_.session;
    if (chat::LeadsToOwnHost(url, chat::OwnWebHosts(context_.config, session.GetHostName()))) {
        const chat::WebLinkPost post = chat::MakeWebLinkPost(url, session.GetCurrentUserLimitName(),
                                                             session.GetCurrentUserPassword());
        context_.doors().web->OpenFormInBrowser(post.url, post.body);
    } else {
        context_.doors().web->OpenFormInBrowser(url, "");
    }
}

// ---- Keys ----

int CDlgChat::HeldModifiers(os::LPARAM lParam, bool sysKey) const {
    const os::WindowSystem& windows = context_.windows;
    int modifiers = 0;
    if (sysKey || (lParam & os::KEY_ALT_CONTEXT) != 0 || windows.IsKeyHeld(os::VK_MENU)) {
        modifiers |= chat::kKeyAlt;
    }
    if (windows.IsKeyHeld(os::VK_CONTROL)) modifiers |= chat::kKeyCtrl;
    return modifiers;
}

bool CDlgChat::OnChatKeyDown(int key, int flags) {
    // Only the send keys are taken here; a line break is the input box's own business.
    const int modifiers = HeldModifiers(flags, false);
    const bool ctrl = (modifiers & chat::kKeyCtrl) != 0;
    const bool alt = (modifiers & chat::kKeyAlt) != 0;
    const bool inInput = GetFocus() == chat::control::kInput;
    const bool sendKey =
        (alt && (key == 'S' || key == 's')) || (inInput && key == static_cast<int>(os::VK_RETURN) &&
                                                (context_.config.SendKey == 1 ? ctrl : !ctrl));
    if (!sendKey) return false;
    OnSendCommand();
    return true;
}

bool CDlgChat::HandleKey(int key, int modifiers, bool fromInputBox) {
    const bool ctrl = (modifiers & chat::kKeyCtrl) != 0;
    const bool alt = (modifiers & chat::kKeyAlt) != 0;
    if (alt && (key == 'S' || key == 's')) {
        OnSendCommand();
        return true;
    }
    if (!fromInputBox || key != static_cast<int>(os::VK_RETURN)) return false;
    if (context_.config.SendKey == 1 ? ctrl : !ctrl) {
        OnSendCommand();
    } else {
        input_->TypeText("\r\n");
    }
    return true;
}

// ---- Closing ----

bool CDlgChat::OnUserClose() {
    // The manager takes a window out of its registry before it orders it closed.
    bool orderedByManager = false;
    if (registered_ && context_.hasWindowManager()) {
        const std::vector<core::ChatWindow*> open = context_.windowManager().ChatWindows();
        orderedByManager = std::find(open.begin(), open.end(), this) == open.end();
    }
    if (!orderedByManager) {
        struct Question {
            bool running;
            const char* text;
        };
        const Question questions[] = {
            {fileTransferRunning_ || transfers_->Count() > 0,
             "关闭窗口将终止文件传输。\r\n\r\n是否关闭窗口？"},
            {videoChatRunning_, "关闭窗口将终止视频聊天。\r\n\r\n是否关闭窗口？"},
            {audioChatRunning_, "关闭窗口将终止音频聊天。\r\n\r\n是否关闭窗口？"},
        };
        for (const Question& question : questions) {
            if (!question.running) continue;
            if (context_.prompter.MessageBox(question.text, "提示", os::MB_YESNO, hwnd()) !=
                os::IDYES) {
                return false;
            }
        }
    }
    if (registered_ && context_.hasWindowManager()) {
        context_.windowManager().RemoveChatWindow(*this);
    }
    registered_ = false;
    commands().EndAudioVideo(participants_.front().jid);
    DestroyWindow();
    return true;
}
