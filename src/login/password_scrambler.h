#pragma once
// Keeps a saved password out of clear text in the login history files and on the command
// line. This is an obfuscation, not encryption: the key is built into the program, so anyone
// holding the program can undo it. It only stops a password being read at a glance.
//
// Form: 8 hex digits of a random per-password salt, then 2 hex digits per password byte, each
// byte XOR-ed with a key stream drawn from the program key and the salt (SplitMix64). The
// same password scrambles differently each time; the output is ASCII [0-9A-F] only, so it
// never holds a field separator of the history files.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace login {

// Scrambles with a fresh random salt. An empty password stays empty.
std::string ScramblePassword(std::string_view password);
// The same with a chosen salt (tests).
std::string ScramblePassword(std::string_view password, std::uint32_t salt);
// The clear password, or nothing when `scrambled` is not in the form above. Empty gives empty.
std::optional<std::string> UnscramblePassword(std::string_view scrambled);

}  // namespace login
