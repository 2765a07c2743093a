#include "os/services/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <thread>

extern char** environ;

namespace os {

struct ChildProcess::Shared {
    std::mutex mutex;
    std::condition_variable cv;
    bool ended = false;  // the program has exited; its pid may be reaped any moment
    bool endRunning = false;
    bool settled = false;
    std::thread::id reaper;
    std::function<void(const ProcessEnd&)> onEnd;
};

namespace {

ProcessEnd ReapChild(pid_t pid) {
    int status = 0;
    pid_t got;
    do {
        got = waitpid(pid, &status, 0);
    } while (got < 0 && errno == EINTR);
    if (got != pid) return {};  // reaped elsewhere (SIGCHLD ignored by the host)
    if (WIFEXITED(status)) return {ProcessEnd::How::Exited, WEXITSTATUS(status)};
    if (WIFSIGNALED(status)) return {ProcessEnd::How::Killed, WTERMSIG(status)};
    return {};
}

void WatchChild(pid_t pid, std::shared_ptr<ChildProcess::Shared> shared) {
    {
        std::lock_guard lock(shared->mutex);
        shared->reaper = std::this_thread::get_id();
    }
    // Wait for the end without reaping, so the pid cannot be reused while Terminate may
    // still signal it.
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    std::function<void(const ProcessEnd&)> onEnd;
    {
        std::lock_guard lock(shared->mutex);
        shared->ended = true;
    }
    ProcessEnd end = ReapChild(pid);
    {
        std::lock_guard lock(shared->mutex);
        onEnd = std::move(shared->onEnd);
        shared->onEnd = nullptr;
        if (!onEnd) {
            shared->settled = true;
            return;
        }
        shared->endRunning = true;
    }
    onEnd(end);
    std::lock_guard lock(shared->mutex);
    shared->endRunning = false;
    shared->settled = true;
    shared->cv.notify_all();
}

class SpawnSetup {
  public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attr_);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attr_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    bool Prepare(const std::string& directory) {
        for (int fd : {0, 1, 2}) {
            int flags = fd == 0 ? O_RDONLY : O_WRONLY;
            if (posix_spawn_file_actions_addopen(&actions_, fd, "/dev/null", flags, 0) != 0)
                return false;
        }
        if (!directory.empty() &&
            posix_spawn_file_actions_addchdir_np(&actions_, directory.c_str()) != 0)
            return false;
        // Its own session (a terminal's Ctrl+C for the host does not reach it), an empty
        // signal mask and default handlers, whatever the host's threads have set.
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int sig :
             {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM})
            sigaddset(&defaults, sig);
        return posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                                    POSIX_SPAWN_SETSIGDEF) == 0 &&
               posix_spawnattr_setsigmask(&attr_, &none) == 0 &&
               posix_spawnattr_setsigdefault(&attr_, &defaults) == 0;
    }

    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attr() const { return &attr_; }

  private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attr_;
};

}  // namespace

ChildProcess::ChildProcess(pid_t pid, std::shared_ptr<Shared> shared)
    : pid_(pid), shared_(std::move(shared)) {}

ChildProcess::~ChildProcess() = default;

bool ChildProcess::HasEnded() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->ended;
}

bool ChildProcess::IsSettled() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->settled;
}

void ChildProcess::Terminate() {
    std::lock_guard lock(shared_->mutex);
    if (!shared_->ended) kill(pid_, SIGTERM);
}

void ChildProcess::ForgetEnd() {
    std::unique_lock lock(shared_->mutex);
    shared_->onEnd = nullptr;
    // Called from inside onEnd itself: it is running on this very thread and ends after us.
    if (shared_->reaper == std::this_thread::get_id()) return;
    shared_->cv.wait(lock, [&] { return !shared_->endRunning; });
}

std::unique_ptr<ChildProcess> StartProcess(const std::vector<std::string>& argv,
                                           const std::string& directory,
                                           std::function<void(const ProcessEnd&)> onEnd) {
    if (argv.empty() || argv[0].empty() || argv[0][0] != '/') return nullptr;
    SpawnSetup setup;
    if (!setup.Prepare(directory)) return nullptr;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0].c_str(), setup.actions(), setup.attr(), args.data(), environ) !=
        0)
        return nullptr;

    auto shared = std::make_shared<ChildProcess::Shared>();
    shared->onEnd = std::move(onEnd);
    std::thread(WatchChild, pid, shared).detach();
    return std::unique_ptr<ChildProcess>(new ChildProcess(pid, std::move(shared)));
}

std::optional<std::string> FindProgram(std::string_view name, std::string_view searchPath) {
    auto isProgram = [](const std::string& path) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
               access(path.c_str(), X_OK) == 0;
    };
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string_view::npos) {
        std::string path(name);
        if (path[0] == '/' && isProgram(path)) return path;
        return std::nullopt;
    }
    while (true) {
        size_t colon = searchPath.find(':');
        std::string_view dir = searchPath.substr(0, colon);
        // Only absolute folders: an empty or relative PATH entry would depend on the current
        // directory, which is no place to pick a program from.
        if (!dir.empty() && dir[0] == '/') {
            std::string candidate(dir);
            if (candidate.back() != '/') candidate += '/';
            candidate += name;
            if (isProgram(candidate)) return candidate;
        }
        if (colon == std::string_view::npos) break;
        searchPath.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

std::string DefaultSearchPath() {
    const char* path = getenv("PATH");
    return path != nullptr ? std::string(path) : std::string("/usr/local/bin:/usr/bin:/bin");
}

std::vector<std::string> SplitCommandLine(std::string_view text) {
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        // A GBK character is one unit: its trail byte may be a backslash, which must not
        // escape a following quote.
        if (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) {
            current.append(text.substr(i, 2));
            inArgument = true;
            i += 2;
            continue;
        }
        if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument) args.push_back(std::move(current));
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            size_t slashes = 0;
            while (i < text.size() && text[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < text.size() && text[i] == '"') {
                // 2n backslashes + quote: n backslashes and a quote mark; 2n+1: n and a quote.
                current.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(slashes, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                current += '"';  // "" inside quotes
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += static_cast<char>(c);
        ++i;
    }
    if (inArgument) args.push_back(std::move(current));
    return args;
}

}  // namespace os
