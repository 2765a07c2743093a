#include "contacts/transfer/contact_field_rules.h"

#include <algorithm>

namespace contacts {

bool HasIllegalChars(std::string_view text) {
    if (text.empty()) return false;
    if (std::string_view("+-*/=").find(text.front()) != std::string_view::npos) return true;
    // None of these is a GBK trail byte, so a byte search cannot match inside a character.
    return text.find_first_of("&<>\"'") != std::string_view::npos;
}

bool IsValidMobile(std::string_view text) {
    return text.size() >= 4 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace contacts
