#pragma once
// Starting other programs without waiting for them: the shell's "open" and "runas" and the
// sound player. A started program runs in a session of its own with stdin, stdout and stderr
// on /dev/null; a small background thread reaps it and reports how it ended.

#include <sys/types.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os {

struct ProcessEnd {
    enum class How { Exited, Killed, Unknown };
    How how = How::Unknown;
    int code = 0;  // exit status for Exited, signal number for Killed
};

// A program started by StartProcess. Dropping the handle neither waits for the program nor
// stops it; the reaper still collects it.
class ChildProcess {
  public:
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool HasEnded() const;
    // Ended, reaped, and `onEnd` has returned (or was not wanted): nothing more will happen.
    bool IsSettled() const;
    // Sends SIGTERM unless the program has already ended (never signals a reused pid).
    void Terminate();
    // Stops `onEnd` from being called if it has not run yet. After this returns it is not
    // running and never will (it may be waited for when it runs right now).
    void ForgetEnd();

    struct Shared;  // state shared with the reaper thread (internal)

  private:
    friend std::unique_ptr<ChildProcess> StartProcess(const std::vector<std::string>&,
                                                      const std::string&,
                                                      std::function<void(const ProcessEnd&)>);
    ChildProcess(pid_t pid, std::shared_ptr<Shared> shared);

    pid_t pid_;
    std::shared_ptr<Shared> shared_;
};

// Starts `argv[0]` (an absolute path; native UTF-8 strings) with `argv` in `directory` (empty:
// the current one). `onEnd` (optional) runs once on the reaper thread when the program ends.
// Answers null when the program could not be started.
std::unique_ptr<ChildProcess> StartProcess(const std::vector<std::string>& argv,
                                           const std::string& directory,
                                           std::function<void(const ProcessEnd&)> onEnd = {});

// The absolute path of the executable `name` in the ':'-separated `searchPath`, or nothing.
std::optional<std::string> FindProgram(std::string_view name, std::string_view searchPath);
// The PATH of this process ("/usr/local/bin:/usr/bin:/bin" when unset).
std::string DefaultSearchPath();

// Splits a Windows-style parameter text into arguments: blanks separate, double quotes group
// (a quote inside quotes may be doubled or written \"), so "/doc:\"a b\" /exe:c" gives
// {"/doc:a b", "/exe:c"}.
std::vector<std::string> SplitCommandLine(std::string_view parameters);

}  // namespace os
