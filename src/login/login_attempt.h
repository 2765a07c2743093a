#pragma once
// One login attempt's two threads: the worker, which waits for the engine's permission and
// sends the login, and the watcher ("CheckLoginTimeOut"), which waits for "LoginEvent" at most
// the login time-out and then acts on the login state word.
//
// Neither thread touches a window: what the panel must do is handed to `report`, which posts
// it to the panel's thread. Every wait goes through the clock and also wakes on the thread's
// stop event, so an attempt is ended by asking (Stop, EndWatch), never by killing a thread.
//
// Lifetime. The threads own the attempt's own state (request, stop events, phase) through
// shared ownership, but they use the world's collaborators (session, log, clock, flags and
// whatever `report` reaches) by reference. So they never outlive the attempt object: Stop
// waits a bounded time and may leave them running, but the destructor asks them to stop and
// waits until both have ended. An owner that must not wait (the panel's StopLogin) keeps a
// stopped attempt until its threads have ended or the owner goes, and the owner goes before
// the world. Once stopped, a thread only finishes what it is in the middle of (an engine
// call, a report) and returns at its next wait.

#include <atomic>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "os/sys/clock.h"
#include "os/sys/thread.h"

namespace core {
struct SessionFlags;
}
namespace os {
class Event;
class Log;
}  // namespace os
namespace platform {
class SessionCore;
}

namespace login {

class LoginStateWord;

// What the threads ask the panel to do (on the panel's thread).
enum class AttemptReport {
    // CanUserLogin said no: stop the progress display and show the inputs, silently.
    RefusedByEngine,
    // Time-out after Login accepted the attempt (or the state is unknown): inputs back and the
    // failure display with wParam 0.
    TimedOutAfterAnswer,
    // Time-out without a usable answer and no reconnect cycle: inputs back and the failure
    // display with wParam 1.
    TimedOutWithoutAnswer,
    // Login refused the attempt at once and the time-out passed: log the user out.
    LogOutUser,
};

// The reconnect cycle that a time-out starts when the panel reconnects by itself. Runs on the
// watcher thread; the token is set when the attempt is stopped.
using ReconnectCycle = std::function<void(std::stop_token)>;

struct AttemptRequest {
    std::string userName;  // as entered: the worker trims it and turns it to lower case
    std::string password;
    int userKind = 1;  // 1 government user, 2 public user
    std::string extraText;
    std::string groupName;  // added as ".group" when groupLogin is on and it is not blank
    bool groupLogin = false;
    std::string loginType;  // empty for the normal login, "MOBILE"
    int flag = 0;
    os::Millis timeoutMs = 20000;
    // Empty: a time-out without answer shows the failure (TimedOutWithoutAnswer).
    ReconnectCycle reconnect;
};

// The world's collaborators of an attempt's threads: they must outlive the attempt object
// (see Lifetime above).
struct AttemptServices {
    platform::SessionCore& session;
    os::Log& log;
    os::Clock& clock;
    core::SessionFlags& flags;
    std::shared_ptr<LoginStateWord> state;
    std::shared_ptr<os::Event> loginEvent;  // "LoginEvent"
    std::function<void(AttemptReport)> report;
};

// The user name the worker sends: trimmed, lower case, and ".group" added for a group login.
std::string LoginNameOf(const AttemptRequest& request);

class LoginAttempt {
  public:
    // Milliseconds the worker sleeps while the engine has not decided whether a login may go.
    static constexpr os::Millis kPermissionRetryMs = 3000;
    // How often the watcher asks the engine for permission.
    static constexpr os::Millis kPermissionPollMs = 1;

    // Starts both threads.
    LoginAttempt(AttemptServices services, AttemptRequest request);
    // Asks both threads to stop, as Stop does, and waits until both have ended.
    ~LoginAttempt();
    LoginAttempt(const LoginAttempt&) = delete;
    LoginAttempt& operator=(const LoginAttempt&) = delete;

    // Asks both threads to stop and waits up to `waitMs` for each; true when both ended.
    bool Stop(os::Millis waitMs);
    // Ends the watch unless it has already ended or timed out (a result came, the session
    // ends); true when it had not.
    bool EndWatch();
    // Either thread is still running.
    bool Running() const;

  private:
    struct Shared;
    // Ends the watch, sets both stop events and both stop tokens.
    void AskToStop();
    static void RunWorker(Shared& shared, std::stop_token stop);
    static void RunWatcher(Shared& shared, std::stop_token stop);
    static void OnTimeOut(Shared& shared, std::stop_token stop);

    std::shared_ptr<Shared> shared_;
    os::Thread worker_;
    os::Thread watcher_;
};

}  // namespace login
