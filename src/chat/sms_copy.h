#pragma once
// SMS addresses and the SMS-copy rule: a chat message to a contact who asked for copies, who
// is offline and has a mobile number, also goes to that number by SMS.

#include <string>
#include <string_view>

#include "chat/recipient.h"

namespace chat {

// mobile + "@sms." + the SMS gateway domain.
std::string SmsJid(std::string_view mobile, std::string_view gatewayDomain);

// Whether a chat message to `recipient` also goes as an SMS copy.
bool NeedsSmsCopy(const Recipient& recipient);

}  // namespace chat
