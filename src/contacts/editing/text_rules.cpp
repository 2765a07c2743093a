#include "contacts/editing/text_rules.h"

#include <algorithm>

namespace contacts::editing {

bool HasIllegalChars(std::string_view text) {
    if (text.empty()) return false;
    if (std::string_view("+-*/=").find(text.front()) != std::string_view::npos) return true;
    // Every byte tested is ASCII, which is never a GBK trail byte of these values.
    return text.find_first_of("&<>\"'") != std::string_view::npos;
}

bool IsValidMobile(std::string_view text) {
    return text.size() >= 4 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsValidEmail(std::string_view text) {
    return text.empty() || text.find('@') != std::string_view::npos;
}

}  // namespace contacts::editing
