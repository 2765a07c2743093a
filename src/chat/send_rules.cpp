#include "chat/send_rules.h"

#include <cstdio>
#include <ctime>

#include "chat/chat_doors.h"
#include "config/client_config.h"
#include "os/text/cstring_ops.h"

namespace chat {
namespace {

Refusal Refuse(Refusal::Shown shown, std::string text,
               Refusal::Input input = Refusal::Input::Unchanged) {
    return Refusal{shown, std::move(text), input};
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

std::optional<SendTime> ParseSendTime(std::string_view text) {
    const std::string trimmed = os::Trim(text);
    SendTime t;
    char rest = 0;
    const int read = std::sscanf(trimmed.c_str(), "%d-%d-%d %d:%d:%d%c", &t.year, &t.month, &t.day,
                                 &t.hour, &t.minute, &t.second, &rest);
    if (read != 5 && read != 6) return std::nullopt;
    return t;
}

std::optional<std::string> FutureSendTime(std::string_view text, std::int64_t nowUnixTime) {
    const std::optional<SendTime> t = ParseSendTime(text);
    if (!t) return std::nullopt;
    const std::optional<std::int64_t> when = ToUnixTime(*t);
    if (!when || *when <= nowUnixTime) return std::nullopt;
    return os::Format("%04d-%02d-%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour,
                      t->minute, t->second);
}

std::optional<Refusal> SendRules::Check(const Draft& draft) const {
    using Shown = Refusal::Shown;
    const bool sms = mode_ == ChatMode::Sms;

    if (sms && draft.timed) {
        const std::optional<SendTime> t = ParseSendTime(draft.sendTime);
        if (!t || t->year < kEarliestTimedSmsYear || !quota_.CanSendTimedSms()) {
            return Refuse(Shown::Tip, "不能发送定时短信或未开通该功能。");
        }
    }

    if (draft.body.empty()) return Refuse(Shown::Tip, "请输入消息内容", Refusal::Input::Focused);

    if (sms) {
        if (draft.pictureCount > 0) {
            return Refuse(Shown::RedNotice, "目前不支持短信中发送图片",
                          Refusal::Input::SelectedAndFocused);
        }
        if (draft.body.size() > kMaxSmsBytes) {
            return Refuse(Shown::MessageBox,
                          os::Format("短信太长(不能超过 %d 个英文字符,一个汉字算2个英文字符)",
                                     static_cast<int>(kMaxSmsBytes)));
        }
    } else {
        if (draft.pictureCount > 0 && draft.peerOffline) {
            return Refuse(Shown::RedNotice, "对方不在线，您不能发送图片");
        }
        if (draft.body.size() > kMaxMessageBytes) {
            return Refuse(Shown::MessageBox, os::Format("消息太长(不能超过 %d 个字符)",
                                                        static_cast<int>(kMaxMessageBytes)));
        }
    }

    if (sms && config_.HasSmsLimit != 0) {
        if (std::optional<std::string> refusal = quota_.RefuseSend(draft.body, draft.recipients)) {
            return Refuse(Shown::MessageBox, std::move(*refusal));
        }
    }
    return std::nullopt;
}

}  // namespace chat
