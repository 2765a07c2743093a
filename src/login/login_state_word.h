#pragma once
// The login state word: 4 bytes of shared memory "StateFile" that any process of the session
// may read, guarded across processes by the auto-reset event "LoginStateEvent" (taken by
// waiting on it, given back by setting it).

#include <cstdint>
#include <memory>

#include "os/sys/clock.h"

namespace os {
class Event;
class NamedObjectSpace;
class SharedMemory;
}  // namespace os

namespace login {

inline constexpr std::int32_t kLoginRunning = 0;   // the worker has not returned yet
inline constexpr std::int32_t kLoginRefused = 1;   // Login refused the attempt at once
inline constexpr std::int32_t kLoginSettled = -1;  // accepted by Login, or refused by CanUserLogin
inline constexpr std::int32_t kLoginStateUnknown = 100;  // no state memory

inline constexpr const char* kStateMemoryName = "StateFile";
inline constexpr const char* kStateLockName = "LoginStateEvent";

class LoginStateWord {
  public:
    // Creates (or opens) the shared memory and its lock in `space`. Thread-safe after that.
    LoginStateWord(const os::NamedObjectSpace& space, os::Clock& clock);
    ~LoginStateWord();
    LoginStateWord(const LoginStateWord&) = delete;
    LoginStateWord& operator=(const LoginStateWord&) = delete;

    // False when the shared memory could not be made.
    bool Write(std::int32_t state);
    // The state, or kLoginStateUnknown when the shared memory does not exist.
    std::int32_t Read();

  private:
    const os::NamedObjectSpace& space_;
    std::shared_ptr<os::Event> lock_;
    std::unique_ptr<os::SharedMemory> memory_;  // under lock_
};

}  // namespace login
