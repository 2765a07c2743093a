#pragma once
// The reconnect cycle a login time-out starts while the panel reconnects by itself: the count
// of cycles in a row grows by one, the panel counts down 10 s for each (10, 20, 30 ...), and
// the cycle waits for the countdown's end or the user's choice ("立即重连" / "取消重连").
//
// The cycle runs on the login watcher thread; the countdown, the links and the new attempt
// belong to the panel's thread. They meet only through ReconnectState: the choice and the
// event the panel sets when the countdown ends or a link is clicked.

#include <atomic>
#include <functional>
#include <memory>
#include <stop_token>

#include "os/sys/clock.h"
#include "os/sys/event.h"

namespace core {
struct SessionFlags;
}
namespace os {
class Log;
}

namespace login {

enum ReconnectChoice : int { kChoiceNone = 0, kChoiceReconnectNow = 1, kChoiceCancel = 2 };

struct ReconnectState {
    explicit ReconnectState(os::Clock& clock) : event(clock, os::EventReset::Auto) {}
    // Time-outs in a row that ended in a countdown; a login or the network watch resets it.
    std::atomic<int> count{0};
    std::atomic<int> choice{kChoiceNone};
    os::Event event;  // the countdown ended or a link was clicked
};

// Seconds of the countdown after `count` time-outs in a row.
constexpr int CountdownSeconds(int count) { return count * 10; }

struct ReconnectCycleServices {
    os::Clock& clock;
    os::Log& log;
    core::SessionFlags& flags;
    std::shared_ptr<ReconnectState> state;
    // On the panel's thread (posted): start the countdown of so many seconds.
    std::function<void(int seconds)> beginCountdown;
    // On the panel's thread (posted): the cycle ended with this choice.
    std::function<void(int choice)> endCountdown;
};

// One cycle; returns at once, doing nothing more, when `stop` is set.
void RunReconnectCycle(const ReconnectCycleServices& services, std::stop_token stop);

}  // namespace login
