#pragma once
// A person's vCard as the session engine hands it over (type 39): numbered text slots, slot n
// holding field n of the person record. The two integer slots (16 and 32) arrive as decimal
// text.

#include <optional>

#include "platform/session/notify_record.h"
#include "platform/store/contact_person_info.h"

namespace contacts {

// The person record of the slots; nothing when slot 0 (the JID) is missing or empty. Slots
// beyond the record are ignored, missing ones stay empty, and an integer slot that is no
// number reads as 0.
std::optional<CContactPersonInfo> PersonVcardFromSlots(const platform::SlotData& data);

}  // namespace contacts
