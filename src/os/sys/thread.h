#pragma once
// A named worker thread that is asked to stop, never killed.
//
// The body receives a std::stop_token and is expected to check it (or to wait on events that
// the stopper sets). The destructor asks the body to stop and joins it if it has ended;
// otherwise it detaches, and the body runs on alone: it must own everything it touches
// (capture shared_ptrs, not references to the owner), as the owner may be gone.

#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>

#include "os/sys/clock.h"

namespace os {

class Thread {
  public:
    Thread() = default;
    // Starts `body` at once on a new thread. `name` is the thread's system name (cut to 15
    // bytes) and shows in debuggers and sanitizer reports.
    Thread(std::string name, std::function<void(std::stop_token)> body);
    ~Thread();

    Thread(Thread&& other) noexcept;
    // Lets go of the current thread as the destructor would, then takes over `other`'s.
    Thread& operator=(Thread&& other) noexcept;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Sets the body's stop token. Does not wait.
    void RequestStop();
    bool StopRequested() const;

    // A thread was started and has not been joined or detached yet.
    bool Joinable() const;
    // The body has started and not yet returned.
    bool Running() const;
    // Waits up to `timeoutMs` of `clock`'s time (kInfinite: no limit) for the body to return.
    // True when it has returned; the thread is then joined. False on time-out (still running).
    bool WaitEnded(Clock& clock, Millis timeoutMs);
    // Detaches without asking to stop (the body runs on alone).
    void Detach();
    // Runs `callback` once the body has returned: on the ending thread right after Running()
    // turns false, or at once on the calling thread when it has returned already (or no thread
    // was started). For a waiter that cannot block on WaitEnded (it has other work to wake
    // for); the callback must not call back into this Thread object.
    void CallWhenEnded(std::function<void()> callback);

    // Id of the running thread, or a default id when there is none.
    std::thread::id Id() const;
    const std::string& name() const { return name_; }

  private:
    struct State;
    void Release();

    std::string name_;
    std::shared_ptr<State> state_;
    std::thread thread_;
    std::thread::id id_;
};

}  // namespace os
