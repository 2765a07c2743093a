// The simulated server's SMS gateway (short messages to "<mobile>@sms.<host>"), the users'
// quotas and timed windows, and its failure switches for tests.

#include <cctype>
#include <cstdio>
#include <optional>

#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/session/sim_world.h"

namespace platform {
namespace {

// "<digits>@sms.<host>" of this server (ASCII case ignored in the domain).
bool IsSmsAddressOf(std::string_view to, std::string_view host) {
    const Jid jid(to);
    const std::string number = jid.LocalPart();
    if (number.empty()) return false;
    for (std::size_t i = 0; i < number.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(number[i])) && !(i == 0 && number[i] == '+')) {
            return false;
        }
    }
    // Without '@' the domain is empty and matches no host.
    return os::EqualsNoCase(jid.Domain(), "sms." + std::string(host));
}

// "YYYY-MM-DD HH:MM[:SS]" as one comparable number (minutes), or -1.
long long MinuteOf(std::string_view text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    if (std::sscanf(std::string(text).c_str(), "%d-%d-%d %d:%d", &y, &mo, &d, &h, &mi) != 5) {
        return -1;
    }
    return ((((static_cast<long long>(y) * 13 + mo) * 32 + d) * 24 + h) * 60) + mi;
}

// Whether the quota lets `count` more immediate SMS go.
bool AllowsImmediate(const SimSmsQuota& quota, int count) {
    const bool limited = quota.kind >= 1 && quota.kind <= 3;
    return !limited || quota.remaining >= count;
}

// The numbers of a ';'-separated list of SMS addresses of `host`; nothing when an entry is
// no such address or there is none.
std::optional<std::vector<std::string>> SmsNumbers(std::string_view list, std::string_view host) {
    std::vector<std::string> numbers;
    std::size_t from = 0;
    while (from <= list.size()) {
        std::size_t end = list.find(';', from);
        if (end == std::string_view::npos) end = list.size();
        const std::string_view entry = list.substr(from, end - from);
        from = end + 1;
        if (entry.empty()) continue;
        if (!IsSmsAddressOf(entry, host)) return std::nullopt;
        numbers.push_back(Jid(entry).LocalPart());
    }
    if (numbers.empty()) return std::nullopt;
    return numbers;
}

}  // namespace

int SimServer::SendSms(SimSessionCore* session, std::string_view to, std::string_view text,
                       std::string_view sendTime, int nickFlag, int timedFlag) {
    std::lock_guard lock(mutex_);
    const SimAccount* sender = impl_->LoggedInAccount(session);
    if (sender == nullptr || smsFailing_) return 0;
    const auto numbers = SmsNumbers(to, hostName_);
    if (!numbers) return 0;
    const int count = static_cast<int>(numbers->size());
    // A user the gateway keeps no allowance for is not limited by it.
    const auto found = smsQuotas_.find(Jid(sender->jid).StoreKey());
    if (found != smsQuotas_.end()) {
        SimSmsQuota& quota = found->second;
        if (sendTime.empty()) {
            if (!AllowsImmediate(quota, count)) return 0;
            if (quota.kind >= 1 && quota.kind <= 3) quota.remaining -= count;
        } else {
            const bool unlimited = quota.timedRemaining == kSimUnlimitedTimedSms;
            if (quota.windowStart.empty() ||
                (!unlimited && quota.timedRemaining < static_cast<std::uint32_t>(count))) {
                return 0;
            }
            const long long when = MinuteOf(sendTime);
            if (when < MinuteOf(quota.windowStart) || when > MinuteOf(quota.windowEnd)) {
                // Taken, then refused by the gateway with its code.
                session->Deliver(MakeNotify(notify_type::kTimedSmsAnswer,
                                            TimedSmsAnswerData{"-16_1002", {}, {}}));
                return 1;
            }
            if (!unlimited) quota.timedRemaining -= static_cast<std::uint32_t>(count);
        }
    }
    for (const std::string& number : *numbers) {
        smsSent_.push_back(SimSms{sender->jid, number + "@sms." + hostName_, std::string(text),
                                  std::string(sendTime), nickFlag, timedFlag});
    }
    return 1;
}

int SimServer::BatchSendSms(SimSessionCore* session, std::string_view list, std::string_view text,
                            int nickFlag, int receiptFlag) {
    return SendSms(session, list, text, {}, nickFlag, receiptFlag);
}

int SimServer::QuerySmsLimit(SimSessionCore* session, int timed) {
    std::lock_guard lock(mutex_);
    const SimAccount* user = impl_->LoggedInAccount(session);
    if (user == nullptr) return 0;
    const auto found = smsQuotas_.find(Jid(user->jid).StoreKey());
    const SimSmsQuota quota = found == smsQuotas_.end() ? SimSmsQuota{} : found->second;
    if (timed == 0) {
        session->Deliver(MakeNotify(notify_type::kSmsQuota,
                                    SmsQuotaData{quota.kind, quota.remaining, quota.third}));
    } else if (!quota.timedErrorCode.empty()) {
        session->Deliver(MakeNotify(notify_type::kTimedSmsAnswer,
                                    TimedSmsAnswerData{quota.timedErrorCode, {}, {}}));
    } else {
        session->Deliver(
            MakeNotify(notify_type::kTimedSmsAnswer,
                       TimedSmsAnswerData{
                           quota.windowStart, quota.windowEnd,
                           std::to_string(quota.windowStart.empty() ? 0 : quota.timedRemaining)}));
    }
    return 1;
}

void SimServer::SetSmsQuota(std::string_view jid, SimSmsQuota quota) {
    std::lock_guard lock(mutex_);
    smsQuotas_[Jid(jid).StoreKey()] = std::move(quota);
}

SimSmsQuota SimServer::SmsQuotaOf(std::string_view jid) const {
    std::lock_guard lock(mutex_);
    const auto found = smsQuotas_.find(Jid(jid).StoreKey());
    return found == smsQuotas_.end() ? SimSmsQuota{} : found->second;
}

std::vector<SimSms> SimServer::SmsSent() const {
    std::lock_guard lock(mutex_);
    return smsSent_;
}

void SimServer::SetSmsGatewayFailing(bool failing) {
    std::lock_guard lock(mutex_);
    smsFailing_ = failing;
}

void SimServer::RefuseChatTo(std::string_view jid) {
    std::lock_guard lock(mutex_);
    refusedChatKey_ = jid.empty() ? std::string() : Jid(jid).StoreKey();
}

}  // namespace platform
