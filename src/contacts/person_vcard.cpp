#include "contacts/person_vcard.h"

#include <algorithm>
#include <charconv>

namespace contacts {

std::optional<CContactPersonInfo> PersonVcardFromSlots(const platform::SlotData& data) {
    if (data.slots.empty() || data.slots[0].empty()) return std::nullopt;
    CContactPersonInfo vcard;
    const int count =
        std::min<int>(static_cast<int>(data.slots.size()), CContactPersonInfo::kSlotCount);
    for (int slot = 0; slot < count; ++slot) {
        const std::string& text = data.slots[static_cast<std::size_t>(slot)];
        if (std::string* field = vcard.TextSlot(slot)) {
            *field = text;
        } else if (std::int32_t* number = vcard.IntSlot(slot)) {
            std::int32_t value = 0;
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + text.size(), value);
            *number = error == std::errc() && end == text.data() + text.size() ? value : 0;
        }
    }
    return vcard;
}

}  // namespace contacts
