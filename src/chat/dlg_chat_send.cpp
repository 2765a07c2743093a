// CDlgChat: the send command, SendText, SendIMMessage and SendSMS.
#include <cstdio>
#include <ctime>

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
#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"
#include "platform/services/notice_pop.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace {

constexpr int kEarliestTimedSmsYear = 2010;

struct SendTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "YYYY-MM-DD HH:MM[:SS]"; nothing for another text.
std::optional<SendTime> ParseSendTime(const std::string& text) {
    SendTime t;
    char rest = 0;
    const int read = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &t.year, &t.month, &t.day,
                                 &t.hour, &t.minute, &t.second, &rest);
    if (read != 5 && read != 6) return std::nullopt;
    return t;
}

// Seconds since 1970 of a local time, or nothing for a date that does not exist.
std::optional<std::int64_t> ToUnixTime(const SendTime& t) {
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 || t.hour > 23 ||
        t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59) {
        return std::nullopt;
    }
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&tm);
    if (seconds == static_cast<std::time_t>(-1) || tm.tm_mday != t.day) return std::nullopt;
    return static_cast<std::int64_t>(seconds);
}

}  // namespace

bool CDlgChat::TimedSms() const {
    return mode_ == chat::ChatMode::Sms && timedSms_ != nullptr && timedSms_->checked();
}

// The chosen send time as the gateway takes it; `valid` false when it is no time in the
// future.
std::optional<std::string> CDlgChat::ChosenSendTime(bool& valid) const {
    valid = false;
    const std::optional<SendTime> t = ParseSendTime(os::Trim(sendTime_->Text()));
    if (!t) return std::nullopt;
    const std::optional<std::int64_t> when = ToUnixTime(*t);
    valid = when.has_value() && *when > context_.clock.UnixTime();
    return os::Format("%04d-%02d-%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour,
                      t->minute, t->second);
}

void CDlgChat::FocusInput() { SetFocus(chat::control::kInput); }

void CDlgChat::ApplyMessageFont() {
    const std::string& font = settings().messageFont;
    if (font.empty()) return;
    input_->SetSel(0, -1);
    chat::ApplyFontHeader(*input_, font);
    input_->SetSel(-1, -1);
}

void CDlgChat::SendTypingState(std::string_view state) {
    const std::string own = OwnJid();
    for (const Participant& participant : participants_) {
        context_.session.SendInputStateMessage(own, participant.jid, state);
    }
}

void CDlgChat::OnSendCommand() {
    if (!sendButton_->enabled()) return;
    const bool sms = mode_ == chat::ChatMode::Sms;
    const config::ClientConfig& config = context_.config;

    if (TimedSms()) {
        const std::optional<SendTime> t = ParseSendTime(os::Trim(sendTime_->Text()));
        if (!t || t->year < kEarliestTimedSmsYear || !quota().CanSendTimedSms()) {
            context_.noticePop.ShowTip("不能发送定时短信或未开通该功能。");
            return;
        }
    }

    outgoingPictures_.clear();
    const chat::EncodedInput encoded = chat::EncodeInputText(*input_, pictures_, outgoingPictures_);
    const std::string& body = encoded.body;
    if (body.empty()) {
        context_.noticePop.ShowTip("请输入消息内容");
        FocusInput();
        return;
    }

    if (sms) {
        if (encoded.pictureCount > 0) {
            view_->AddRedNotice("目前不支持短信中发送图片");
            input_->SetSel(0, -1);
            FocusInput();
            return;
        }
        if (body.size() > chat::kMaxSmsBytes) {
            context_.prompter.MessageBox(
                os::Format("短信太长(不能超过 %d 个英文字符,一个汉字算2个英文字符)",
                           static_cast<int>(chat::kMaxSmsBytes)),
                os::kDefaultCaption, os::MB_OK, hwnd());
            return;
        }
    } else {
        if (encoded.pictureCount > 0 && User(0).IsOffline()) {
            view_->AddRedNotice("对方不在线，您不能发送图片");
            return;
        }
        if (body.size() > chat::kMaxMessageBytes) {
            context_.prompter.MessageBox(os::Format("消息太长(不能超过 %d 个字符)",
                                                    static_cast<int>(chat::kMaxMessageBytes)),
                                         os::kDefaultCaption, os::MB_OK, hwnd());
            return;
        }
    }

    if (sms && config.HasSmsLimit != 0) {
        if (std::optional<std::string> refusal =
                quota().RefuseSend(body, static_cast<int>(participants_.size()))) {
            context_.prompter.MessageBox(*refusal, os::kDefaultCaption, os::MB_OK, hwnd());
            return;
        }
    }

    SendText(body);

    bool pictureFailed = false;
    for (const std::string& name : outgoingPictures_) {
        const std::string path = context_.folders.commonDir + "temp/" + name;
        const int dot = os::ReverseFind(name, '.');
        const std::string key = dot > 0 ? os::Left(name, dot) : name;
        if (context_.session.SendFile(participants_.front().jid, path, key, 0) ==
            platform::kSendFileFailed) {
            pictureFailed = true;
        }
    }
    if (pictureFailed) view_->AddRedNotice("文件传输服务异常,发送截屏文件失败!");

    if (!TimedSms()) {
        programmaticChange_ = true;
        input_->Clear();
        programmaticChange_ = false;
        UpdateCounter();
        FocusInput();
        ApplyMessageFont();
    }

    if (!sms) {
        SendTypingState("active");
    } else if (config.HasSmsLimit != 0) {
        context_.session.QuerySmsLimitInfo(TimedFlag());
    }
}

void CDlgChat::SendText(const std::string& body) {
    const std::string header =
        settings().messageFont.empty() ? chat::MakeFontHeader(*input_) : settings().messageFont;

    if (chat::IsShake(body)) {
        if (ShakeRefusedByInterval()) return;
        lastSentShake_ = context_.clock.Now();
        view_->QueueNotice(os::Format(
            "%s\r\n%s %s\r\n%s", std::string(chat::kSeparatorLine).c_str(), NowText().c_str(),
            "您发送了一个闪屏振动", std::string(chat::kSeparatorLine).c_str()));
    } else if (!TimedSms()) {
        view_->AppendMessage(context_.session.GetCurrentUserNickName(), "", header + body);
    }

    if (mode_ == chat::ChatMode::Sms) {
        SendSMS(body);
        return;
    }
    if (IsGatewayJid(participants_.front().jid) && body.size() > chat::kMsnPartBytes) {
        // Never half a character at the cut.
        const std::string first = os::LeftBytes(body, chat::kMsnPartBytes);
        SendIMMessage(first, header);
        SendIMMessage(body.substr(first.size()), header);
        return;
    }
    SendIMMessage(body, header);
}

bool CDlgChat::StoreSent(const std::string& to, const std::string& contents, int type) {
    const std::string account = context_.session.GetCurrentUserLimitName();
    const std::string folder = context_.folders.commonDir + account + "/";
    CClientDB db(account.c_str(), folder.c_str());
    const std::string own = OwnJid();
    const std::string time = NowText();
    if (db.AddMsg(own.c_str(), to.c_str(), time.c_str(), contents.c_str(), "", "", "", type, false,
                  "", "", CClientDB::kStateUnhandled, nullptr)) {
        return true;
    }
    context_.prompter.MessageBox(db.GetErrorInfo(), os::kDefaultCaption, os::MB_OK, hwnd());
    return false;
}

void CDlgChat::SendIMMessage(const std::string& body, const std::string& header) {
    const int nickFlag = context_.config.SmsHasNickName;
    for (std::size_t i = 0; i < participants_.size(); ++i) {
        const Participant& participant = participants_[i];
        if (context_.session.SendChatMessage(participant.jid, body, header) == 0) {
            view_->AddRedNotice(os::Format("网络繁忙，无法将消息 %s 发送给 %s", body.c_str(),
                                           participant.displayName.c_str()));
        }

        const contacts::CUser& user = User(i);
        const std::string mobile = MobileOf(i);
        if (user.extra4 == "1" && user.IsOffline() && !mobile.empty()) {
            const std::string smsJid = SmsJidOf(mobile);
            if (context_.session.SendTelMessage(smsJid, body, nickFlag, TimedFlag()) == 0) {
                view_->AddRedNotice(os::Format("网络繁忙，无法将短信 %s 发送给 %s", body.c_str(),
                                               participant.displayName.c_str()));
            }
            StoreSent(smsJid, body, CClientDB::kTypeSms);
        }

        if (IsGatewayJid(participant.jid)) {
            // A gateway contact is stored under its own address: no resource, "\40" is '@'.
            std::string address = participant.jid;
            const int slash = os::Find(address, '/');
            if (slash > 0) address = os::Left(address, slash);
            os::Replace(address, "\\40", "@");
            StoreSent(address, body, CClientDB::kTypeChat);
        } else {
            StoreSent(participant.jid, header + body, CClientDB::kTypeChat);
        }
    }
}

void CDlgChat::SendSMS(const std::string& text) {
    const int nickFlag = context_.config.SmsHasNickName;
    if (!TimedSms()) {
        for (std::size_t i = 0; i < participants_.size(); ++i) {
            const Participant& participant = participants_[i];
            const std::string mobile = MobileOf(i);
            if (mobile.empty()) {
                view_->AddRedNotice("该用户手机信息为空，不能发送短信!");
                continue;
            }
            const std::string smsJid = SmsJidOf(mobile);
            if (context_.session.SendTelMessage(smsJid, text, nickFlag, TimedFlag()) == 0) {
                view_->AddRedNotice(os::Format("网络繁忙，无法将短信 %s 发送给 %s", text.c_str(),
                                               participant.displayName.c_str()));
            } else {
                context_.noticePop.ShowTip("信息已提交！");
            }
            StoreSent(smsJid, text, CClientDB::kTypeSms);
        }
        return;
    }

    bool valid = false;
    const std::optional<std::string> sendTime = ChosenSendTime(valid);
    if (!sendTime || !valid) {
        context_.prompter.MessageBox("时间范围错误，请从新选择！", os::kDefaultCaption, os::MB_OK,
                                     hwnd());
        return;
    }
    const Participant& peer = participants_.front();
    const std::string mobile = MobileOf(0);
    if (mobile.empty()) {
        view_->AddRedNotice("该用户手机信息为空，不能发送短信!");
        return;
    }
    const std::string smsJid = SmsJidOf(mobile);
    if (context_.session.SendTimerSMS(smsJid, text, *sendTime, nickFlag, TimedFlag()) == 0) {
        view_->AddRedNotice(os::Format("网络繁忙，无法将定时短信 %s 发送给 %s", text.c_str(),
                                       peer.displayName.c_str()));
    } else {
        const std::string header =
            settings().messageFont.empty() ? chat::MakeFontHeader(*input_) : settings().messageFont;
        view_->AppendMessage(context_.session.GetCurrentUserNickName(), "", header + text);
        context_.noticePop.ShowTip("信息已提交！");
        programmaticChange_ = true;
        input_->Clear();
        programmaticChange_ = false;
        UpdateCounter();
        FocusInput();
    }
    StoreSent(smsJid, text, CClientDB::kTypeSms);
}
