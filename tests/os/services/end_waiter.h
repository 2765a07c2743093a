#pragma once
// Collects the report of a started program's end, which arrives on a background thread. The
// wait is bounded only as a guard against a broken test hanging; a passing test never comes
// near the bound.

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace services_test {

template <typename T>
class EndWaiter {
  public:
    auto Callback() {
        return [this](const T& value) {
            std::lock_guard lock(mutex_);
            value_ = value;
            cv_.notify_all();
        };
    }
    std::optional<T> Wait() {
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, std::chrono::seconds(30), [&] { return value_.has_value(); });
        return value_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::optional<T> value_;
};

}  // namespace services_test
