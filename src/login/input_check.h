#pragma once
// The check of what the user typed before a login is sent: an account name, one free of the
// characters the server's directory cannot take, and a password.

#include <string_view>

namespace login {

enum class InputProblem { None, EmptyUserName, IllegalCharacter, EmptyPassword };

// The first problem of the input, or None. The name is checked as typed (no trimming).
InputProblem CheckLoginInput(std::string_view userName, std::string_view password);

// The message the user sees for a problem (empty for None).
const char* InputProblemText(InputProblem problem);

}  // namespace login
