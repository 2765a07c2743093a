#pragma once
// ShellExecute: hand a file, a folder, a URL or a program to the desktop. Two verbs exist:
// "open" (the desktop's handler through xdg-open; a program is started) and "runas" (a
// program started with elevated rights through pkexec when it is installed, else a plain
// start). An empty verb means "open"; verbs compare without regard to case.
//
// The call never waits for the started program. Whoever needs to know how it ended (the
// updater needs to know whether the user refused the elevation) passes `onDone`.

#include <functional>
#include <string>
#include <vector>

namespace os {

struct ShellRequest {
    std::string verb;        // "open", "runas" or "" (GBK, like the rest)
    std::string file;        // path, folder, URL ("http://...", "mailto:...") or program
    std::string parameters;  // command line for a program, Windows-style quoting
    std::string directory;   // working folder for a program; empty: the current one
};

enum class ShellStart {
    Started,
    UnknownVerb,
    FileNotFound,  // not a URL and nothing exists at that path
    NoHandler,     // xdg-open is not installed
    Failed,        // the program could not be started
};

struct ShellOutcome {
    enum class How {
        Finished,          // ended by itself; `exitCode` is its status
        ElevationRefused,  // "runas": the user refused or could not give the rights
        Killed,            // ended by a signal
        Unknown,           // its end could not be observed
    };
    How how = How::Unknown;
    int exitCode = 0;
};

// Runs once, on a background thread, when the started program has ended. Never called when
// the start failed.
using ShellDone = std::function<void(const ShellOutcome&)>;

class Shell {
  public:
    virtual ~Shell() = default;

    virtual ShellStart Execute(const ShellRequest& request, ShellDone onDone) = 0;

    ShellStart ShellExecute(std::string verb, std::string file, std::string parameters = {},
                            std::string directory = {}, ShellDone onDone = {}) {
        return Execute(ShellRequest{std::move(verb), std::move(file), std::move(parameters),
                                    std::move(directory)},
                       std::move(onDone));
    }
};

enum class ShellVerb { Open, RunAs, Unknown };
ShellVerb ParseShellVerb(const std::string& verb);

}  // namespace os
