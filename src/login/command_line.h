#pragma once
// The start parameters of a command line: an account to log in with, a user to chat with and
// an action ("batchsendsms", "sendsms", "telcall"), as "key=value" pieces joined by '&':
//
//     qorvdesk -username=zhang$gov&password=<scrambled>&talkid=li&action=sendsms&actparam=139...
//
// The password is never given in clear: it is scrambled as the login history scrambles the
// passwords it keeps (password_scrambler.h), and one that does not unscramble is dropped.

#include <string>
#include <string_view>

namespace login {

struct CommandLineRequest {
    bool hasParams = false;
    bool talkDone = true;
    std::string username;
    std::string password;  // clear
    std::string talkid;
    std::string talkname;
    std::string action;
    std::string actparam;
    bool actionDone = true;

    bool HasLogin() const { return hasParams && !username.empty(); }
    bool TalkPending() const { return hasParams && !talkDone && !talkid.empty(); }
    bool ActionPending() const { return !action.empty() && !actionDone; }

    friend bool operator==(const CommandLineRequest&, const CommandLineRequest&) = default;
};

// What follows the first '-' of a process command line (its first byte does not count), or
// "" when there is none.
std::string RequestOfCommandLine(std::string_view commandLine);

// Reads the pieces of `text` (no talkname default; see StartParameters). A piece without '='
// or with '=' first is skipped; keys are compared without regard to case; other keys are
// ignored.
CommandLineRequest ParseRequest(std::string_view text);

// The account parts of a command-line user name: "name$gov" names the user kind (the three
// characters after '$'), "name.unit" the organisation of a group login.
struct CommandLineAccount {
    std::string account;
    std::string userKind;      // "gov", "pub", ... or "" when none was named
    std::string organisation;  // "" when none was named
};
CommandLineAccount SplitCommandLineUser(std::string_view username);

}  // namespace login
