#pragma once
// A file name that came from outside (a peer's offer, a picture marker, an offline-file
// notice) is a name, never a path. SafeLeafName turns such a text into one leaf that can only
// name an entry inside the folder it is joined to, or refuses it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace os {

// The most bytes a leaf name takes in the file system's (UTF-8) form.
inline constexpr std::size_t kMaxLeafBytes = 255;

// The safe GBK leaf for a name from outside, or nothing when no name is left:
// - only what follows the last '/' or '\\' counts (a 0x5C trail byte is no separator), so
//   "..\\..\\.bashrc" is ".bashrc" and "/etc/x" is "x";
// - control characters (NUL included), ':', '*', '?', '"', '<', '>', '|', bytes that form no
//   GBK character and characters without a Unicode form become '_';
// - leading blanks and trailing blanks and dots go (what Windows peers do), and "", "." and
//   ".." are refused;
// - device names of Windows ("CON", "nul.txt", "COM1", "LPT9.log") get a leading '_';
// - a name longer than kMaxLeafBytes (UTF-8) is cut between characters, keeping a short
//   extension.
std::optional<std::string> SafeLeafName(std::string_view name);

}  // namespace os
