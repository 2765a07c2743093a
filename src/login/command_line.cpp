#include "login/command_line.h"

#include "login/password_scrambler.h"
#include "os/text/cstring_ops.h"

namespace login {

std::string RequestOfCommandLine(std::string_view commandLine) {
    const std::size_t dash = commandLine.find('-');
    if (dash == std::string_view::npos || dash == 0) return {};
    return std::string(commandLine.substr(dash + 1));
}

CommandLineRequest ParseRequest(std::string_view text) {
    CommandLineRequest request;
    int pieces = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('&', start), text.size());
        const std::string_view piece = text.substr(start, end - start);
        start = end + 1;
        if (piece.empty()) continue;
        ++pieces;
        const std::size_t equals = piece.find('=');
        if (equals == std::string_view::npos || equals == 0) continue;
        const std::string_view key = piece.substr(0, equals);
        std::string value(piece.substr(equals + 1));
        if (os::EqualsNoCase(key, "username"))
            request.username = std::move(value);
        else if (os::EqualsNoCase(key, "password"))
            request.password = std::move(value);
        else if (os::EqualsNoCase(key, "talkid"))
            request.talkid = std::move(value);
        else if (os::EqualsNoCase(key, "talkname"))
            request.talkname = std::move(value);
        else if (os::EqualsNoCase(key, "action"))
            request.action = std::move(value);
        else if (os::EqualsNoCase(key, "actparam"))
            request.actparam = std::move(value);
    }
    if (!request.password.empty())
        request.password = UnscramblePassword(request.password).value_or(std::string{});
    request.hasParams = pieces > 0;
    if (!request.talkid.empty()) request.talkDone = false;
    if (!request.action.empty()) request.actionDone = false;
    return request;
}

CommandLineAccount SplitCommandLineUser(std::string_view username) {
    CommandLineAccount parts;
    std::string_view account = username;
    const std::size_t dollar = account.find('$');
    if (dollar != std::string_view::npos && dollar > 0) {
        parts.userKind = std::string(account.substr(dollar + 1, 3));
        account = account.substr(0, dollar);
    }
    const std::size_t dot = account.find('.');
    if (dot != std::string_view::npos && dot > 0) {
        parts.organisation = std::string(account.substr(dot + 1));
        account = account.substr(0, dot);
    }
    parts.account = std::string(account);
    return parts;
}

}  // namespace login
