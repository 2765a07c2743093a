// CDlgLogin: the reconnect countdown after a login time-out, its two links, and the network
// watch that logs in again after a lost connection.
#include "core/doors.h"
#include "core/doors/reconnect_flow.h"
#include "core/window_manager.h"
#include "login/dlg_login.h"
#include "os/controls/control.h"
#include "os/controls/label.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"

namespace {

constexpr const char* kCountdownText = "网络错误或服务器忙,%2d秒后重连...";

}  // namespace

login::ReconnectCycle CDlgLogin::MakeReconnectCycle() {
    os::WindowSystem& windows = context_.windows;
    const os::HWND panel = hwnd();
    // The panel lives as long as its window; a post to a window that is gone is dropped.
    login::ReconnectCycleServices services{
        context_.clock,
        context_.log,
        context_.windowManager().Flags(),
        reconnect_,
        [&windows, panel, this](int seconds) {
            windows.PostTask(panel, [this, seconds] { BeginCountdown(seconds); });
        },
        [&windows, panel, this](int choice) {
            windows.PostTask(panel, [this, choice] { EndCountdown(choice); });
        }};
    return [services = std::move(services)](std::stop_token stop) {
        login::RunReconnectCycle(services, stop);
    };
}

void CDlgLogin::BeginCountdown(int seconds) {
    countdown_ = seconds;
    SetTimer(kCountdownTimerId, kCountdownTickMs);
    ShowInputs(false);
    ShowProgress(os::Format(kCountdownText, countdown_));
    ShowReconnectLinks(true);
}

void CDlgLogin::EndCountdown(int choice) {
    KillTimer(kCountdownTimerId);
    ShowReconnectLinks(false);
    if (choice == login::kChoiceCancel) {
        ReturnToInputs();
        quietMode_ = false;
        return;
    }
    // The input check is skipped while the count is not 0: the fields are the last login's.
    PostMessage(os::WM_COMMAND, os::MAKEWPARAM(kLoginButtonId, 0), 0);
}

void CDlgLogin::OnCountdownTick() {
    --countdown_;
    progressLabel().SetText(os::Format(kCountdownText, countdown_));
    if (countdown_ > 0) return;
    KillTimer(kCountdownTimerId);
    reconnect_->choice = login::kChoiceReconnectNow;
    reconnect_->event.Set();
}

void CDlgLogin::OnReconnectChoice(os::WPARAM controlId) {
    int choice = login::kChoiceNone;
    if (controlId == static_cast<os::WPARAM>(kReconnectNowId)) choice = login::kChoiceReconnectNow;
    if (controlId == static_cast<os::WPARAM>(kCancelReconnectId)) choice = login::kChoiceCancel;
    if (choice == login::kChoiceNone) return;
    KillTimer(kCountdownTimerId);
    reconnect_->choice = choice;
    reconnect_->event.Set();
}

void CDlgLogin::OnNetworkWatch() {
    if (!context_.doors().reconnect->NetworkAvailable()) return;
    KillTimer(kNetworkWatchTimerId);
    SetReconnectCount(0);
    PostMessage(os::WM_COMMAND, os::MAKEWPARAM(kLoginButtonId, 0), 0);
}

void CDlgLogin::ShowReconnectLinks(bool show) {
    FindControl(kReconnectNowId)->SetVisible(show);
    FindControl(kCancelReconnectId)->SetVisible(show);
}
