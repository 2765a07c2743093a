#include "platform/store/contact_person_info.h"

#include <utility>

std::string* CContactPersonInfo::TextSlot(int slot) {
    return const_cast<std::string*>(std::as_const(*this).TextSlot(slot));
}

const std::string* CContactPersonInfo::TextSlot(int slot) const {
    if (slot >= 17 && slot <= 29) return &vcardTexts[static_cast<std::size_t>(slot - 17)];
    switch (slot) {
        case 0:
            return &jid;
        case 1:
            return &name;
        case 2:
            return &mobile;
        case 3:
            return &workPhone;
        case 4:
            return &email;
        case 5:
            return &unit;
        case 6:
            return &industry;
        case 7:
            return &reserved7;
        case 8:
            return &title;
        case 9:
            return &reserved9;
        case 10:
            return &duty;
        case 11:
            return &reserved11;
        case 12:
            return &shortNumber;
        case 13:
            return &fax;
        case 14:
            return &extension;
        case 15:
            return &staffNumber;
        case 30:
            return &extra4;
        case 31:
            return &extensionXml;
        case 33:
            return &subscription;
        case 34:
            return &phone3;
        case 35:
            return &phone2;
        case 36:
            return &phone4;
        case 37:
            return &extra1;
        case 38:
            return &extra2;
        default:
            return nullptr;
    }
}

std::int32_t* CContactPersonInfo::IntSlot(int slot) {
    return const_cast<std::int32_t*>(std::as_const(*this).IntSlot(slot));
}

const std::int32_t* CContactPersonInfo::IntSlot(int slot) const {
    if (slot == kVideoCapableSlot) return &videoCapable;
    if (slot == kFlagsSlot) return &flags;
    return nullptr;
}
