#include "login/input_check.h"

#include <gtest/gtest.h>

#include <string>

#include "support/case_name.h"

namespace {

using login::CheckLoginInput;
using login::InputProblem;

struct InputCase {
    std::string userName;
    std::string password;
    InputProblem expected;
};

class InputCheckTest : public ::testing::TestWithParam<InputCase> {};

TEST_P(InputCheckTest, FindsTheFirstProblem) {
    const InputCase& c = GetParam();
    EXPECT_EQ(CheckLoginInput(c.userName, c.password), c.expected) << c.userName;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InputCheckTest,
    ::testing::Values(InputCase{"", "p", InputProblem::EmptyUserName},
                      InputCase{"", "", InputProblem::EmptyUserName},
                      InputCase{"+bob", "p", InputProblem::IllegalCharacter},
                      InputCase{"-bob", "p", InputProblem::IllegalCharacter},
                      InputCase{"*bob", "p", InputProblem::IllegalCharacter},
                      InputCase{"/bob", "p", InputProblem::IllegalCharacter},
                      InputCase{"=bob", "p", InputProblem::IllegalCharacter},
                      InputCase{"bo&b", "p", InputProblem::IllegalCharacter},
                      InputCase{"bo<b", "p", InputProblem::IllegalCharacter},
                      InputCase{"bob>", "p", InputProblem::IllegalCharacter},
                      InputCase{"b\"ob", "p", InputProblem::IllegalCharacter},
                      InputCase{"b'ob", "p", InputProblem::IllegalCharacter},
                      // The name is checked before the password.
                      InputCase{"-bob", "", InputProblem::IllegalCharacter},
                      InputCase{"bob", "", InputProblem::EmptyPassword},
                      // Operators inside the name are fine; only the first character counts.
                      InputCase{"b-o+b*=/", "p", InputProblem::None},
                      InputCase{"张三", "密码", InputProblem::None},
                      InputCase{"bob.org", "p", InputProblem::None}),
    [](const ::testing::TestParamInfo<InputCase>& info) {
        return testing_support::IndexedName(info.index, info.param.userName);
    });

TEST(InputProblemTextTest, GivesTheUsersMessages) {
    EXPECT_STREQ(login::InputProblemText(InputProblem::EmptyUserName), "请输入或选择用户名");
    EXPECT_STREQ(login::InputProblemText(InputProblem::IllegalCharacter), "用户名中含有非法字符");
    EXPECT_STREQ(login::InputProblemText(InputProblem::EmptyPassword), "请输入密码");
    EXPECT_STREQ(login::InputProblemText(InputProblem::None), "");
}

}  // namespace
