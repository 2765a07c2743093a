#pragma once
// A Shell for tests: starts nothing, records every request in order, answers what the test
// queued (Started when nothing is queued; UnknownVerb for a verb the real shell rejects) and
// lets the test end a started request the way the real program would have ended.

#include <mutex>
#include <vector>

#include "os/services/shell.h"

namespace os {

class RecordingShell final : public Shell {
  public:
    ShellStart Execute(const ShellRequest& request, ShellDone onDone) override;

    // The answers of the next calls, first queued first.
    void QueueStart(ShellStart answer);

    std::vector<ShellRequest> Requests() const;
    size_t RequestCount() const;

    // Ends request `index` (0-based, in call order) with `outcome`: its ShellDone runs on the
    // calling thread. False when there is no such started request, it gave no ShellDone or it
    // has already been ended.
    bool Finish(size_t index, const ShellOutcome& outcome);

  private:
    struct Entry {
        ShellRequest request;
        ShellStart answer;
        ShellDone onDone;
    };
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
    std::vector<ShellStart> queued_;
};

}  // namespace os
