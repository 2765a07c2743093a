#pragma once
// A record of the requests an engine was given, for tests: each call's name and its
// arguments as text (numbers in decimal). Thread-safe.

#include <cstddef>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct SessionCall {
    std::string name;
    std::vector<std::string> args;
    friend bool operator==(const SessionCall&, const SessionCall&) = default;
};

class CallLog {
  public:
    void Record(std::string_view name, std::initializer_list<std::string> args);

    std::vector<SessionCall> Calls() const;
    // The calls of one name, oldest first.
    std::vector<SessionCall> Named(std::string_view name) const;
    std::size_t Count(std::string_view name) const;
    void Clear();

  private:
    mutable std::mutex mutex_;
    std::vector<SessionCall> calls_;
};

}  // namespace platform
