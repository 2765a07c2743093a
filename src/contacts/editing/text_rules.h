#pragma once
// The two text rules every contact and group dialog applies, and the e-mail rule.

#include <string_view>

namespace contacts::editing {

// False for an empty text; true when the text starts with '+', '-', '*', '/' or '=', or holds
// any of '&', '<', '>', '"', '\''.
bool HasIllegalChars(std::string_view text);
// At least four characters, every one a decimal digit.
bool IsValidMobile(std::string_view text);
// An empty address passes; a non-empty one must hold "@".
bool IsValidEmail(std::string_view text);

}  // namespace contacts::editing
