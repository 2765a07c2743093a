#pragma once
// The field rules the contact dialogs and the contact import share.

#include <string_view>

namespace contacts {

// False for an empty text; true when it begins with '+', '-', '*', '/' or '=', or holds any
// of '&', '<', '>', '"', '\''.
bool HasIllegalChars(std::string_view text);
// At least four characters, every one a decimal digit.
bool IsValidMobile(std::string_view text);

}  // namespace contacts
