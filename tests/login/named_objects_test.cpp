// The login's named objects: the state word and the account mutex, seen from a second
// NamedObjectSpace over the same folder (what another client process of the installation
// opens).
#include "os/sys/named_objects.h"

#include <gtest/gtest.h>

#include <fstream>

#include "login/account_mutex.h"
#include "login/login_state_word.h"
#include "os/sys/clock.h"
#include "support/temp_dir.h"

namespace {

class LoginNamedObjectsTest : public ::testing::Test {
  protected:
    testing_support::TempDir dir;
    os::ManualClock clock;
    os::NamedObjectSpace here{dir.str()};
    os::NamedObjectSpace elsewhere{dir.str()};
};

TEST_F(LoginNamedObjectsTest, StateWordIsSharedAndStartsAtZero) {
    login::LoginStateWord mine(here, clock);
    login::LoginStateWord theirs(elsewhere, clock);
    EXPECT_EQ(theirs.Read(), login::kLoginRunning);
    for (std::int32_t state : {login::kLoginRefused, login::kLoginSettled, login::kLoginRunning}) {
        ASSERT_TRUE(mine.Write(state));
        EXPECT_EQ(theirs.Read(), state);
    }
}

TEST_F(LoginNamedObjectsTest, AccountMutexNameCarriesTheConfiguredVersion) {
    EXPECT_EQ(login::ProgramVersion(dir.str()), "0.000");
    {
        std::ofstream ini(dir.path() / "config.ini");
        ini << "[Common Setting]\r\nVersion=3.2.1\r\n";
    }
    EXPECT_EQ(login::ProgramVersion(dir.str()), "3.2.1");
    EXPECT_EQ(login::AccountMutexName("alice", "3.2.1"), "alice_USER_LOGINED3.2.1");
}

TEST_F(LoginNamedObjectsTest, ASecondHolderOfTheAccountIsRefusedUntilTheFirstLetsGo) {
    login::AccountMutexResult first = login::ClaimAccountMutex(here, clock, "alice", "0.000");
    ASSERT_EQ(first.claim, login::AccountClaim::Taken);
    ASSERT_TRUE(first.mutex);

    login::AccountMutexResult second = login::ClaimAccountMutex(elsewhere, clock, "alice", "0.000");
    EXPECT_EQ(second.claim, login::AccountClaim::HeldElsewhere);
    EXPECT_FALSE(second.mutex);
    // Another account, or another version of the program, is a different mutex.
    EXPECT_EQ(login::ClaimAccountMutex(elsewhere, clock, "bob", "0.000").claim,
              login::AccountClaim::Taken);
    EXPECT_EQ(login::ClaimAccountMutex(elsewhere, clock, "alice", "1.000").claim,
              login::AccountClaim::Taken);

    first.mutex.reset();
    EXPECT_EQ(login::ClaimAccountMutex(elsewhere, clock, "alice", "0.000").claim,
              login::AccountClaim::Taken);
}

}  // namespace
