#include "platform/services/login_server_table.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/gbk_print.h"

namespace {

TEST(LoginServerTableTest, EntriesAreTwentyBytesWithTheFileNameAtByteFour) {
    platform::LoginServerTable table;
    ASSERT_TRUE(table.Add("省政务网", "config.ini"));
    ASSERT_TRUE(table.Add("市政务网", "city/config.ini"));
    ASSERT_EQ(table.nLoginServerCount(), 2);

    const unsigned char* entries = table.pLoginServer();
    ASSERT_NE(entries, nullptr);
    // The way the configuration loader reads it: entry nServerSel, bytes 4-19.
    const unsigned char* second = entries + (2 - 1) * platform::kLoginServerEntrySize;
    EXPECT_STREQ(reinterpret_cast<const char*>(second + 4), "city/config.ini");
    EXPECT_EQ(second[0], 1);  // its name is the table's name number 1 (0-based)
    EXPECT_EQ(second[1] | second[2] | second[3], 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(entries + 4), "config.ini");
    EXPECT_GBK_EQ(table.DisplayNameOf(2).value_or(""), "市政务网");
}

TEST(LoginServerTableTest, SelectingEntryTwoSelectsTheSecondFile) {
    platform::LoginServerTable table;
    table.Add("", "first.ini");
    table.Add("", "second.ini");
    EXPECT_EQ(table.nServerSel(), 1);
    EXPECT_EQ(table.SelectedConfigFile(), "first.ini");
    ASSERT_TRUE(table.SetServerSel(2));
    EXPECT_EQ(table.nServerSel(), 2);
    EXPECT_EQ(table.SelectedConfigFile(), "second.ini");
}

TEST(LoginServerTableTest, SelectionOutsideTheTableIsRefused) {
    platform::LoginServerTable table;
    table.Add("", "a.ini");
    table.Add("", "b.ini");
    table.SetServerSel(2);
    for (int bad : {0, -1, 3}) {
        EXPECT_FALSE(table.SetServerSel(bad)) << bad;
        EXPECT_EQ(table.ConfigFileOf(bad), std::nullopt) << bad;
        EXPECT_EQ(table.DisplayNameOf(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(table.nServerSel(), 2);
}

TEST(LoginServerTableTest, FileNamesMustFitAndStayInTheSharedFolder) {
    platform::LoginServerTable table;
    EXPECT_TRUE(table.Add("", std::string(15, 'a')));  // 15 bytes and the NUL: exactly fits
    EXPECT_TRUE(table.Add("", "服务器二.ini"));        // 12 GBK bytes
    for (const std::string& bad :
         {std::string(16, 'a'), std::string(), std::string("a\0b", 3), std::string("/etc/x.ini"),
          std::string("../x.ini"), std::string("a/../../x"), std::string("\\x.ini"),
          std::string("..\\x.ini")}) {
        EXPECT_FALSE(table.Add("", bad)) << bad;
    }
    EXPECT_EQ(table.nLoginServerCount(), 2);
    EXPECT_EQ(table.ConfigFileOf(1), std::string(15, 'a'));
    EXPECT_EQ(table.DisplayNameOf(1), std::string(15, 'a'));  // no name: the file name shows
    EXPECT_GBK_EQ(table.ConfigFileOf(2).value_or(""), "服务器二.ini");
}

TEST(LoginServerTableTest, EmptyTableUsesTheDefaultFile) {
    platform::LoginServerTable table;
    EXPECT_EQ(table.pLoginServer(), nullptr);
    EXPECT_EQ(table.nLoginServerCount(), 0);
    EXPECT_EQ(table.SelectedConfigFile(), platform::kDefaultConfigFile);
    EXPECT_FALSE(table.SetServerSel(1));
}

}  // namespace
