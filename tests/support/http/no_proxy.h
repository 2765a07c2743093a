#pragma once
// libcurl honours the proxy variables; a test talks to its own server only. Holding a NoProxy
// clears them for its lifetime.

#include <optional>

#include "support/scoped_env.h"

namespace testing_support {

struct NoProxy {
    ScopedEnv vars[8] = {{"http_proxy", std::nullopt},  {"HTTP_PROXY", std::nullopt},
                         {"https_proxy", std::nullopt}, {"HTTPS_PROXY", std::nullopt},
                         {"all_proxy", std::nullopt},   {"ALL_PROXY", std::nullopt},
                         {"no_proxy", std::nullopt},    {"NO_PROXY", std::nullopt}};
};

}  // namespace testing_support
