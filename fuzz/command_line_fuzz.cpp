// Feeds arbitrary bytes to the start-parameter reader, as a command line or a second start's
// request would carry them. No input may crash or hang, and what is read keeps its rules:
// the flags arm only with their fields, a password read is one that unscrambled.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "login/command_line.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& request : {login::RequestOfCommandLine(text), std::string(text)}) {
        const login::CommandLineRequest parsed = login::ParseRequest(request);
        Check(parsed.talkDone == parsed.talkid.empty());
        Check(parsed.actionDone == parsed.action.empty());
        Check(parsed.hasParams || (parsed.username.empty() && parsed.talkid.empty()));
        Check(!parsed.HasLogin() || parsed.hasParams);
        const login::CommandLineAccount parts = login::SplitCommandLineUser(parsed.username);
        Check(parts.account.size() + parts.userKind.size() + parts.organisation.size() <=
              parsed.username.size());
        Check(parts.userKind.size() <= 3);
    }
    return 0;
}
