// Starting with the desktop session through an XDG autostart entry.

#include "config/auto_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "config_fixture.h"
#include "os/sys/file_ops.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace config_test {
namespace {

using config::AutoStart;
using config::SetAutoRun;

using testing_support::ScopedEnv;

class AutoRunTest : public ConfigTest {
  protected:
    std::string Autostart() const { return home_.str() + "autostart/"; }
    bool Exists(const std::string& name) const { return os::FileExists(Autostart() + name); }
    std::string Read(const std::string& name) const {
        std::string bytes;
        os::ReadFile(Autostart() + name, bytes);
        return bytes;
    }
    void PutOldEntry() {
        ASSERT_TRUE(os::CreateDirectories(Autostart()));
        ASSERT_TRUE(
            os::WriteFileAtomically(Autostart() + "QORV_DEMO.desktop", "[Desktop Entry]\n"));
    }

    testing_support::TempDir home_;
    ScopedEnv configHome_{"XDG_CONFIG_HOME", home_.path().string()};
};

TEST_F(AutoRunTest, EnablingWritesAnEntryStartingThisProgram) {
    ASSERT_NO_FATAL_FAILURE(
        WriteSharedFile("config.ini", "[Window Setting]\r\nProductId=ACME\r\n"));
    ASSERT_TRUE(SetAutoRun(AutoStart::Enabled, Context()));

    ASSERT_TRUE(Exists("qorv_ACME.desktop"));
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    EXPECT_NE(Read("qorv_ACME.desktop").find("\nExec=\"" + self + "\"\n"), std::string::npos)
        << Read("qorv_ACME.desktop");
}

TEST_F(AutoRunTest, WithoutAProductIdTheEntryIsNamedForTheDemo) {
    ASSERT_TRUE(SetAutoRun(AutoStart::Enabled, Context()));
    EXPECT_TRUE(Exists("qorv_DEMO.desktop"));
}

TEST_F(AutoRunTest, DisablingRemovesTheEntry) {
    ASSERT_TRUE(SetAutoRun(AutoStart::Enabled, Context()));
    ASSERT_TRUE(Exists("qorv_DEMO.desktop"));
    EXPECT_TRUE(SetAutoRun(AutoStart::Disabled, Context()));
    EXPECT_FALSE(Exists("qorv_DEMO.desktop"));
    // Disabling what is not there is no failure.
    EXPECT_TRUE(SetAutoRun(AutoStart::Disabled, Context()));
}

TEST_F(AutoRunTest, TheOldEntryGoesEitherWay) {
    for (AutoStart enable : {AutoStart::Enabled, AutoStart::Disabled}) {
        PutOldEntry();
        EXPECT_TRUE(SetAutoRun(enable, Context()));
        EXPECT_FALSE(Exists("QORV_DEMO.desktop"));
        EXPECT_EQ(Exists("qorv_DEMO.desktop"), enable == AutoStart::Enabled);
    }
}

TEST_F(AutoRunTest, RelativeConfigHomeFallsBackToHome) {
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
    ScopedEnv home("HOME", home_.path().string());
    ASSERT_TRUE(SetAutoRun(AutoStart::Enabled, Context()));
    EXPECT_TRUE(os::FileExists(home_.str() + ".config/autostart/qorv_DEMO.desktop"));
}

TEST_F(AutoRunTest, AFolderThatCannotBeMadeStopsQuietly) {
    // A file where the folder should be: not even root can create the folder below it.
    ASSERT_TRUE(os::WriteFileAtomically(home_.str() + "blocked", "x"));
    ScopedEnv blocked("XDG_CONFIG_HOME", home_.str() + "blocked");
    EXPECT_FALSE(SetAutoRun(AutoStart::Enabled, Context()));
    EXPECT_TRUE(log_->HasCaptured("设置开机自动运行失败"));
}

TEST_F(AutoRunTest, AProductIdThatIsNoFileNameIsRefused) {
    ASSERT_NO_FATAL_FAILURE(
        WriteSharedFile("config.ini", "[Window Setting]\r\nProductId=../../evil\r\n"));
    EXPECT_FALSE(SetAutoRun(AutoStart::Enabled, Context()));
    EXPECT_FALSE(std::filesystem::exists(home_.path() / "autostart"));
    EXPECT_TRUE(log_->HasCaptured("ProductId"));
}

}  // namespace
}  // namespace config_test
