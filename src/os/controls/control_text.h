#pragma once
// Text rules the controls share, on top of os/text's GBK character functions.

#include <string>
#include <string_view>

namespace os::control_text {

// `text` with every lead byte that starts no character (no trail byte after it) replaced by
// '?'. Text stored this way splits into characters the same way wherever it is put, so a
// control's character positions never change meaning when text is inserted next to them.
std::string ReplaceLoneLeadBytes(std::string_view text);

// Whether `text` begins with `prefix`, ASCII letters without case, never matching half of a
// double-byte character.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace os::control_text
