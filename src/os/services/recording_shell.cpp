#include "os/services/recording_shell.h"

namespace os {

ShellStart RecordingShell::Execute(const ShellRequest& request, ShellDone onDone) {
    std::lock_guard lock(mutex_);
    ShellStart answer = ShellStart::Started;
    if (ParseShellVerb(request.verb) == ShellVerb::Unknown) {
        answer = ShellStart::UnknownVerb;
    } else if (!queued_.empty()) {
        answer = queued_.front();
        queued_.erase(queued_.begin());
    }
    if (answer != ShellStart::Started) onDone = nullptr;
    entries_.push_back(Entry{request, answer, std::move(onDone)});
    return answer;
}

void RecordingShell::QueueStart(ShellStart answer) {
    std::lock_guard lock(mutex_);
    queued_.push_back(answer);
}

std::vector<ShellRequest> RecordingShell::Requests() const {
    std::lock_guard lock(mutex_);
    std::vector<ShellRequest> requests;
    requests.reserve(entries_.size());
    for (const Entry& entry : entries_) requests.push_back(entry.request);
    return requests;
}

size_t RecordingShell::RequestCount() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

bool RecordingShell::Finish(size_t index, const ShellOutcome& outcome) {
    ShellDone onDone;
    {
        std::lock_guard lock(mutex_);
        if (index >= entries_.size() || !entries_[index].onDone) return false;
        onDone = std::move(entries_[index].onDone);
        entries_[index].onDone = nullptr;
    }
    onDone(outcome);
    return true;
}

}  // namespace os
