// The user name a login attempt sends: trimmed, lower case, and the organisation's group
// suffix when the group login is on and the group name is not blank.

#include <gtest/gtest.h>

#include "login/login_attempt.h"
#include "support/case_name.h"

namespace {

struct LoginNameCase {
    const char* name;
    const char* userName;
    const char* groupName;
    bool groupLogin;
    const char* sent;
};

class LoginNameTest : public ::testing::TestWithParam<LoginNameCase> {};

TEST_P(LoginNameTest, IsTheTrimmedLowerCaseNameWithTheGroupSuffix) {
    const LoginNameCase& c = GetParam();
    login::AttemptRequest request;
    request.userName = c.userName;
    request.groupName = c.groupName;
    request.groupLogin = c.groupLogin;
    EXPECT_EQ(login::LoginNameOf(request), c.sent);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoginNameTest,
    ::testing::Values(LoginNameCase{"group added", " Zhang ", "sso2", true, "zhang.sso2"},
                      LoginNameCase{"trailing blanks of the group cut", "li", "sso1  ", true,
                                    "li.sso1"},
                      LoginNameCase{"blank group adds nothing", "li", "   ", true, "li"},
                      LoginNameCase{"no group chosen", "li", "", true, "li"},
                      LoginNameCase{"group login off", "li", "sso1", false, "li"}),
    [](const auto& info) { return testing_support::IndexedName(info.index, info.param.name); });

}  // namespace
