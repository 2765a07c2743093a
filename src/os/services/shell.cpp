#include "os/services/shell.h"

#include <strings.h>

namespace os {

ShellVerb ParseShellVerb(const std::string& verb) {
    if (verb.empty() || strcasecmp(verb.c_str(), "open") == 0) return ShellVerb::Open;
    if (strcasecmp(verb.c_str(), "runas") == 0) return ShellVerb::RunAs;
    return ShellVerb::Unknown;
}

}  // namespace os
