#include "platform/services/shared_util.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "os/sys/ini_file.h"
#include "support/gbk_print.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

class SharedUtilTest : public ::testing::Test {
  protected:
    void WritePreConfig(const std::string& text) {
        std::ofstream(dir.path() / platform::kPreConfigFile, std::ios::binary) << text;
    }
    testing_support::TempDir dir;
};

TEST_F(SharedUtilTest, CommonDirEndsInASlash) {
    platform::SharedUtil withSlash(dir.str());
    EXPECT_EQ(withSlash.GetCommanDir(), dir.str());
    platform::SharedUtil without(dir.path().string());
    EXPECT_EQ(without.GetCommanDir(), dir.str());
}

TEST_F(SharedUtilTest, FromEnvironmentUsesTheSharedClientDirectory) {
    std::unique_ptr<platform::SharedUtil> util;
    {
        testing_support::ScopedEnv home("QORVDESK_HOME", dir.path().string());
        util = platform::SharedUtil::FromEnvironment();
    }
    EXPECT_EQ(util->GetCommanDir(), dir.str());
}

TEST_F(SharedUtilTest, SelectedServerTwoNamesTheSecondConfigFile) {
    WritePreConfig(
        "[LoginServer]\r\nCount=2\r\nSelected=2\r\nName1=省政务网\r\nFile1=config.ini\r\n"
        "Name2=市政务网\r\nFile2=city.ini\r\n");
    platform::SharedUtil util(dir.str());
    EXPECT_EQ(util.nServerSel(), 2);
    EXPECT_EQ(util.LoginServers().nLoginServerCount(), 2);
    EXPECT_EQ(util.SelectedConfigPath(), dir.str() + "city.ini");
    EXPECT_GBK_EQ(util.LoginServers().DisplayNameOf(1).value_or(""), "省政务网");
}

TEST_F(SharedUtilTest, WithoutPreConfigThereIsOneDefaultServer) {
    platform::SharedUtil util(dir.str());
    EXPECT_EQ(util.LoginServers().nLoginServerCount(), 1);
    EXPECT_EQ(util.nServerSel(), 1);
    EXPECT_EQ(util.SelectedConfigPath(), dir.str() + "config.ini");
}

TEST_F(SharedUtilTest, UnusableEntriesAndSelectionsFallBack) {
    struct Case {
        const char* text;
        int count;
        int selected;
        std::string selectedFile;
    };
    for (const Case& c : {
             // A name too long for its 16-byte field is left out; the rest keep their order.
             Case{"[LoginServer]\nCount=3\nFile1=a.ini\nFile2=much-too-long-name.ini\nFile3=c.ini\n"
                  "Selected=2\n",
                  2, 2, "c.ini"},
             Case{"[LoginServer]\nCount=2\nFile1=a.ini\nFile2=b.ini\nSelected=7\n", 2, 1, "a.ini"},
             Case{"[LoginServer]\nCount=2\nFile1=a.ini\nFile2=b.ini\nSelected=x\n", 2, 1, "a.ini"},
             Case{"[LoginServer]\nCount=2\nFile1=../a.ini\n", 1, 1, "config.ini"},
             Case{"[loginserver]\nCOUNT=1\nfile1=a.ini\n", 1, 1, "a.ini"},
             Case{"[LoginServer]\nCount=-4\n", 1, 1, "config.ini"},
         }) {
        WritePreConfig(c.text);
        platform::SharedUtil util(dir.str());
        EXPECT_EQ(util.LoginServers().nLoginServerCount(), c.count) << c.text;
        EXPECT_EQ(util.nServerSel(), c.selected) << c.text;
        EXPECT_EQ(util.LoginServers().SelectedConfigFile(), c.selectedFile) << c.text;
    }
}

TEST_F(SharedUtilTest, WritePreConfigKeepsTheSelectionForTheNextStart) {
    WritePreConfig(
        "; deployment notes\r\n[LoginServer]\r\nCount=3\r\nFile1=a.ini\r\nFile2=b.ini\r\n"
        "File3=c.ini\r\n[Other]\r\nKeep=1\r\n");
    {
        platform::SharedUtil util(dir.str());
        ASSERT_TRUE(util.SetServerSel(3));
        ASSERT_TRUE(util.WritePreConfig());
    }
    platform::SharedUtil again(dir.str());
    EXPECT_EQ(again.nServerSel(), 3);
    EXPECT_EQ(again.SelectedConfigPath(), dir.str() + "c.ini");
    EXPECT_EQ(again.LoginServers().nLoginServerCount(), 3);
    // The rest of the file is left as it was.
    os::IniFile ini = os::IniFile::Load(dir.str() + platform::kPreConfigFile);
    EXPECT_EQ(ini.GetString("Other", "Keep", ""), "1");
    EXPECT_NE(ini.ToText().find("; deployment notes"), std::string::npos);
}

TEST_F(SharedUtilTest, WritePreConfigCreatesTheSharedFolder) {
    platform::SharedUtil util(dir.str() + "新目录/");
    ASSERT_TRUE(util.WritePreConfig());
    platform::SharedUtil again(dir.str() + "新目录/");
    EXPECT_EQ(again.SelectedConfigPath(), dir.str() + "新目录/config.ini");
}

TEST_F(SharedUtilTest, WritePreConfigReportsAFolderItCannotMake) {
    std::ofstream(dir.path() / "file") << "in the way";
    platform::SharedUtil util(dir.str() + "file/sub/");
    EXPECT_FALSE(util.WritePreConfig());
}

TEST(SharedUtilTextTest, ConversionsAreStrict) {
    std::string out;
    ASSERT_TRUE(platform::SharedUtil::ConvertGBKToUtf8("匿名-张三", out));
    std::string back;
    ASSERT_TRUE(platform::SharedUtil::ConvertUtf8ToGBK(out, back));
    EXPECT_GBK_EQ(back, "匿名-张三");
    EXPECT_FALSE(platform::SharedUtil::ConvertGBKToUtf8(std::string("a\x81", 2), out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(platform::SharedUtil::ConvertUtf8ToGBK("\xC3\x28", out));
    EXPECT_EQ(platform::SharedUtil::Base64Decode(platform::SharedUtil::Base64Encode("头像")),
              std::string("头像"));
}

TEST(SharedUtilTextTest, GetIniStringReadsWithDefaults) {
    testing_support::TempDir dir;
    std::string file = dir.str() + "config.ini";
    std::ofstream(dir.path() / "config.ini") << "[Window Setting]\r\nProductId=GOV\r\n";
    EXPECT_EQ(platform::SharedUtil::GetINIString("window setting", "ProductId", "DEMO", file),
              "GOV");
    EXPECT_EQ(platform::SharedUtil::GetINIString("Window Setting", "Missing", "DEMO", file),
              "DEMO");
    EXPECT_EQ(platform::SharedUtil::GetINIString("Window Setting", "ProductId", "DEMO",
                                                 dir.str() + "none.ini"),
              "DEMO");
}

TEST(SharedUtilVersionTest, AnswersAsACurrentSystem) {
    EXPECT_TRUE(platform::SharedUtil::IsVistaOrLater());
    EXPECT_TRUE(platform::SharedUtil::IsWin7OrLater());
    EXPECT_TRUE(platform::SharedUtil::IsWinXPOrLater());
}

}  // namespace
