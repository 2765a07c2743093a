#include "login/input_check.h"

namespace login {
namespace {

// A name may not start with an operator nor hold characters that break markup or quoting.
constexpr std::string_view kIllegalFirst = "+-*/=";
constexpr std::string_view kIllegalAnywhere = "&<>\"'";

bool HasIllegalCharacter(std::string_view name) {
    if (kIllegalFirst.find(name.front()) != std::string_view::npos) return true;
    // These are ASCII bytes; GBK trail bytes are 0x40 and up, so none of them can be part of a
    // double-byte character.
    return name.find_first_of(kIllegalAnywhere) != std::string_view::npos;
}

}  // namespace

InputProblem CheckLoginInput(std::string_view userName, std::string_view password) {
    if (userName.empty()) return InputProblem::EmptyUserName;
    if (HasIllegalCharacter(userName)) return InputProblem::IllegalCharacter;
    if (password.empty()) return InputProblem::EmptyPassword;
    return InputProblem::None;
}

const char* InputProblemText(InputProblem problem) {
    switch (problem) {
        case InputProblem::EmptyUserName:
            return "请输入或选择用户名";
        case InputProblem::IllegalCharacter:
            return "用户名中含有非法字符";
        case InputProblem::EmptyPassword:
            return "请输入密码";
        case InputProblem::None:
            break;
    }
    return "";
}

}  // namespace login
