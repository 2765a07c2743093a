#include "login/login_history.h"

#include <gtest/gtest.h>

#include <string>

#include "os/sys/file_ops.h"
#include "support/temp_dir.h"

namespace {

using login::HistoryLayout;
using login::LoginHistory;
using login::SavedAccount;

SavedAccount Account(std::string name, std::string password,
                     std::vector<std::string> aliases = {}) {
    SavedAccount account;
    account.name = std::move(name);
    account.password = std::move(password);
    account.aliases = std::move(aliases);
    return account;
}

class LoginHistoryTest : public ::testing::Test {
  protected:
    std::string Path(const char* file) const { return dir.str() + file; }
    std::string Read(const char* file) const {
        std::string bytes;
        EXPECT_TRUE(os::ReadFile(Path(file), bytes));
        return bytes;
    }
    testing_support::TempDir dir;
};

TEST_F(LoginHistoryTest, SavesEveryFieldAndReadsItBackWithoutTheClearPassword) {
    LoginHistory history(Path(login::kLoginHistoryFile), HistoryLayout::Full);
    SavedAccount alice = Account("alice", "s3cret;%", {"a.li", "13900000000"});
    alice.userKind = 2;
    alice.extraText = "x;y";
    alice.groupName = "部门\r\n";
    history.Remember(alice);
    history.Remember(Account("张三", "密码"));
    ASSERT_TRUE(history.Save());

    const std::string bytes = Read(login::kLoginHistoryFile);
    EXPECT_EQ(bytes.find("s3cret"), std::string::npos);
    EXPECT_EQ(bytes.find("密码"), std::string::npos);
    EXPECT_EQ(bytes.rfind("张三;", 0), 0u) << "most recent first";
    EXPECT_NE(bytes.find(";2;x%3By;部门%0D%0A;a.li;13900000000;;\r\n"), std::string::npos) << bytes;

    LoginHistory again(Path(login::kLoginHistoryFile), HistoryLayout::Full);
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.accounts().size(), 2u);
    EXPECT_EQ(again.accounts()[0], Account("张三", "密码"));
    EXPECT_EQ(again.accounts()[1], alice);
}

TEST_F(LoginHistoryTest, NulBytesInFieldsComeBackWhole) {
    using namespace std::string_literals;
    for (HistoryLayout layout : {HistoryLayout::Full, HistoryLayout::Mobile}) {
        LoginHistory history(Path(login::kLoginHistoryFile), layout);
        SavedAccount account = Account("ab\0cd"s, "pw\0x"s, {"al\0ias"s});
        if (layout == HistoryLayout::Full) {
            account.extraText = "e\0"s;
            account.groupName = "\0g"s;
        }
        history.Remember(account);
        ASSERT_TRUE(history.Save());
        EXPECT_NE(Read(login::kLoginHistoryFile).find("ab%00cd;"), std::string::npos);

        LoginHistory again(Path(login::kLoginHistoryFile), layout);
        ASSERT_TRUE(again.Load());
        ASSERT_EQ(again.accounts().size(), 1u);
        EXPECT_EQ(again.accounts()[0], account);
        EXPECT_NE(again.Find("ab\0cd"s), nullptr);
        EXPECT_EQ(again.Find("ab"), nullptr);
    }
}

TEST_F(LoginHistoryTest, MobileLinesHaveThreeFields) {
    LoginHistory history(Path(login::kMobileLoginHistoryFile), HistoryLayout::Mobile);
    history.Remember(Account("13900000000", "pw", {"bob"}));
    ASSERT_TRUE(history.Save());
    const std::string bytes = Read(login::kMobileLoginHistoryFile);
    EXPECT_EQ(bytes.rfind("13900000000;", 0), 0u);
    EXPECT_EQ(bytes.substr(bytes.size() - 7), ";bob;\r\n");

    LoginHistory again(Path(login::kMobileLoginHistoryFile), HistoryLayout::Mobile);
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.accounts().size(), 1u);
    EXPECT_EQ(again.accounts()[0].password, "pw");
    EXPECT_EQ(again.accounts()[0].aliases, std::vector<std::string>{"bob"});
}

TEST_F(LoginHistoryTest, RememberPutsTheAccountFirstAndKeepsItsAliases) {
    LoginHistory history(Path(login::kLoginHistoryFile), HistoryLayout::Full);
    history.Remember(Account("alice", "one", {"ali"}));
    history.Remember(Account("bob", "two"));
    history.Remember(Account("ALICE", "three", {"al"}));
    ASSERT_EQ(history.accounts().size(), 2u);
    EXPECT_EQ(history.accounts()[0].name, "ALICE");
    EXPECT_EQ(history.accounts()[0].password, "three");
    EXPECT_EQ(history.accounts()[0].aliases, (std::vector<std::string>{"al", "ali"}));
    EXPECT_EQ(history.Find("alice"), &history.accounts()[0]);
    EXPECT_EQ(history.Find("carol"), nullptr);
}

TEST_F(LoginHistoryTest, DamagedLinesAreSkippedAndABadPasswordReadsEmpty) {
    const std::string text =
        "alice;ZZZZ;1;;;;;;\r\n"  // a password that does not unscramble
        "broken line without fields\r\n"
        ";00000000AA;1;;;;;;\r\n"  // no name
        "short;;1;\r\n"
        "bob;;2;;;;;;\n"       // a line ending in LF alone
        "alice;;1;;;;;;\r\n";  // a second alice: the first wins
    ASSERT_TRUE(os::WriteFileAtomically(Path(login::kLoginHistoryFile), text));
    LoginHistory history(Path(login::kLoginHistoryFile), HistoryLayout::Full);
    ASSERT_TRUE(history.Load());
    ASSERT_EQ(history.accounts().size(), 2u);
    EXPECT_EQ(history.accounts()[0].name, "alice");
    EXPECT_EQ(history.accounts()[0].password, "");
    EXPECT_EQ(history.accounts()[1].name, "bob");
    EXPECT_EQ(history.accounts()[1].userKind, 2);
}

TEST_F(LoginHistoryTest, AMissingFileIsAnEmptyHistory) {
    LoginHistory history(Path(login::kLoginHistoryFile), HistoryLayout::Full);
    EXPECT_TRUE(history.Load());
    EXPECT_TRUE(history.accounts().empty());
}

TEST_F(LoginHistoryTest, AnUnreadableFileIsNeverOverwritten) {
    // A folder where the file should be cannot be read as a file.
    ASSERT_TRUE(os::CreateDirectories(Path(login::kLoginHistoryFile)));
    LoginHistory history(Path(login::kLoginHistoryFile), HistoryLayout::Full);
    EXPECT_FALSE(history.Load());
    history.Remember(Account("alice", "pw"));
    EXPECT_FALSE(history.Save());
}

}  // namespace
