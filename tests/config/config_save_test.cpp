// Saving writes back the settings dialog's keys, and nothing else.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "config/config_loader.h"
#include "config_fixture.h"
#include "os/sys/ini_file.h"
#include "support/gbk_print.h"

namespace config_test {
namespace {

using config::ClientConfig;
using config::ConfigLoader;
using Names = std::set<std::pair<std::string, std::string>>;

// The keys the settings dialog changes, with the value the test gives each.
struct SavedKey {
    const char* section;
    const char* key;
    const char* value;
};
const SavedKey kSaved[] = {
    {"Server Setting", "UseTLS", "1"},
    {"Common Setting", "AutoRun", "0"},
    {"Common Setting", "AutoLogin", "1"},
    {"Common Setting", "RememberPass", "0"},
    {"Common Setting", "BuddyStatusNotify", "0"},
    {"Common Setting", "MinimizeOnCloseButton", "0"},
    {"Common Setting", "IdentifyValidate", "0"},
    {"Common Setting", "SendKey", "2"},
    {"Common Setting", "SmsHasNickName", "0"},
    {"Common Setting", "MessageArrivedTipType", "3"},
    {"Common Setting", "Layout", "2"},
    {"Common Setting", "ColorPlan", "5"},
    {"Common Setting", "AudioDevice", "4"},
    {"Common Setting", "AudioInput", "6"},
    {"Common Setting", "AutoChangeStateOnIdleTimeout", "15"},
    {"Common Setting", "QueryMailInfoInterval", "600"},
    {"Common Setting", "PinCode", "密码123"},
    {"UserInfo", "username", "张三"},
    {"UserInfo", "loginname", "zhangsan"},
    {"Proxy Setting", "Type", "3"},
    {"Proxy Setting", "Server", "proxy.example.invalid"},
    {"Proxy Setting", "Port", "8080"},
    {"Proxy Setting", "UserName", "代理用户"},
    {"Proxy Setting", "Password", "p w"},
    {"Startup IE Setting", "DelayTime", "-7"},
};

ClientConfig ChangedInTheDialog() {
    ClientConfig c;
    c.UseTLS = 1;
    c.AutoRun = 0;
    c.AutoLogin = 1;
    c.RememberPass = 0;
    c.BuddyStatusNotify = 0;
    c.MinimizeOnCloseButton = 0;
    c.IdentifyValidate = 0;
    c.SendKey = 2;
    c.SmsHasNickName = 0;
    c.MessageArrivedTipType = 3;
    c.Layout = 2;
    c.ColorPlan = 5;
    c.AudioDevice = 4;
    c.AudioInput = 6;
    c.AutoChangeStateOnIdleTimeout = 15;
    c.QueryMailInfoInterval = 600;
    c.PinCode = "密码123";
    c.username = "张三";
    c.loginname = "zhangsan";
    c.Proxy.Type = 3;
    c.Proxy.Server = "proxy.example.invalid";
    c.Proxy.Port = 8080;
    c.Proxy.UserName = "代理用户";
    c.Proxy.Password = "p w";
    c.StartupIE.DelayTime = -7;
    // Changed in memory but not the dialog's to save.
    c.MaxGroupSMSCount = 5;
    c.AudioServer.Port = 99;
    c.StartupIE.Cx = 1;
    return c;
}

Names KeysIn(const os::IniFile& ini) {
    Names names;
    for (const std::string& section : ini.SectionNames()) {
        for (const std::string& key : ini.KeyNames(section)) names.insert({section, key});
    }
    return names;
}

class ConfigSaveTest : public ConfigTest {};

TEST_F(ConfigSaveTest, WritesExactlyTheDialogsKeys) {
    ASSERT_TRUE(ConfigLoader(Context()).SaveConfig(ChangedInTheDialog()));

    os::IniFile ini = os::IniFile::Load(SharedDir() + "config.ini");
    Names expected;
    for (const SavedKey& saved : kSaved) {
        expected.insert({saved.section, saved.key});
        EXPECT_EQ(ini.Get(saved.section, saved.key), std::string(saved.value)) << saved.key;
    }
    EXPECT_EQ(KeysIn(ini), expected);
}

TEST_F(ConfigSaveTest, LeavesTheRestOfTheFileAlone) {
    const std::string before =
        "; deployment of the example bureau\r\n"
        "[Server Setting]\r\nLoginTimeOut=33\r\nUseTLS=0\r\n"
        "[Common Setting]\r\nMaxGroupSMSCount=120\r\n";
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile("config.ini", before));
    ASSERT_TRUE(ConfigLoader(Context()).SaveConfig(ChangedInTheDialog()));

    std::string after = ReadSharedFile("config.ini");
    EXPECT_EQ(after.rfind("; deployment of the example bureau\r\n", 0), 0u);
    os::IniFile ini = os::IniFile::Parse(after);
    EXPECT_EQ(ini.Get("Server Setting", "LoginTimeOut"), "33");
    EXPECT_EQ(ini.Get("Server Setting", "UseTLS"), "1");
    EXPECT_EQ(ini.Get("Common Setting", "MaxGroupSMSCount"), "120");
}

TEST_F(ConfigSaveTest, WhatIsSavedLoadsBack) {
    const ClientConfig saved = ChangedInTheDialog();
    ConfigLoader loader(Context());
    ASSERT_TRUE(loader.SaveConfig(saved));
    ClientConfig loaded;
    loader.LoadConfig(loaded);
    EXPECT_EQ(loaded.ColorPlan, 5);
    EXPECT_GBK_EQ(loaded.username, "张三");
    EXPECT_EQ(loaded.Proxy.Password, "p w");
    EXPECT_EQ(loaded.StartupIE.DelayTime, -7);
    EXPECT_EQ(loaded.MaxGroupSMSCount, 300);  // never saved
}

TEST_F(ConfigSaveTest, AValueThatCannotBeWrittenIsReportedAndTheOthersAreKept) {
    ClientConfig config = ChangedInTheDialog();
    config.PinCode = "12\r\n[Evil]";  // would add a section of its own
    EXPECT_FALSE(ConfigLoader(Context()).SaveConfig(config));
    EXPECT_TRUE(log_->HasCaptured("PinCode"));

    os::IniFile ini = os::IniFile::Load(SharedDir() + "config.ini");
    EXPECT_EQ(ini.Get("Common Setting", "PinCode"), std::nullopt);
    EXPECT_EQ(ini.Get("Proxy Setting", "Port"), "8080");
    EXPECT_EQ(ini.SectionNames(),
              (std::vector<std::string>{"Server Setting", "Common Setting", "UserInfo",
                                        "Proxy Setting", "Startup IE Setting"}));
}

TEST_F(ConfigSaveTest, AFolderThatIsGoneFailsWithALogLine) {
    platform::SharedUtil elsewhere(SharedDir() + "missing/");
    EXPECT_FALSE(ConfigLoader({elsewhere, *log_}).SaveConfig(ChangedInTheDialog()));
    EXPECT_TRUE(log_->HasCaptured("保存配置文件失败"));
}

}  // namespace
}  // namespace config_test
