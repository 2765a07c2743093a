#include "os/services/system_shell.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

#include "os/sys/paths.h"
#include "os/text/gbk_codec.h"

namespace os {

namespace {

constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorized = 127;

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsProgram(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

ShellOutcome ToOutcome(const ProcessEnd& end, bool elevated) {
    switch (end.how) {
        case ProcessEnd::How::Exited:
            if (elevated && (end.code == kPkexecDismissed || end.code == kPkexecNotAuthorized))
                return {ShellOutcome::How::ElevationRefused, end.code};
            return {ShellOutcome::How::Finished, end.code};
        case ProcessEnd::How::Killed:
            return {ShellOutcome::How::Killed, end.code};
        case ProcessEnd::How::Unknown:
            break;
    }
    return {};
}

}  // namespace

bool IsUrl(const std::string& file) {
    size_t colon = file.find(':');
    // One letter before ':' is a drive letter, not a scheme.
    if (colon == std::string::npos || colon < 2) return false;
    if (!std::isalpha(static_cast<unsigned char>(file[0]))) return false;
    for (size_t i = 1; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(file[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

SystemShell::SystemShell(std::string searchPath) : searchPath_(std::move(searchPath)) {}

SystemShell::~SystemShell() {
    std::vector<std::unique_ptr<ChildProcess>> children;
    {
        std::lock_guard lock(mutex_);
        children.swap(children_);
    }
    for (auto& child : children) child->ForgetEnd();
}

ShellStart SystemShell::Execute(const ShellRequest& request, ShellDone onDone) {
    ShellVerb verb = ParseShellVerb(request.verb);
    if (verb == ShellVerb::Unknown) return ShellStart::UnknownVerb;

    std::string file, directory;
    if (!request.directory.empty()) {
        auto native = NativePath(request.directory);
        if (!native) return ShellStart::FileNotFound;
        directory = native->string();
    }
    bool url = IsUrl(request.file);
    if (url) {
        if (!GbkToUtf8(request.file, file)) return ShellStart::Failed;
    } else {
        auto native = NativePath(request.file);
        if (request.file.empty() || !native) return ShellStart::FileNotFound;
        file = native->string();
        // A relative name is looked for in the working folder the caller gave.
        if (file[0] != '/' && !directory.empty()) {
            file = directory + (directory.back() == '/' ? "" : "/") + file;
        }
        if (!Exists(file)) return ShellStart::FileNotFound;
        if (file[0] != '/') {
            char cwd[4096];
            if (getcwd(cwd, sizeof cwd) == nullptr) return ShellStart::Failed;
            file = std::string(cwd) + "/" + file;
        }
    }
    if (!directory.empty() && !IsDirectory(directory)) return ShellStart::FileNotFound;

    std::vector<std::string> argv;
    bool elevated = false;
    if (!url && IsProgram(file)) {
        if (verb == ShellVerb::RunAs) {
            if (auto pkexec = FindProgram("pkexec", searchPath_)) {
                argv.push_back(*pkexec);
                elevated = true;
            }
        }
        argv.push_back(file);
        for (const std::string& arg : SplitCommandLine(request.parameters)) {
            std::string native;
            if (!GbkToUtf8(arg, native)) return ShellStart::Failed;
            argv.push_back(std::move(native));
        }
    } else {
        auto opener = FindProgram("xdg-open", searchPath_);
        if (!opener) return ShellStart::NoHandler;
        argv = {*opener, file};
    }

    std::function<void(const ProcessEnd&)> onEnd;
    if (onDone) {
        onEnd = [onDone = std::move(onDone), elevated](const ProcessEnd& end) {
            onDone(ToOutcome(end, elevated));
        };
    }
    auto child = StartProcess(argv, directory, std::move(onEnd));
    if (!child) return ShellStart::Failed;

    std::lock_guard lock(mutex_);
    std::erase_if(children_, [](const auto& c) { return c->IsSettled(); });
    children_.push_back(std::move(child));
    return ShellStart::Started;
}

}  // namespace os
