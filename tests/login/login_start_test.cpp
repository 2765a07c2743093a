// The automatic start: the last account shown, the automatic login.
#include <gtest/gtest.h>

#include "config/client_config.h"
#include "login/login_history.h"
#include "login_fixture.h"
#include "os/controls/check_box.h"
#include "os/controls/combo_box.h"
#include "platform/session/sim_session_core.h"

namespace login_test {
namespace {

class LoginStartTest : public LoginTest {
  protected:
    void SaveAccounts() {
        login::LoginHistory history(commonDir.str() + "user.dat", login::HistoryLayout::Full);
        login::SavedAccount bob;
        bob.name = "bob";
        bob.password = "bobpw";
        bob.userKind = 2;
        history.Remember(bob);
        login::SavedAccount alice;
        alice.name = "alice";
        alice.password = "alicepw";
        alice.extraText = "x";
        history.Remember(alice);
        ASSERT_TRUE(history.Save());
    }
    bool Checked(int id) const { return panel->GetControl<os::CheckBox>(id)->checked(); }
};

TEST_F(LoginStartTest, BeginShowsTheLastAccountWithoutLoggingIn) {
    SaveAccounts();
    panel->Begin();
    auto* accounts = panel->GetControl<os::ComboBox>(CDlgLogin::kAccountId);
    ASSERT_EQ(accounts->GetCount(), 2);
    EXPECT_EQ(accounts->Text(), "alice");
    EXPECT_EQ(panel->FindControl(CDlgLogin::kPasswordId)->Text(), "alicepw");
    EXPECT_EQ(panel->FindControl(CDlgLogin::kExtraTextId)->Text(), "x");
    EXPECT_TRUE(Checked(CDlgLogin::kRememberPasswordId));  // RememberPass defaults to 1
    EXPECT_FALSE(Checked(CDlgLogin::kAutoLoginId));
    EXPECT_FALSE(panel->IsLoggingIn());

    // Choosing the other saved account fills in its password and kind.
    accounts->Select(1);
    EXPECT_EQ(panel->FindControl(CDlgLogin::kPasswordId)->Text(), "bobpw");
    EXPECT_EQ(panel->GetControl<os::ComboBox>(CDlgLogin::kUserKindId)->GetCurSel(), 1);
}

TEST_F(LoginStartTest, AutoLoginTicksBothBoxesAndLogsIn) {
    SaveAccounts();
    context.config.AutoLogin = 1;
    context.config.RememberPass = 0;
    AddAccount("alice", "alicepw");
    panel->Begin();
    EXPECT_TRUE(Checked(CDlgLogin::kRememberPasswordId));
    EXPECT_TRUE(Checked(CDlgLogin::kAutoLoginId));
    ASSERT_TRUE(FinishThreads());
    EXPECT_EQ(DeliverResults(), 1);
    EXPECT_TRUE(manager.Flags().loggedIn.load());
    const auto logins = world.simSession().calls().Named("Login");
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(logins[0].args[0], "alice");
}

TEST_F(LoginStartTest, ACommandLineLoginTakesPrecedence) {
    context.config.AutoLogin = 1;
    startParameters.carriesLogin = true;
    panel->Begin();
    EXPECT_EQ(startParameters.commandLineLogins, 1);
    EXPECT_FALSE(panel->IsLoggingIn());
}

TEST_F(LoginStartTest, AutoReloginIsQuiet) {
    SaveAccounts();
    panel->Begin();
    panel->FindControl(CDlgLogin::kPasswordId)->SetText("");
    panel->GetControl<os::ComboBox>(CDlgLogin::kAccountId)->SetCurSel(-1);
    panel->StartAutoRelogin();
    EXPECT_TRUE(panel->quietMode());
    Drain();  // the posted login: an empty password fails without a box
    EXPECT_TRUE(world.prompter().Records().empty());
    EXPECT_FALSE(panel->IsLoggingIn());
}

}  // namespace
}  // namespace login_test
