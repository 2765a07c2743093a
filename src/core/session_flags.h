#pragma once
// The flags that steer a session's end, shared between the UI thread, the notification
// thread and the login worker. They are atomics: written by one thread and read by another
// without a lock, as the client has always used them, but without a data race.

#include <atomic>
#include <cstdint>

namespace core {

struct SessionFlags {
    // The connection is gone. Set by the notification thread; cleared when the post-login
    // interface is shown again. While set, the exit confirmation answers yes at once and a
    // session end closes windows without finality and keeps the rooms for re-entry.
    std::atomic<bool> connectionLost{false};
    // The server reported a second login of this account elsewhere. Set by the notification
    // thread; cleared by the next successful login.
    std::atomic<bool> loggedInElsewhere{false};
    // The user asked to log out. Set by UserLogout; cleared when a new login starts.
    std::atomic<bool> userLogoutRequested{false};
    // A dialog is doing work on the server (deleting or renaming a group, downloading user
    // information); leaving now may spoil data, so the exit confirmation warns.
    std::atomic<bool> busyWithServer{false};
    // A login attempt is running (set when it starts, cleared when it ends in any way).
    std::atomic<bool> loggingIn{false};
    // The running login attempt was cancelled; the delayed interface switch then stays away.
    std::atomic<bool> loginCancelled{false};
    // A user is logged in: set by the login result handling and by the switch to the
    // post-login interface, cleared by every session end.
    std::atomic<bool> loggedIn{false};
    // The session is ending (the side pane and the dialogs are being closed); cleared by a
    // successful login.
    std::atomic<bool> sessionEnding{false};
    // Milliseconds the switch to the post-login interface waits while the contact data
    // loads; 0 = switch at once.
    std::atomic<std::uint32_t> loginWaitTimeOut{0};
    // The contact caches are written at log-out: set at login, cleared by the clearing of the
    // cache files (so deleted caches are not written again in the same session).
    std::atomic<bool> saveContactCaches{false};
    // 1 while the incoming-message counting thread runs during that wait, else 0.
    std::atomic<int> loginStat{0};
};

}  // namespace core
