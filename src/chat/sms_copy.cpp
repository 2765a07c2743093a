#include "chat/sms_copy.h"

#include "platform/jid/jid.h"

namespace chat {

std::string SmsJid(std::string_view mobile, std::string_view gatewayDomain) {
    return platform::Jid::Sms(mobile, gatewayDomain).text();
}

bool NeedsSmsCopy(const Recipient& recipient) {
    return recipient.wantsSmsCopies && recipient.offline && !recipient.mobile.empty();
}

}  // namespace chat
