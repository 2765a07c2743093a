#pragma once
// Base64 (RFC 4648, standard alphabet) for picture bytes in vCards and similar payloads.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// With '=' padding and no line breaks.
std::string Base64Encode(std::string_view bytes);

// Blanks and line breaks anywhere are skipped (XML payloads wrap their Base64 text); padding
// may be present or left out. Nothing (no partial result) for any other character, a '='
// before the end, or a length that cannot be Base64 (one character left over).
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace platform
