#pragma once
// A vCard-temp answer as the client's person vCard record (type 39, slots by number): 0 the
// JID, 1 the name (nickname, else the full name), 2 mobile, 3 office telephone, 4 e-mail,
// 5 work unit, 8 title, 10 duty, 31 our extension XML, 33 the roster subscription.

#include <string>

#include "platform/session/notify_record.h"
#include "platform/xmpp/stanza_reader.h"

namespace platform::xmpp {

// Slots 0 to 38, the rest empty.
inline constexpr std::size_t kPersonVcardSlots = 39;

SlotData PersonVcardSlots(const VcardIn& vcard, const std::string& jid,
                          const std::string& subscription);

}  // namespace platform::xmpp
