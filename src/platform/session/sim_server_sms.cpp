// The simulated server's SMS gateway (short messages to "<mobile>@sms.<host>") and its
// failure switches for tests.

#include <cctype>

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

}  // namespace

int SimServer::SendSms(SimSessionCore* session, std::string_view to, std::string_view text,
                       std::string_view sendTime, int nickFlag, int timedFlag) {
    std::lock_guard lock(mutex_);
    const SimAccount* sender = impl_->LoggedInAccount(session);
    if (sender == nullptr || smsFailing_ || !IsSmsAddressOf(to, hostName_)) return 0;
    smsSent_.push_back(SimSms{sender->jid, Jid(to).Bare(), std::string(text), std::string(sendTime),
                              nickFlag, timedFlag});
    return 1;
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
