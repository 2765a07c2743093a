#include "batch/sms_quota.h"

#include <cstdlib>

#include "os/text/cstring_ops.h"

namespace batch {
namespace {

std::uint16_t Part(std::string_view text) {
    return static_cast<std::uint16_t>(std::atoi(std::string(text).c_str()));
}

// The text from `from` up to `stop` (the rest when there is none); `from` moves past it.
std::string_view Upto(std::string_view text, std::size_t& from, char stop) {
    if (from > text.size()) return {};
    std::size_t end = text.find(stop, from);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view part = text.substr(from, end - from);
    from = end + 1;
    return part;
}

std::uint32_t TimedCount(std::string_view text) {
    return static_cast<std::uint32_t>(std::strtoul(std::string(text).c_str(), nullptr, 10));
}

}  // namespace

QuotaMoment ParseQuotaMoment(std::string_view text) {
    QuotaMoment moment;
    std::size_t from = 0;
    const std::size_t dash = text.find('-');
    if (dash != std::string_view::npos && dash > 2) {
        moment.year = Part(text.substr(0, dash));
        from = dash + 1;
    }
    moment.month = Part(Upto(text, from, '-'));
    moment.day = Part(Upto(text, from, ' '));
    moment.hour = Part(Upto(text, from, ':'));
    moment.minute = from <= text.size() ? Part(text.substr(from)) : 0;
    return moment;
}

void SmsQuota::OnQuotaAnswer(const platform::SmsQuotaData& answer) {
    kind_ = answer.quotaKind;
    remaining_ = answer.remaining;
    third_ = answer.third;
    known_ = true;
}

std::optional<std::string> SmsQuota::OnTimedAnswer(const platform::TimedSmsAnswerData& answer) {
    const std::string& first = answer.start;
    if (os::Find(first, "-16_1") >= 0) {
        if (os::Find(first, "-16_1001") >= 0) return "定时短信手机号格式错误！";
        if (os::Find(first, "-16_1002") >= 0) return "定时短信发送时间超过限制！";
        if (os::Find(first, "-16_1800") >= 0) return "发送定时短信出现错误！Code:1800";
        return std::nullopt;
    }
    start_ = ParseQuotaMoment(answer.start);
    end_ = ParseQuotaMoment(answer.end);
    timedRemaining_ = TimedCount(answer.remaining);
    return std::nullopt;
}

bool SmsQuota::CanSend(int n) const { return kind_ == 0 || remaining_ >= n; }

bool SmsQuota::CanSendTimed(int n) const {
    return timedRemaining_ == kUnlimitedTimedSms || static_cast<std::int32_t>(timedRemaining_) >= n;
}

void SmsQuota::Deduct(int n, bool timed) {
    if (timed) {
        if (timedRemaining_ != kUnlimitedTimedSms) timedRemaining_ -= static_cast<std::uint32_t>(n);
    } else {
        remaining_ -= n;
    }
}

std::string SmsQuota::QuotaText(bool timed) const {
    if (timed) {
        return os::Format("您还可发送定时短信条数 %d", static_cast<std::int32_t>(timedRemaining_));
    }
    switch (kind_) {
        case kQuotaPerDay:
            return os::Format("您今日还可发送短信次数 %d", remaining_);
        case kQuotaPerMonth:
            return os::Format("您本月还可发送短信次数 %d", remaining_);
        case kQuotaInTotal:
            return os::Format("您总还可发送短信次数 %d", remaining_);
        default:
            return "请输入短信内容。";
    }
}

bool SmsQuota::TimedAvailable() const {
    return start_.year >= kEarliestTimedWindowYear && CanSendTimed(1);
}

std::string SmsQuota::TimedRangeLabel() const {
    return os::Format("时间范围:%d年%d月%d日 %d:%d — %d年%d月%d日 %d:%d", start_.year, start_.month,
                      start_.day, start_.hour, start_.minute, end_.year, end_.month, end_.day,
                      end_.hour, end_.minute);
}

std::string PhoneSearchHint() { return "请输入手机号查询"; }

std::string ContactSearchHint(int searchLev) {
    std::string hint = "按姓名";
    if ((searchLev & 1) != 0) hint += "、手机";
    if ((searchLev & 2) != 0) hint += "、电话";
    return hint + "搜索通讯录和电话簿";
}

}  // namespace batch
