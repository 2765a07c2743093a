// Every key of the deployment configuration has its default when the file says nothing.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "config/config_catalogue.h"
#include "config/config_loader.h"
#include "config_fixture.h"
#include "expected_catalogue.h"
#include "os/text/cstring_ops.h"
#include "support/gbk_print.h"

namespace config_test {
namespace {

using config::ClientConfig;
using config::ConfigLoader;

std::pair<std::string, std::string> Name(const char* section, const char* key) {
    return {os::MakeLower(section), key};
}

TEST(ConfigCatalogueTest, HoldsExactlyTheKeysOfTheTablesInTheirOrder) {
    std::vector<std::pair<std::string, std::string>> expected, actual;
    for (const ExpectedKey& key : ExpectedCatalogue())
        expected.push_back(Name(key.section, key.key));
    for (const config::CatalogueKey& key : config::Catalogue()) {
        actual.push_back(Name(key.section, key.key));
    }
    EXPECT_EQ(actual, expected);
    std::set<std::pair<std::string, std::string>> unique(actual.begin(), actual.end());
    EXPECT_EQ(unique.size(), actual.size()) << "a key is listed twice";
}

TEST(ConfigCatalogueTest, KeepsTheLowerCaseSectionSpellingOfGetFirstLevTreeWait) {
    const config::CatalogueKey* key =
        config::FindCatalogueKey("common Setting", "GetFirstLevTreeWait");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->type, config::KeyType::Int);
}

TEST(ConfigCatalogueTest, EverySavedKeyIsACatalogueKey) {
    EXPECT_EQ(config::SavedKeys().size(), 25u);
}

class ConfigDefaultsTest : public ConfigTest {};

TEST_F(ConfigDefaultsTest, EmptyFileGivesEveryDefault) {
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile("config.ini", ""));
    ClientConfig config;
    // Start from values that are no default, so each key must really be set by the load.
    for (const config::CatalogueKey& key : config::Catalogue()) {
        if (key.type == config::KeyType::Int) {
            key.intField.get(config) = 123456;
        } else {
            key.stringField.get(config) = "stale";
        }
    }
    ASSERT_EQ(ConfigLoader(Context()).LoadConfig(config), 1);

    for (const ExpectedKey& key : ExpectedCatalogue()) {
        SCOPED_TRACE(std::string(key.section) + " / " + key.key);
        EXPECT_EQ(key.read(config), key.defaultValue)
            << "loaded " << testing_support::DisplayGbk(ToText(key.read(config))) << ", default "
            << testing_support::DisplayGbk(ToText(key.defaultValue));
    }
    EXPECT_TRUE(config.ToolBar.positions.empty());
    EXPECT_TRUE(config.LocalNetIP.IP.empty());
    EXPECT_EQ(config.WelcomeSound, "sound/welcome.wav");
    EXPECT_EQ(config.MessageSound, "sound/message.wav");
    EXPECT_TRUE(log_->CapturedTexts().empty());
}

TEST_F(ConfigDefaultsTest, MissingFileGivesTheDefaultsOfAFreshObject) {
    ClientConfig loaded;
    loaded.MaxGroupSMSCount = 1;
    loaded.ToolBar.positions.resize(3);
    ASSERT_EQ(ConfigLoader(Context()).LoadConfig(loaded), 1);

    const ClientConfig fresh;
    for (const ExpectedKey& key : ExpectedCatalogue()) {
        SCOPED_TRACE(std::string(key.section) + " / " + key.key);
        EXPECT_EQ(key.read(loaded), key.defaultValue);
        EXPECT_EQ(key.read(fresh), key.defaultValue);
    }
    EXPECT_TRUE(loaded.ToolBar.positions.empty());
    EXPECT_EQ(fresh.WelcomeSound, "sound/welcome.wav");
}

// The values other Parts lean on most, spelled out once more.
TEST_F(ConfigDefaultsTest, NamedLimitsHaveTheirDefaults) {
    ClientConfig config;
    ConfigLoader(Context()).LoadConfig(config);
    EXPECT_EQ(config.MaxGroupSMSCount, 300);
    EXPECT_EQ(config.LoginTimeOut, 20);
    EXPECT_EQ(config.PingServerTime, 1000);
    EXPECT_EQ(config.MaxOfflieFileSize, 4000000);
    EXPECT_EQ(config.DlgMainMinWidth, 294);
    EXPECT_EQ(config.DlgMainMinHeight, 640);
}

}  // namespace
}  // namespace config_test
