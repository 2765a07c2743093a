#pragma once
// The door to the reconnect flow: what a login time-out starts while the login panel
// reconnects by itself, and whether the network watch after a lost connection may log in.

#include <functional>
#include <stop_token>

namespace core {

class ReconnectFlow {
  public:
    virtual ~ReconnectFlow() = default;
    // The cycle that a login time-out without an answer starts while the panel reconnects by
    // itself (reconnect mode 0). It runs on the login watcher thread, so it must hold what it
    // needs; the token is set when the attempt is stopped. Empty: the failure is shown as
    // with any other reconnect mode.
    virtual std::function<void(std::stop_token)> Cycle() { return {}; }
    // Asked by the network watch after a lost connection, on the UI thread: the computer
    // has a network again, so a login may go. Unplugged: the watch goes on waiting.
    virtual bool NetworkAvailable() { return false; }
};

}  // namespace core
