#pragma once
// Starting the client with the desktop session: an XDG autostart entry, the Linux counterpart
// of the Windows "Run" registry value. The entry is "qorv_" + ProductId + ".desktop" in
// $XDG_CONFIG_HOME/autostart/ (default ~/.config/autostart/) and starts the running host
// program. ProductId comes from section "Window Setting" of the shared directory's own
// "config.ini" (default "DEMO").

#include <optional>
#include <string>

#include "config/config_context.h"

namespace config {

enum class AutoStart { Disabled, Enabled };

// The file an older client left behind; removed whenever the entry is set or cleared.
inline constexpr const char* kOldAutostartEntry = "QORV_DEMO.desktop";

// The autostart folder as a GBK path ending in '/', or nothing when neither
// $XDG_CONFIG_HOME (absolute) nor $HOME gives one the system can name.
std::optional<std::string> AutostartFolder();

// "qorv_" + ProductId + ".desktop", ProductId as the shared directory's "config.ini" says.
std::string AutostartEntryName(const ConfigContext& context);

// Writes (Enabled) or removes (Disabled) this product's entry, after removing the old one.
// True when the entry is as asked afterwards; on failure (no usable folder, a ProductId that
// is no file name, a write error) it logs why and changes nothing more.
bool SetAutoRun(AutoStart enable, const ConfigContext& context);

}  // namespace config
