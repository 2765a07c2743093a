#pragma once
// The freedesktop.org autostart entry that starts the client with the desktop session: the
// Linux counterpart of a program listed under the Windows "Run" registry key.

#include <string>
#include <string_view>

namespace config {

// One argument of an Exec line, quoted so that the desktop session hands it over unchanged:
// in double quotes with '"', '`', '$' and '\' escaped, '%' doubled (field codes), and then
// escaped once more as a desktop-file string value (so a '\' in the path becomes four).
std::string QuoteExecArgument(std::string_view argument);

// The whole entry (UTF-8, '\n' line ends) for a program at `executable` (a file-system path,
// UTF-8 on Linux).
std::string AutostartEntry(std::string_view executable);

}  // namespace config
