// The optional IP-messenger plug-in: loaded at start-up when configured, told to stop at
// tear-down only while it is enabled.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/client_config.h"
#include "host_api/ipmsg_plugin.h"
#include "manager_fixture.h"

namespace host_api_test {
namespace {

// The plug-in file as the test sees it: its own handle on the copy in the application
// folder, through which it reads the plug-in's counters.
class PluginProbe {
  public:
    explicit PluginProbe(const std::filesystem::path& file)
        : handle_(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~PluginProbe() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    bool loaded() const { return handle_ != nullptr; }
    int& Counter(const char* name) { return *static_cast<int*>(dlsym(handle_, name)); }

  private:
    void* handle_;
};

class PluginTest : public ManagerTest {
  protected:
    // Puts the plug-in into the application folder and enables it in the configuration.
    std::filesystem::path Install(const char* built, bool enabled) {
        const auto target = appDir.path() / kIpMsgPluginFile;
        std::filesystem::copy_file(built, target);
        std::ofstream(commonDir.path() / "config.ini")
            << "[Plugin Setting]\r\nIPMSG=" << (enabled ? 1 : 0) << "\r\n";
        return target;
    }
};

TEST_F(PluginTest, AnEnabledPluginIsStartedAndToldToStopButStaysLoaded) {
    PluginProbe probe(Install(QORV_TEST_PLUGIN, true));
    ASSERT_TRUE(probe.loaded());
    ASSERT_NO_FATAL_FAILURE(Init());
    ASSERT_NE(manager->plugin(), nullptr);
    EXPECT_EQ(probe.Counter("qorv_plugin_init_calls"), 1);

    manager->FreeWindows();
    EXPECT_EQ(probe.Counter("qorv_plugin_destroy_calls"), 1);
    EXPECT_NE(manager->plugin(), nullptr);
}

TEST_F(PluginTest, APluginDisabledBeforeTearDownIsNeverAskedForItsStopEntry) {
    PluginProbe probe(Install(QORV_TEST_PLUGIN, true));
    ASSERT_NO_FATAL_FAILURE(Init());
    ASSERT_NE(manager->plugin(), nullptr);
    context.config.IPMSG = 0;  // the settings changed while it ran
    manager->FreeWindows();
    EXPECT_EQ(manager->plugin()->LookedUp(), std::vector<std::string>{"Init_Plugin"});
    EXPECT_EQ(probe.Counter("qorv_plugin_destroy_calls"), 0);
}

TEST_F(PluginTest, APluginWhoseInitAnswersZeroIsForgottenAndNeverStopped) {
    PluginProbe probe(Install(QORV_TEST_PLUGIN, true));
    probe.Counter("qorv_plugin_init_answer") = 0;
    ASSERT_NO_FATAL_FAILURE(Init());
    EXPECT_EQ(manager->plugin(), nullptr);
    EXPECT_EQ(probe.Counter("qorv_plugin_init_calls"), 1);
    manager->FreeWindows();
    EXPECT_EQ(probe.Counter("qorv_plugin_destroy_calls"), 0);
}

TEST_F(PluginTest, APluginWithoutInitStaysLoaded) {
    PluginProbe probe(Install(QORV_TEST_PLUGIN_BARE, true));
    ASSERT_NO_FATAL_FAILURE(Init());
    ASSERT_NE(manager->plugin(), nullptr);
    EXPECT_EQ(manager->plugin()->LookedUp(), std::vector<std::string>{"Init_Plugin"});
}

TEST_F(PluginTest, ADisabledPluginIsNotLoaded) {
    PluginProbe probe(Install(QORV_TEST_PLUGIN, false));
    ASSERT_NO_FATAL_FAILURE(Init());
    EXPECT_EQ(manager->plugin(), nullptr);
    EXPECT_EQ(probe.Counter("qorv_plugin_init_calls"), 0);
}

TEST_F(PluginTest, AMissingPluginLeavesStartUpGoingOn) {
    std::ofstream(commonDir.path() / "config.ini") << "[Plugin Setting]\r\nIPMSG=1\r\n";
    ASSERT_NO_FATAL_FAILURE(Init(/*keepSteps=*/true));
    EXPECT_EQ(manager->plugin(), nullptr);
    EXPECT_EQ(Steps().back(), "CreateSessionObject");
}

}  // namespace
}  // namespace host_api_test
