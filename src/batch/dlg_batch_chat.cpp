#include "batch/dlg_batch_chat.h"

#include <cstdio>

#include "batch/batch_controls.h"
#include "batch/sms_quota.h"
#include "chat/dlg_contact_picker.h"
#include "chat/send_rules.h"
#include "config/client_config.h"
#include "core/window_messages.h"
#include "os/controls/button.h"
#include "os/controls/check_box.h"
#include "os/controls/edit.h"
#include "os/controls/label.h"
#include "os/prompt/prompter.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"

namespace id = batch::control;

CDlgBatchChat::CDlgBatchChat(core::ClientContext& context, batch::SmsQuota& quota,
                             const contacts::ContactTrees* trees, int mode)
    : os::Window(context.windows),
      context_(context),
      quota_(quota),
      trees_(trees),
      mode_(mode),
      sender_(context, quota) {}

bool CDlgBatchChat::Create() {
    context_.windows.RegisterClass(core::kBatchChatWindowClass);
    CreateParams params;
    params.className = std::string(core::kBatchChatWindowClass);
    params.title = batch::IsSmsMode(mode_) ? "群发短信" : "发送消息";
    params.rect = os::Rect::FromSize(0, 0, batch::kComposerWidth, batch::kComposerHeight);
    if (!os::Window::Create(params)) return false;
    if (batch::IsSmsMode(mode_)) {
        signature_->SetText(context_.session.GetCurrentUserNickName());
        if (mode_ == batch::kComposerTimedSms) timed_->SetCheck(true);
        context_.session.QuerySmsLimitInfo(1);
    }
    UpdateCount();
    UpdateCounter();
    UpdateTimedRange();
    LayOutControls(params.rect.Width(), params.rect.Height());
    SetFocus(id::kRecipients);
    return true;
}

void CDlgBatchChat::MakeControls() {
    const bool sms = batch::IsSmsMode(mode_);
    AddControl(std::make_unique<os::Label>(
        id::kRecipientLabel,
        sms ? " 短信接收者列表( 用分号;隔开 )" : " 即时消息接收者列表( 用分号;隔开 )"));
    recipients_ = AddControl(std::make_unique<os::Edit>(id::kRecipients));
    count_ = AddControl(std::make_unique<os::Label>(id::kRecipientCount));
    AddControl(std::make_unique<os::Button>(id::kPick, "选择接收者..."));
    AddControl(std::make_unique<os::Button>(id::kClear, "清除"));
    AddControl(std::make_unique<os::Label>(
        id::kContentLabel, sms ? " 请在下方输入短信内容" : " 请在下方输入消息内容"));
    contents_ = AddControl(std::make_unique<os::Edit>(id::kContents));
    counter_ = AddControl(std::make_unique<os::Label>(id::kCounter));
    os::Label* signatureLabel =
        AddControl(std::make_unique<os::Label>(id::kSignatureLabel, "签名："));
    signature_ = AddControl(std::make_unique<os::Edit>(id::kSignature));
    receipt_ = AddControl(std::make_unique<os::CheckBox>(id::kReceipt, "短信到达对方手机通知我"));
    timed_ = AddControl(std::make_unique<os::CheckBox>(id::kTimed, "定时短信"));
    timedDate_ = AddControl(std::make_unique<os::Edit>(id::kTimedDate));
    timedHour_ = AddControl(std::make_unique<os::Edit>(id::kTimedHour));
    os::Label* hourLabel = AddControl(std::make_unique<os::Label>(id::kHourLabel, "时"));
    timedMinute_ = AddControl(std::make_unique<os::Edit>(id::kTimedMinute));
    os::Label* minuteLabel = AddControl(std::make_unique<os::Label>(id::kMinuteLabel, "分"));
    timeRange_ = AddControl(std::make_unique<os::Label>(id::kTimeRange));
    AddControl(std::make_unique<os::Button>(id::kSend, sms ? "发送短信" : "发送消息"));
    AddControl(std::make_unique<os::Button>(id::kClose, "关闭"));
    for (os::Control* control : std::initializer_list<os::Control*>{
             counter_, signatureLabel, signature_, receipt_, timed_, timedDate_, timedHour_,
             hourLabel, timedMinute_, minuteLabel, timeRange_}) {
        control->SetVisible(sms);
    }
}

os::LRESULT CDlgBatchChat::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    switch (message) {
        case os::WM_CREATE:
            MakeControls();
            return 0;
        case os::WM_SIZE:
            LayOutControls(os::LOWORD(static_cast<os::WPARAM>(lParam)),
                           os::HIWORD(static_cast<os::WPARAM>(lParam)));
            return 0;
        case os::WM_CLOSE:
            DestroyWindow();
            return 0;
        case os::WM_COMMAND:
            OnCommand(static_cast<int>(wParam & 0xFFFF), static_cast<int>((wParam >> 16) & 0xFFFF));
            return 0;
        default:
            return os::Window::OnMessage(message, wParam, lParam);
    }
}

void CDlgBatchChat::OnCommand(int controlId, int code) {
    if (code == os::notify::kEditChange) {
        if (controlId == id::kContents || controlId == id::kSignature) UpdateCounter();
        if (controlId == id::kRecipients) UpdateCount();
        return;
    }
    if (code != os::notify::kClicked) return;
    switch (controlId) {
        case id::kSend:
            Send();
            break;
        case id::kPick:
            Pick();
            break;
        case id::kClear:
            recipients_->SetText({});
            pickerText_.clear();
            UpdateCount();
            break;
        case id::kTimed:
            if (timed_->checked()) context_.session.QuerySmsLimitInfo(1);
            UpdateTimedRange();
            UpdateCounter();
            break;
        case id::kClose:
            DestroyWindow();
            break;
        default:
            break;
    }
}

void CDlgBatchChat::Fill(const std::string& recipients, const std::string& contents) {
    recipients_->SetText(recipients);
    contents_->SetText(contents);
    UpdateCount();
    UpdateCounter();
}

void CDlgBatchChat::AddPicked(const std::string& name, const std::string& jid) {
    std::string text = os::TrimRight(recipients_->Text());
    if (!text.empty() && !text.ends_with(';')) text += ';';
    recipients_->SetText(text + "<" + name + ">;");
    pickerText_ += name + "(" + jid + ")";
    UpdateCount();
}

void CDlgBatchChat::Pick() {
    const char* title = batch::IsSmsMode(mode_) ? "选择群发短信的接收者" : "选择发送消息的接收者";
    const auto picked = chat::PickContactsFromTrees(context_, trees_, title, hwnd());
    if (!picked) return;
    const int limit = context_.config.MaxGroupSMSCount;
    for (const chat::ChatCommands::PickedContact& contact : *picked) {
        const int already = static_cast<int>(
            batch::ParseRecipients(recipients_->Text(), pickerText_, context_.session.GetHostName())
                .jids.size());
        if (already + 1 > limit) {
            context_.prompter.MessageBox(
                os::Format("接收信息人数超过每次允许的最大限制(%d人)。\r\n请减少接收人数。", limit),
                os::kDefaultCaption, os::MB_OK, hwnd());
            break;
        }
        AddPicked(contact.name, contact.jid);
    }
    UpdateCount();
}

void CDlgBatchChat::UpdateCount() {
    const auto parsed =
        batch::ParseRecipients(recipients_->Text(), pickerText_, context_.session.GetHostName());
    count_->SetText(os::Format("共 %d 人", static_cast<int>(parsed.jids.size())));
}

std::string CDlgBatchChat::CounterText() const { return counter_->Text(); }

void CDlgBatchChat::UpdateCounter() {
    if (!batch::IsSmsMode(mode_) || cutting_) return;
    const std::size_t limit = chat::kMaxSmsBytes;
    const std::size_t signature = signature_->Text().size();
    std::string text = contents_->Text();
    if (text.size() + signature > limit) {
        cutting_ = true;
        text = os::LeftBytes(text, signature >= limit ? 0 : limit - signature);
        contents_->SetText(text);
        contents_->SetSel(static_cast<int>(text.size()), static_cast<int>(text.size()));
        cutting_ = false;
    }
    const int left = static_cast<int>(limit) - static_cast<int>(text.size() + signature);
    std::string counter = os::Format("还可输入 %d 字符", left);
    if (context_.config.HasSmsLimit != 0 && quota_.Known()) {
        counter += " " + quota_.QuotaText(timed_->checked());
    }
    counter_->SetText(counter);
}

void CDlgBatchChat::UpdateTimedRange() {
    if (!batch::IsSmsMode(mode_)) return;
    const bool offered = timed_->checked() && quota_.TimedAvailable();
    timeRange_->SetText(offered ? quota_.TimedRangeLabel() : batch::kNoTimedSmsText);
    if (offered && timedDate_->Text().empty()) {
        const batch::QuotaMoment& start = quota_.windowStart();
        timedDate_->SetText(os::Format("%04d-%02d-%02d", start.year, start.month, start.day));
        timedHour_->SetText(os::Format("%02d", start.hour));
        timedMinute_->SetText(os::Format("%02d", start.minute));
    }
}

void CDlgBatchChat::OnQuotaChanged() {
    UpdateCounter();
    UpdateTimedRange();
}

std::optional<std::string> CDlgBatchChat::TimedSendTime() {
    int year = 0, month = 0, day = 0;
    char rest = 0;
    const std::string date = os::Trim(timedDate_->Text());
    const bool dateRead = std::sscanf(date.c_str(), "%d-%d-%d%c", &year, &month, &day, &rest) == 3;
    const int hour = std::atoi(timedHour_->Text().c_str());
    const int minute = std::atoi(timedMinute_->Text().c_str());
    if (quota_.windowStart().year < batch::kEarliestTimedWindowYear || !dateRead || month < 1 ||
        month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 || minute > 59) {
        context_.prompter.MessageBox("时间范围错误，请从新选择！", os::kDefaultCaption, os::MB_OK,
                                     hwnd());
        return std::nullopt;
    }
    return os::Format("%d-%02d-%02d %02d:%02d", year, month, day, hour, minute);
}

void CDlgBatchChat::Show(const batch::BatchNotice& notice) {
    if (notice.shown == batch::BatchNotice::Shown::Tip) {
        context_.noticePop.ShowTip(notice.text);
    } else {
        context_.prompter.MessageBox(notice.text, notice.caption, os::MB_OK | notice.icon, hwnd());
    }
    if (notice.focusContents) SetFocus(id::kContents);
}

void CDlgBatchChat::Send() {
    batch::BatchDraft draft;
    draft.mode = mode_;
    draft.recipientText = recipients_->Text();
    draft.pickerText = pickerText_;
    draft.contents = contents_->Text();
    draft.receipt = receipt_->checked();
    draft.timed = batch::IsSmsMode(mode_) && timed_->checked();
    if (draft.timed) {
        // The timed window decides first; then the time the user chose.
        if (!quota_.TimedAvailable()) {
            context_.noticePop.ShowTip(batch::kNoTimedSmsText);
            return;
        }
        const std::optional<std::string> when = TimedSendTime();
        if (!when) return;
        draft.sendTime = *when;
    }
    const batch::BatchOutcome outcome = sender_.Send(draft);
    for (const batch::BatchNotice& notice : outcome.notices) Show(notice);
    const bool sent = !outcome.chatRecipients.empty() || !outcome.smsRecipients.empty();
    // A refused batch keeps its text, so the user can send it again.
    if (sent && outcome.smsTaken) {
        contents_->SetText({});
        SetFocus(id::kContents);
    }
    UpdateCounter();
}
