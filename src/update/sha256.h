#pragma once
// The SHA-256 of some bytes as 64 lower-case hex digits (OpenSSL's digest).

#include <string>
#include <string_view>

namespace update {

std::string Sha256Hex(std::string_view bytes);

}  // namespace update
