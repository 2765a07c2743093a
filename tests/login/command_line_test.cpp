// The start parameters of a command line: the pieces, the password, the account parts, and
// the login panel's command-line login.
#include "login/command_line.h"

#include <gtest/gtest.h>

#include "login/login_history.h"
#include "login/password_scrambler.h"
#include "login_fixture.h"
#include "os/controls/combo_box.h"
#include "platform/session/sim_session_core.h"

namespace login_test {
namespace {

using login::CommandLineRequest;

TEST(CommandLine, TheRequestIsWhatFollowsTheFirstDashAfterTheStart) {
    struct Case {
        const char* line;
        const char* request;
    };
    const Case cases[] = {
        {"qorvdesk -username=li", "username=li"},
        {"qorvdesk -a=1 -b=2", "a=1 -b=2"},
        {"-username=li", ""},  // a dash first does not count
        {"qorvdesk", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(login::RequestOfCommandLine(c.line), c.request);
    }
}

TEST(CommandLine, PiecesFillTheFieldsOfTheirKeys) {
    const std::string scrambled = login::ScramblePassword("秘密pw", 0x12345678);
    struct Case {
        std::string text;
        CommandLineRequest expected;
    };
    const Case cases[] = {
        {"", {}},
        // No '&': one piece; no '=': it still counts as a piece but fills nothing.
        {"username", {.hasParams = true}},
        {"=li", {.hasParams = true}},
        {"&&", {}},  // empty pieces are dropped
        {"USERNAME=li&TalkId=wang&Action=sendsms&actparam=139&other=1",
         {.hasParams = true,
          .talkDone = false,
          .username = "li",
          .talkid = "wang",
          .talkname = "",
          .action = "sendsms",
          .actparam = "139",
          .actionDone = false}},
        {"username=li&password=" + scrambled,
         {.hasParams = true, .username = "li", .password = "秘密pw"}},
        // A password in clear is not taken.
        {"username=li&password=plain", {.hasParams = true, .username = "li"}},
        // The value is everything after the first '='.
        {"talkname=a=b&talkid=x",
         {.hasParams = true, .talkDone = false, .talkid = "x", .talkname = "a=b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(login::ParseRequest(c.text), c.expected);
    }
}

TEST(CommandLine, TheUserNameNamesItsKindAndOrganisation) {
    struct Case {
        const char* username;
        const char* account;
        const char* kind;
        const char* organisation;
    };
    const Case cases[] = {
        {"li", "li", "", ""},           {"li$gov", "li", "gov", ""},
        {"li$public", "li", "pub", ""}, {"li.unit7$pub", "li", "pub", "unit7"},
        {"$gov", "$gov", "", ""},  // '$' first names no kind
        {".unit", ".unit", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.username);
        const login::CommandLineAccount parts = login::SplitCommandLineUser(c.username);
        EXPECT_EQ(parts.account, c.account);
        EXPECT_EQ(parts.userKind, c.kind);
        EXPECT_EQ(parts.organisation, c.organisation);
    }
}

class CommandLineLoginTest : public LoginTest {
  protected:
    void SaveAccount(const std::string& name, const std::string& password) {
        login::LoginHistory history(commonDir.str() + "user.dat", login::HistoryLayout::Full);
        login::SavedAccount account;
        account.name = name;
        account.password = password;
        history.Remember(account);
        ASSERT_TRUE(history.Save());
    }
    std::vector<std::string> LoginArgs() {
        const auto logins = world.simSession().calls().Named("Login");
        return logins.empty() ? std::vector<std::string>{} : logins.back().args;
    }
};

TEST_F(CommandLineLoginTest, TheCommandLinePasswordLogsTheAccountIn) {
    AddAccount("li", "pw");
    SaveAccount("li", "saved-but-wrong");
    panel->Begin();
    panel->StartCommandLineLogin(
        login::ParseRequest("username=li$pub&password=" + login::ScramblePassword("pw")));
    ASSERT_TRUE(FinishThreads());
    EXPECT_EQ(DeliverResults(), 1);
    // The server took the command line's password, not the saved one.
    EXPECT_TRUE(manager.Flags().loggedIn.load());
    ASSERT_FALSE(LoginArgs().empty());
    EXPECT_EQ(LoginArgs()[0], "li");
    EXPECT_EQ(LoginArgs()[1], "2");  // "$pub": a public user
    EXPECT_EQ(panel->GetControl<os::ComboBox>(CDlgLogin::kUserKindId)->GetCurSel(), 1);
}

TEST_F(CommandLineLoginTest, WithoutAPasswordTheSavedOneIsUsedAndWithoutThatNothingStarts) {
    AddAccount("li", "pw");
    SaveAccount("li", "pw");
    panel->Begin();
    panel->StartCommandLineLogin(login::ParseRequest("username=nobody"));
    EXPECT_FALSE(panel->IsLoggingIn());
    EXPECT_TRUE(LoginArgs().empty());

    panel->StartCommandLineLogin(login::ParseRequest("username=li.unit9"));
    EXPECT_EQ(panel->groupName(), "unit9");
    ASSERT_TRUE(FinishThreads());
    EXPECT_EQ(DeliverResults(), 1);
    EXPECT_TRUE(manager.Flags().loggedIn.load());
}

}  // namespace
}  // namespace login_test
