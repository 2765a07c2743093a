#include "platform/session/call_log.h"

namespace platform {

void CallLog::Record(std::string_view name, std::initializer_list<std::string> args) {
    std::lock_guard lock(mutex_);
    calls_.push_back(SessionCall{std::string(name), std::vector<std::string>(args)});
}

std::vector<SessionCall> CallLog::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<SessionCall> CallLog::Named(std::string_view name) const {
    std::lock_guard lock(mutex_);
    std::vector<SessionCall> found;
    for (const SessionCall& call : calls_) {
        if (call.name == name) found.push_back(call);
    }
    return found;
}

std::size_t CallLog::Count(std::string_view name) const {
    std::lock_guard lock(mutex_);
    std::size_t count = 0;
    for (const SessionCall& call : calls_) count += call.name == name ? 1 : 0;
    return count;
}

void CallLog::Clear() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

}  // namespace platform
