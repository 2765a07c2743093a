#include "login/reconnect_cycle.h"

#include <array>

#include "core/session_flags.h"
#include "os/services/log.h"

namespace login {

void RunReconnectCycle(const ReconnectCycleServices& s, std::stop_token stop) {
    ReconnectState& state = *s.state;
    const int seconds = CountdownSeconds(++state.count);
    // A click or a tick left over from an earlier countdown is not this one's.
    state.choice = kChoiceNone;
    state.event.Reset();
    s.log.WriteLog("CDlgLogin::准备重连,等待倒计时....\n");
    s.beginCountdown(seconds);

    os::Event stopped(s.clock, os::EventReset::Manual);
    const std::stop_callback onStop(stop, [&stopped] { stopped.Set(); });
    const std::array<os::Event*, 2> events = {&stopped, &state.event};
    // One second longer than the countdown, so its last tick always comes first.
    const int signalled = os::WaitForAny(s.clock, events, os::Millis{seconds} * 1000 + 1000);
    if (signalled == 0) return;
    s.flags.loggingIn = false;
    if (signalled == os::kWaitTimeout) {
        s.log.WriteLog("CDlgLogin::重连时状态错误....");
        return;
    }
    const int choice = state.choice.load();
    s.log.WriteLog(choice == kChoiceCancel ? "CDlgLogin::取消重连...." : "CDlgLogin::开始重连....");
    s.endCountdown(choice);
}

}  // namespace login
