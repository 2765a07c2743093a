#pragma once
// The real Shell. "open" gives a URL, a document or a folder to xdg-open and starts a program
// itself; "runas" starts a program through pkexec when it is installed (the desktop asks for
// the rights), else like "open". Under pkexec the program starts in root's home folder, not in
// `directory`: pass absolute paths to programs that are elevated.
//
// pkexec ends with 126 when the user dismissed its dialog and 127 when the rights were not
// given; both are reported as ElevationRefused.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/services/child_process.h"
#include "os/services/shell.h"

namespace os {

class SystemShell final : public Shell {
  public:
    // `searchPath`: where xdg-open and pkexec are looked for (':'-separated, like PATH).
    explicit SystemShell(std::string searchPath = DefaultSearchPath());
    // Started programs go on running; their ShellDone callbacks are no longer called.
    ~SystemShell() override;

    ShellStart Execute(const ShellRequest& request, ShellDone onDone) override;

  private:
    std::string searchPath_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<ChildProcess>> children_;
};

// Whether `file` names a URL ("http://...", "mailto:x@y"): a scheme of two or more letters,
// digits, '+', '-' or '.' (starting with a letter) and a ':'.
bool IsUrl(const std::string& file);

}  // namespace os
