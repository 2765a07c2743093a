#pragma once
// The door to the reconnect flow: what a login time-out starts while the login panel
// reconnects by itself.

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
};

}  // namespace core
