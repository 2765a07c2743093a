#include "config_fixture.h"

#include "os/sys/file_ops.h"

namespace config_test {

ConfigTest::ConfigTest() : sharedUtil_(std::make_unique<platform::SharedUtil>(dir_.str())) {}

void ConfigTest::WriteSharedFile(std::string_view name, std::string_view gbkText) {
    ASSERT_TRUE(os::WriteFileAtomically(SharedDir() + std::string(name), gbkText)) << name;
}

std::string ConfigTest::ReadSharedFile(std::string_view name) const {
    std::string bytes;
    os::ReadFile(SharedDir() + std::string(name), bytes);
    return bytes;
}

}  // namespace config_test
