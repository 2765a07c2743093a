#include "login/start_parameters.h"

#include <fstream>
#include <iterator>

#include "core/window_manager.h"
#include "login/dlg_login.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"
#include "platform/session/session_core.h"

namespace login {
namespace {

// The process's own command line, its arguments joined by blanks.
std::string ProcessCommandLine() {
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    std::string line{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    while (!line.empty() && line.back() == '\0') line.pop_back();
    for (char& c : line) {
        if (c == '\0') c = ' ';
    }
    return line;
}

}  // namespace

void ClientStartParameters::Take(const std::string& text) {
    context_.log.WriteLog2(0, os::Format("命令行参数:%s", text.c_str()));
    request_ = ParseRequest(text);
    if (request_.talkname.empty() && !request_.talkid.empty())
        request_.talkname = context_.session.GetUserLimitId(request_.talkid);
}

void ClientStartParameters::Parse(const std::string& commandLine) {
    Take(RequestOfCommandLine(commandLine.empty() ? ProcessCommandLine() : commandLine));
}

void ClientStartParameters::Act(const std::string& requestText) {
    Take(requestText);
    core::IWindowManager& manager = context_.windowManager();
    if (manager.IsLoggedIn()) {
        Perform();
    } else if (request_.HasLogin()) {
        StartCommandLineLogin();
    }
}

bool ClientStartParameters::StartCommandLineLogin() {
    if (!request_.HasLogin()) return false;
    auto* panel = dynamic_cast<CDlgLogin*>(
        context_.windows.FromHandle(context_.windowManager().LoginPanel()));
    if (panel == nullptr) {
        context_.log.WriteLog2(2, "Command-line login without a login panel ignored");
        return true;
    }
    panel->StartCommandLineLogin(request_);
    return true;
}

void ClientStartParameters::Perform() {
    core::IWindowManager& manager = context_.windowManager();
    platform::SessionCore& session = context_.session;
    if (request_.TalkPending()) {
        manager.OpenChatWindow(
            os::Format("%s$gov@%s", request_.talkid.c_str(), session.GetHostName().c_str()));
        request_.talkDone = true;
    }
    if (!request_.ActionPending()) return;
    const std::string& action = request_.action;
    if (action == "batchsendsms") {
        context_.windows.PostMessage(manager.HostMainWnd(), os::WM_COMMAND,
                                     static_cast<os::WPARAM>(kBatchSmsCommand), 0);
    } else if (action == "sendsms" || action == "telcall") {
        const std::string number = os::Trim(request_.actparam);
        if (number.empty()) return;  // stays pending for the next call
        if (action == "sendsms")
            manager.OpenSmsChatWindow(number + "@sms." + session.GetHostName());
    }
    request_.action.clear();
    request_.actionDone = true;
}

}  // namespace login
