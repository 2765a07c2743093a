// Loading the configuration of the selected login server.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "config/config_loader.h"
#include "config_fixture.h"
#include "expected_catalogue.h"
#include "os/text/cstring_ops.h"
#include "support/gbk_print.h"

namespace config_test {
namespace {

using config::ClientConfig;
using config::ConfigLoader;

// A value for the key at `index` that no other key has and no default equals.
Value DistinctValue(const ExpectedKey& key, int index) {
    if (std::holds_alternative<int>(key.defaultValue)) return 7000 + index;
    return os::Format("值%d", index);
}

// An INI text setting every catalogue key to its distinct value, grouped by section; the
// names pass through `spell` first.
std::string FullIni(const std::function<std::string(std::string_view)>& spell) {
    std::vector<std::string> order;
    std::map<std::string, std::string> bodies;
    const auto& keys = ExpectedCatalogue();
    for (size_t i = 0; i < keys.size(); ++i) {
        std::string section = spell(keys[i].section);
        if (!bodies.count(section)) order.push_back(section);
        // "IPMSG " is written the way a file has it, without the blank.
        bodies[section] += spell(os::TrimRight(keys[i].key)) + "=" +
                           ToText(DistinctValue(keys[i], static_cast<int>(i))) + "\r\n";
    }
    std::string text;
    for (const std::string& section : order) text += "[" + section + "]\r\n" + bodies[section];
    return text;
}

class ConfigLoadTest : public ConfigTest {
  protected:
    ClientConfig Load() {
        ClientConfig config;
        EXPECT_EQ(ConfigLoader(Context()).LoadConfig(config), 1);
        return config;
    }

    void ExpectEveryKeyDistinct(const ClientConfig& config) {
        const auto& keys = ExpectedCatalogue();
        for (size_t i = 0; i < keys.size(); ++i) {
            SCOPED_TRACE(std::string(keys[i].section) + " / " + keys[i].key);
            EXPECT_EQ(keys[i].read(config), DistinctValue(keys[i], static_cast<int>(i)))
                << "loaded " << testing_support::DisplayGbk(ToText(keys[i].read(config)));
        }
    }
};

TEST_F(ConfigLoadTest, LoadsEveryKeyIntoItsOwnField) {
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile(
        "config.ini", FullIni([](std::string_view name) { return std::string(name); })));
    ExpectEveryKeyDistinct(Load());
}

TEST_F(ConfigLoadTest, FindsSectionsAndKeysInAnotherLetterCase) {
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile(
        "config.ini", FullIni([](std::string_view name) { return os::MakeUpper(name); })));
    ExpectEveryKeyDistinct(Load());
}

TEST_F(ConfigLoadTest, ReadsTheFileOfTheSelectedLoginServer) {
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile(
        "preconfig.ini",
        "[LoginServer]\r\nCount=2\r\nSelected=2\r\nName1=一号\r\nFile1=first.ini\r\n"
        "Name2=二号\r\nFile2=second.ini\r\n"));
    ASSERT_NO_FATAL_FAILURE(
        WriteSharedFile("first.ini", "[Server Setting]\r\nLoginTimeOut=11\r\n"));
    ASSERT_NO_FATAL_FAILURE(
        WriteSharedFile("second.ini", "[Server Setting]\r\nLoginTimeOut=22\r\n"));
    sharedUtil_->LoadPreConfig();

    ConfigLoader loader(Context());
    EXPECT_EQ(loader.ConfigFile(), SharedDir() + "second.ini");
    ClientConfig config;
    loader.LoadConfig(config);
    EXPECT_EQ(config.LoginTimeOut, 22);
}

TEST_F(ConfigLoadTest, IntegerValuesReadAsThePrivateProfileReaderDoes) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"abc", 0}, {"12abc", 12}, {"  -5", -5}, {"", 20} /* empty: the default */, {"0x10", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_NO_FATAL_FAILURE(WriteSharedFile(
            "config.ini", std::string("[Server Setting]\r\nLoginTimeOut=") + c.text));
        EXPECT_EQ(Load().LoginTimeOut, c.expected);
    }
}

TEST_F(ConfigLoadTest, ToolBarPositionsFollowTheCount) {
    struct Case {
        const char* count;
        std::vector<config::ToolBarPosition> positions;  // entries 1..Count
        bool logged;
    };
    const Case cases[] = {
        {"0", {}, false},
        {"-1", {}, false},
        {"3", {{10, 11}, {20, -1}, {30, 31}}, false},  // Y2 is missing: -1
        {"1001", {}, true},                            // no real tool bar: left out
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        log_->ClearCaptured();
        ASSERT_NO_FATAL_FAILURE(
            WriteSharedFile("config.ini", std::string("[ToolBar Setting]\r\nCount=") + c.count +
                                              "\r\nX1=10\r\nY1=11\r\nX2=20\r\nX3=30\r\nY3=31\r\n"
                                              "X4=40\r\nY4=41\r\n"));
        ClientConfig config = Load();
        EXPECT_EQ(config.ToolBar.Count, std::atoi(c.count));
        if (c.positions.empty()) {
            EXPECT_TRUE(config.ToolBar.positions.empty());
        } else {
            ASSERT_EQ(config.ToolBar.positions.size(), c.positions.size() + 1);
            for (size_t i = 0; i < c.positions.size(); ++i) {
                EXPECT_EQ(config.ToolBar.positions[i + 1].x, c.positions[i].x) << i + 1;
                EXPECT_EQ(config.ToolBar.positions[i + 1].y, c.positions[i].y) << i + 1;
            }
        }
        EXPECT_EQ(log_->HasCaptured("Count=1001"), c.logged);
    }
}

TEST_F(ConfigLoadTest, LocalNetworkAddressesFollowTheirCount) {
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile(
        "config.ini",
        "[LocalNetIP]\r\ncount=3\r\nIP1=10.0.0.0/8\r\nIP3=192.168.0.0/16\r\nIP4=x\r\n"));
    ClientConfig config = Load();
    EXPECT_EQ(config.LocalNetIP.IP, (std::vector<std::string>{"10.0.0.0/8", "", "192.168.0.0/16"}));

    ASSERT_NO_FATAL_FAILURE(
        WriteSharedFile("config.ini", "[LocalNetIP]\r\ncount=-2\r\nIP1=10.0.0.0/8\r\n"));
    EXPECT_TRUE(Load().LocalNetIP.IP.empty());
}

TEST_F(ConfigLoadTest, AnotherLoadReplacesTheLastValues) {
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile(
        "config.ini", "[ToolBar Setting]\r\nCount=1\r\nX1=5\r\n[Common Setting]\r\nSendKey=0\r\n"));
    ClientConfig config;
    ConfigLoader loader(Context());
    loader.LoadConfig(config);
    ASSERT_EQ(config.ToolBar.positions.size(), 2u);
    ASSERT_EQ(config.SendKey, 0);
    config.WelcomeSound = "changed";

    ASSERT_NO_FATAL_FAILURE(WriteSharedFile("config.ini", ""));
    loader.LoadConfig(config);
    EXPECT_TRUE(config.ToolBar.positions.empty());
    EXPECT_EQ(config.SendKey, 1);
    EXPECT_EQ(config.WelcomeSound, "sound/welcome.wav");
}

TEST_F(ConfigLoadTest, ALoadAfterAnotherServerWasSelectedReadsThatServersFile) {
    ASSERT_NO_FATAL_FAILURE(
        WriteSharedFile("preconfig.ini",
                        "[LoginServer]\r\nCount=2\r\nName1=一号\r\nFile1=first.ini\r\n"
                        "Name2=二号服务器\r\nFile2=second.ini\r\n"));
    ASSERT_NO_FATAL_FAILURE(
        WriteSharedFile("first.ini", "[Common Setting]\r\nMaxGroupSMSCount=50\r\n"));
    ASSERT_NO_FATAL_FAILURE(
        WriteSharedFile("second.ini", "[Common Setting]\r\nMaxGroupSMSCount=80\r\n"));
    sharedUtil_->LoadPreConfig();

    ConfigLoader loader(Context());
    ClientConfig config;
    loader.LoadConfig(config);
    ASSERT_EQ(config.MaxGroupSMSCount, 50);

    ASSERT_TRUE(sharedUtil_->SetServerSel(2));
    EXPECT_EQ(loader.LoadConfig(config), 1);
    EXPECT_EQ(config.MaxGroupSMSCount, 80);
}

}  // namespace
}  // namespace config_test
