#include "chat/sms_copy.h"

namespace chat {

std::string SmsJid(std::string_view mobile, std::string_view gatewayDomain) {
    std::string jid(mobile);
    jid += "@sms.";
    jid += gatewayDomain;
    return jid;
}

bool NeedsSmsCopy(const Recipient& recipient) {
    return recipient.wantsSmsCopies && recipient.offline && !recipient.mobile.empty();
}

}  // namespace chat
