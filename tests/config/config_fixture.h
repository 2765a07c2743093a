#pragma once
// A fresh world for configuration tests: a temporary shared client directory with its own
// login-server table, a capturing log, and helpers to write the INI files.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "config/config_context.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "platform/services/shared_util.h"
#include "support/temp_dir.h"

namespace config_test {

class ConfigTest : public ::testing::Test {
  protected:
    ConfigTest();

    // The shared directory as the system names it (GBK, ending in '/').
    std::string SharedDir() const { return dir_.str(); }
    config::ConfigContext Context() { return {*sharedUtil_, *log_}; }

    // Writes `gbkText` into the file `name` of the shared directory (call it under
    // ASSERT_NO_FATAL_FAILURE).
    void WriteSharedFile(std::string_view name, std::string_view gbkText);
    std::string ReadSharedFile(std::string_view name) const;

    testing_support::TempDir dir_;
    os::ManualClock clock_;
    std::unique_ptr<os::Log> log_ = os::Log::Capturing(clock_);
    std::unique_ptr<platform::SharedUtil> sharedUtil_;
};

}  // namespace config_test
