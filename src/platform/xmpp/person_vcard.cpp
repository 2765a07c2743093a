#include "platform/xmpp/person_vcard.h"

namespace platform::xmpp {

SlotData PersonVcardSlots(const VcardIn& vcard, const std::string& jid,
                          const std::string& subscription) {
    SlotData data;
    data.slots.resize(kPersonVcardSlots);
    data.slots[0] = jid;
    data.slots[1] = vcard.nickname.empty() ? vcard.fullName : vcard.nickname;
    data.slots[2] = vcard.mobile;
    data.slots[3] = vcard.workPhone;
    data.slots[4] = vcard.email;
    data.slots[5] = vcard.unit;
    data.slots[8] = vcard.title;
    data.slots[10] = vcard.role;
    data.slots[31] = vcard.extension;
    data.slots[33] = subscription;
    return data;
}

}  // namespace platform::xmpp
