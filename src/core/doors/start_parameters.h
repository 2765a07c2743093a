#pragma once
// The door to the start parameters: the command line and the requests of a second start.

#include <string>

namespace core {

class StartParameters {
  public:
    virtual ~StartParameters() = default;
    // Parses the start command line (empty: the process's own).
    virtual void Parse(const std::string& /*commandLine*/) {}
    // A request that carries a command line: parse it, then log in or act on it.
    virtual void Act(const std::string& /*commandLine*/) {}
    // When the login panel begins: starts the login that the start parameters carry, if
    // any; true when they carried one (the automatic login is then skipped).
    virtual bool StartCommandLineLogin() { return false; }
    // Every 5 s while logged in: opens the requested chat and carries out the requested
    // action, each at most once per request (an action that cannot run yet stays pending for
    // the next call).
    virtual void Perform() {}
};

}  // namespace core
