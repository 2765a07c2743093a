#include "config/client_config.h"

#include "config/config_catalogue.h"

namespace config {

ClientConfig::ClientConfig() { ApplyDefaults(*this); }

}  // namespace config
