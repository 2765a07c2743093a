#pragma once
// What the deployment configuration must hold for every key, written out by hand from the
// key tables, independently of the loader's own catalogue: section, key, default, and how to
// read the field from a ClientConfig.

#include <string>
#include <variant>
#include <vector>

#include "config/client_config.h"

namespace config_test {

using Value = std::variant<int, std::string>;

struct ExpectedKey {
    const char* section;
    const char* key;
    Value defaultValue;
    Value (*read)(const config::ClientConfig&);
};

const std::vector<ExpectedKey>& ExpectedCatalogue();

std::string ToText(const Value& value);

}  // namespace config_test
