#pragma once
// What the configuration code takes from its surroundings: the shared client directory and
// the login-server table (SharedUtil), and the log.

namespace os {
class Log;
}
namespace platform {
class SharedUtil;
}

namespace config {

struct ConfigContext {
    platform::SharedUtil& sharedUtil;
    os::Log& log;
};

}  // namespace config
