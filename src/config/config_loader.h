#pragma once
// Loading and saving the deployment configuration of the selected login server: the file
// GetCommanDir() + the configuration file name of entry nServerSel of the login-server table.

#include <string>

#include "config/client_config.h"
#include "config/config_context.h"

namespace config {

class ConfigLoader {
  public:
    explicit ConfigLoader(ConfigContext context);

    // The configuration file of the selected login server (GBK path).
    std::string ConfigFile() const;

    // Reads every catalogue key, then the tool-bar positions and the local network
    // addresses, and sets the two sound files. A missing file or key gives the default, an
    // integer that does not start with a number 0. Returns 1.
    int LoadConfig(ClientConfig& config) const;

    // Writes back the keys the settings dialog can change, and only those, into the file in
    // one atomic replace; the rest of the file stays as it was. False (and a log line) when a
    // value cannot be stored (a line break in it: it is left out, the others are written) or
    // the file cannot be written (nothing is). The file is written only here, on the user-
    // interface thread.
    bool SaveConfig(const ClientConfig& config) const;

  private:
    ConfigContext context_;
};

}  // namespace config
