#pragma once
// An environment variable set (or, with nullopt, removed) for a scope; the old value, or its
// absence, comes back when the scope ends. For the time zone, the C library is told at both
// ends (tzset).

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace testing_support {

class ScopedEnv {
  public:
    ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) old_ = old;
        Put(value);
    }
    ~ScopedEnv() { Put(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void Put(const std::optional<std::string>& value) {
        if (value) {
            setenv(name_.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
        if (name_ == "TZ") tzset();
    }

    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace testing_support
