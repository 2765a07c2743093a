// The user's own settings file: every key with its default, the hidden tabs, the font check,
// and the write-back that keeps the rest of the file.

#include "config/user_settings.h"

#include <gtest/gtest.h>

#include "config_fixture.h"
#include "os/sys/ini_file.h"
#include "support/gbk_print.h"

namespace config_test {
namespace {

class UserSettingsTest : public ConfigTest {};

TEST_F(UserSettingsTest, AMissingFileGivesEveryDefault) {
    const config::UserSettings s = config::LoadUserSettings(SharedDir(), *log_);
    EXPECT_TRUE(s.usersign.empty() && s.MailName.empty() && s.MailPass.empty());
    EXPECT_TRUE(s.MessageFont.empty() && s.CurBindPhone.empty() && s.IsSoftPhone.empty());
    EXPECT_TRUE(s.CurPhone1.empty() && s.CurPhone2.empty() && s.CurPhone3.empty());
    EXPECT_TRUE(s.MSMsign.empty() && s.MsnUserName.empty() && s.MsnPassword.empty());
    EXPECT_TRUE(s.RecentlyTabTitle.empty() && s.hiddenTabs.empty());
    EXPECT_EQ(s.FileTransferFolder, SharedDir() + "File");
    EXPECT_EQ(s.VcardPictureFolder, SharedDir() + "VCard");
    EXPECT_EQ(s.RememberMsnPass, 0);
    EXPECT_EQ(s.AutoLogonMsn, 0);
    EXPECT_EQ(s.RecentlyTabIndex, 0);
    EXPECT_EQ(s.NomarchMailInfoInterval, 10);
    EXPECT_EQ(s.CountOfMsgRecordPerPage, 30);
}

TEST_F(UserSettingsTest, EveryKeyIsReadFromSectionCommonAndTheHiddenTabsFromTheirs) {
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile(
        "user.ini",
        "[common]\r\nusersign=天天向上\r\nMailName=m\r\nMailPass=p\r\n"
        "MessageFont=FONT(黑体,134,2,240,1,0,0,0,0,0,0)\r\nFileTransferFolder=/srv/f\r\n"
        "VcardPictureFolder=/srv/v\r\nCurBindPhone=8001\r\nIsSoftPhone=1\r\nCurPhone1=1\r\n"
        "CurPhone2=2\r\nCurPhone3=3\r\nMSMsign=hi\r\nMsnUserName=u\r\nMsnPassword=w\r\n"
        "RememberMsnPass=1\r\nAutoLogonMsn=1\r\nRecentlyTabIndex=3\r\nRecentlyTabTitle=办公\r\n"
        "NomarchMailInfoInterval=5\r\nCountOfMsgRecordPerPage=50\r\n"
        "[Hide Tabs]\r\nCount=2\r\nTab1=新闻\r\nTab2=天气\r\n"));
    const config::UserSettings s = config::LoadUserSettings(SharedDir(), *log_);
    EXPECT_GBK_EQ(s.usersign, "天天向上");
    EXPECT_EQ(s.MailName + s.MailPass, "mp");
    EXPECT_GBK_EQ(s.MessageFont, "FONT(黑体,134,2,240,1,0,0,0,0,0,0)");
    EXPECT_EQ(s.FileTransferFolder, "/srv/f");
    EXPECT_EQ(s.VcardPictureFolder, "/srv/v");
    EXPECT_EQ(s.CurBindPhone + s.IsSoftPhone, "80011");
    EXPECT_EQ(s.CurPhone1 + s.CurPhone2 + s.CurPhone3, "123");
    EXPECT_EQ(s.MSMsign + s.MsnUserName + s.MsnPassword, "hiuw");
    EXPECT_EQ(s.RememberMsnPass + s.AutoLogonMsn, 2);
    EXPECT_EQ(s.RecentlyTabIndex, 3);
    EXPECT_GBK_EQ(s.RecentlyTabTitle, "办公");
    EXPECT_EQ(s.NomarchMailInfoInterval, 5);
    EXPECT_EQ(s.CountOfMsgRecordPerPage, 50);
    EXPECT_EQ(s.hiddenTabs, (std::vector<std::string>{"新闻", "天气"}));
}

TEST_F(UserSettingsTest, AMessageFontThatIsNoFontHeaderIsDiscarded) {
    struct Case {
        const char* value;
        const char* kept;
    };
    const Case cases[] = {
        {"宋体", ""},
        {"font(宋体,134,2,180,0,0,0,0,0,0,0)", ""},
        {"FONT", ""},
        {"FONT(宋体,134,2,180,0,0,0,0,0,0,0)", "FONT(宋体,134,2,180,0,0,0,0,0,0,0)"},
    };
    for (const Case& c : cases) {
        ASSERT_NO_FATAL_FAILURE(
            WriteSharedFile("user.ini", std::string("[Common]\r\nMessageFont=") + c.value));
        EXPECT_GBK_EQ(config::LoadUserSettings(SharedDir(), *log_).MessageFont, c.kept)
            << testing_support::DisplayGbk(c.value);
    }
}

TEST_F(UserSettingsTest, SavingWritesEveryKeyBackAndKeepsTheRestOfTheFile) {
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile(
        "user.ini", "; mine\r\n[Other]\r\nKeep=1\r\n[Hide Tabs]\r\nCount=3\r\nTab3=旧\r\n"));
    config::UserSettings s = config::DefaultUserSettings(SharedDir());
    s.MessageFont = "FONT(黑体,134,2,240,1,0,0,0,0,0,0)";
    s.CountOfMsgRecordPerPage = 40;
    s.CurPhone2 = "139";
    s.hiddenTabs = {"新闻"};
    ASSERT_TRUE(config::SaveUserSettings(SharedDir(), s, *log_));

    const config::UserSettings back = config::LoadUserSettings(SharedDir(), *log_);
    EXPECT_GBK_EQ(back.MessageFont, s.MessageFont);
    EXPECT_EQ(back.CountOfMsgRecordPerPage, 40);
    EXPECT_EQ(back.CurPhone2, "139");
    EXPECT_EQ(back.FileTransferFolder, SharedDir() + "File");
    EXPECT_EQ(back.hiddenTabs, std::vector<std::string>{"新闻"});
    const std::string path = SharedDir() + "user.ini";
    EXPECT_EQ(os::GetProfileString(path, "Other", "Keep", ""), "1");
    EXPECT_EQ(os::GetProfileString(path, "Hide Tabs", "Tab3", "none"), "none")
        << "a shorter list leaves no old entry";
    EXPECT_EQ(ReadSharedFile("user.ini").rfind("; mine", 0), 0u);
}

TEST_F(UserSettingsTest, AValueWithALineBreakIsLeftOutAndTheOthersAreSaved) {
    config::UserSettings s = config::DefaultUserSettings(SharedDir());
    s.usersign = "one\r\n[Common]\r\nMailPass=stolen";
    s.MailName = "kept";
    EXPECT_FALSE(config::SaveUserSettings(SharedDir(), s, *log_));
    const config::UserSettings back = config::LoadUserSettings(SharedDir(), *log_);
    EXPECT_EQ(back.MailName, "kept");
    EXPECT_TRUE(back.usersign.empty());
    EXPECT_TRUE(back.MailPass.empty());
}

TEST_F(UserSettingsTest, AnUnreadableFileIsNeverOverwritten) {
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile("user.ini", "[Common]\r\nMailName=old\r\n"));
    const std::filesystem::path file = dir_.path() / "user.ini";
    std::filesystem::permissions(file, std::filesystem::perms::none);
    if (std::FILE* probe = std::fopen(file.c_str(), "rb")) {
        std::fclose(probe);
        GTEST_SKIP() << "running with rights that read any file";
    }
    config::UserSettings s = config::DefaultUserSettings(SharedDir());
    s.MailName = "new";
    EXPECT_FALSE(config::SaveUserSettings(SharedDir(), s, *log_));
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    EXPECT_EQ(config::LoadUserSettings(SharedDir(), *log_).MailName, "old");
}

}  // namespace
}  // namespace config_test
