#include "login/login_attempt.h"

#include <array>

#include "core/session_flags.h"
#include "login/login_state_word.h"
#include "os/services/log.h"
#include "os/sys/event.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"

namespace login {

struct LoginAttempt::Shared {
    Shared(AttemptServices s, AttemptRequest r)
        : services(std::move(s)),
          request(std::move(r)),
          workerStop(services.clock, os::EventReset::Manual),
          watcherStop(services.clock, os::EventReset::Manual) {}

    AttemptServices services;
    const AttemptRequest request;
    os::Event workerStop;
    os::Event watcherStop;
    // Where the watcher is. Whoever moves it to Done decides how the watch ends: the watcher
    // itself after its wait, or EndWatch / Stop at any time before that.
    enum Phase { Starting, Watching, Done };
    std::atomic<int> phase{Starting};
};

std::string LoginNameOf(const AttemptRequest& request) {
    std::string name = os::MakeLower(os::Trim(request.userName));
    const std::string group = os::TrimRight(request.groupName);
    if (request.groupLogin && !group.empty()) name += "." + group;
    return name;
}

LoginAttempt::LoginAttempt(AttemptServices services, AttemptRequest request)
    : shared_(std::make_shared<Shared>(std::move(services), std::move(request))) {
    worker_ = os::Thread("qorv-login",
                         [shared = shared_](std::stop_token stop) { RunWorker(*shared, stop); });
    watcher_ = os::Thread("qorv-login-watch",
                          [shared = shared_](std::stop_token stop) { RunWatcher(*shared, stop); });
}

LoginAttempt::~LoginAttempt() {
    AskToStop();
    // The threads use the world's collaborators by reference: they end before this object
    // goes, never after. Each is at a wait that the stop events end, or finishing an engine
    // call or a report.
    os::Clock& clock = shared_->services.clock;
    worker_.WaitEnded(clock, os::kInfinite);
    watcher_.WaitEnded(clock, os::kInfinite);
}

void LoginAttempt::AskToStop() {
    shared_->phase = Shared::Done;
    shared_->workerStop.Set();
    shared_->watcherStop.Set();
    worker_.RequestStop();
    watcher_.RequestStop();
}

bool LoginAttempt::Stop(os::Millis waitMs) {
    AskToStop();
    os::Clock& clock = shared_->services.clock;
    const bool workerEnded = !worker_.Joinable() || worker_.WaitEnded(clock, waitMs);
    const bool watcherEnded = !watcher_.Joinable() || watcher_.WaitEnded(clock, waitMs);
    return workerEnded && watcherEnded;
}

bool LoginAttempt::EndWatch() {
    if (shared_->phase.exchange(Shared::Done) == Shared::Done) return false;
    shared_->watcherStop.Set();
    watcher_.RequestStop();
    return true;
}

bool LoginAttempt::Running() const { return worker_.Running() || watcher_.Running(); }

void LoginAttempt::RunWorker(Shared& shared, std::stop_token stop) {
    AttemptServices& s = shared.services;
    const AttemptRequest& request = shared.request;
    for (;;) {
        if (stop.stop_requested() || shared.workerStop.IsSet()) return;
        const int answer = s.session.CanUserLogin();
        if (answer == platform::kCanLoginYes) break;
        if (answer == platform::kCanLoginNo) {
            s.state->Write(kLoginSettled);
            s.flags.loggingIn = false;
            s.report(AttemptReport::RefusedByEngine);
            return;
        }
        // Not decided yet (the engine may be checking for a new version): ask it to stop
        // that check and try again.
        if (shared.workerStop.Wait(kPermissionRetryMs)) return;
        s.session.StopCheckMainVerUpdate();
    }

    const std::string userName = LoginNameOf(request);
    s.log.WriteLog("验证登录名:" + userName);
    s.session.SetCurrentUserLoginType(request.loginType);
    const int result = s.session.Login(userName, request.password, request.userKind,
                                       request.extraText, request.flag);
    // An attempt ended meanwhile (time-out, StopLogin) leaves the state word to its ender.
    if (stop.stop_requested() || shared.workerStop.IsSet()) return;
    s.state->Write(result == platform::kLoginAccepted ? kLoginSettled : kLoginRefused);
}

void LoginAttempt::RunWatcher(Shared& shared, std::stop_token stop) {
    AttemptServices& s = shared.services;
    s.log.WriteLog("进入CheckLoginTimeOut()...");
    for (;;) {
        if (stop.stop_requested()) return;
        const int answer = s.session.CanUserLogin();
        if (answer == platform::kCanLoginYes) break;
        if (answer == platform::kCanLoginNo) return;  // the worker reports the refusal
        if (shared.watcherStop.Wait(kPermissionPollMs)) return;
    }

    int phase = Shared::Starting;
    if (!shared.phase.compare_exchange_strong(phase, Shared::Watching)) return;
    const std::array<os::Event*, 2> events = {&shared.watcherStop, s.loginEvent.get()};
    const int signalled = os::WaitForAny(s.clock, events, shared.request.timeoutMs);
    // EndWatch or Stop took the watch over: the attempt is someone else's now.
    if (shared.phase.exchange(Shared::Done) != Shared::Watching || signalled == 0) return;

    if (signalled == 1) {
        s.log.WriteLog("登录成功");
    } else {
        OnTimeOut(shared, stop);
    }
    s.log.WriteLog("退出CheckLoginTimeOut()...");
}

void LoginAttempt::OnTimeOut(Shared& shared, std::stop_token stop) {
    AttemptServices& s = shared.services;
    const std::int32_t state = s.state->Read();
    s.flags.loggingIn = false;
    if (state == kLoginSettled || state == kLoginStateUnknown) {
        s.report(AttemptReport::TimedOutAfterAnswer);
        return;
    }
    if (state == kLoginRefused) {
        s.report(AttemptReport::LogOutUser);
    } else {
        // The worker never came back from Login: it is asked to stop and left behind.
        shared.workerStop.Set();
    }
    if (shared.request.reconnect) {
        shared.request.reconnect(stop);
    } else {
        s.report(AttemptReport::TimedOutWithoutAnswer);
    }
}

}  // namespace login
