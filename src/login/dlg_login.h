#pragma once
// CDlgLogin: the login panel, the child window that fills the host's client area before a
// user is logged in. Exactly one of the login panel and the main panel is visible.
//
// It checks what the user typed, takes the account's login mutex, runs the login on a worker
// thread watched by a time-out thread (login_attempt.h), and handles the engine's login
// result. The threads never touch the panel: what they need done is posted to its thread.
//
// The logging-in flag is the window manager's (SessionFlags::loggingIn); the panel sets it
// when an attempt starts and it is cleared however the attempt ends.
//
// Work of other subsystems goes through the context's doors (core/doors.h): the login of the
// start parameters, the user settings, the session start of the main window shell and the
// feature libraries, the reconnect cycle of a time-out, the rooms and the notification pump.
//
// Named objects made by the panel and shared by name with the session engine: "LoginEvent"
// (set by the engine when a login has fully succeeded), "InitResultEvent", and the login
// state word "StateFile" with its lock "LoginStateEvent" (login_state_word.h).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/client_context.h"
#include "login/command_line.h"
#include "login/login_attempt.h"
#include "login/login_history.h"
#include "login/reconnect_cycle.h"
#include "os/ui/window.h"

namespace os {
class Event;
class Label;
class ProgressBar;
}  // namespace os
namespace platform {
struct LoginResultData;
}
namespace login {
class LoginStateWord;
}

class CDlgLogin final : public os::Window {
  public:
    // Control ids.
    static constexpr int kAccountId = 9000;
    static constexpr int kPasswordId = 9001;
    static constexpr int kUserKindId = 9002;
    static constexpr int kExtraTextId = 9003;
    static constexpr int kLoginButtonId = 9004;  // IDC_LOGIN
    static constexpr int kRememberPasswordId = 9037;
    static constexpr int kAutoLoginId = 9135;
    static constexpr int kProgressLabelId = 9140;
    static constexpr int kProgressBarId = 9141;
    // Single sign-on organisation selection, and the label that shows the chosen unit.
    static constexpr int kOrganisationButtonId = 9200;
    static constexpr int kOrganisationLabelId = 9201;
    // WM_COMMAND id of the login with a mobile number.
    static constexpr int kMobileLoginCommand = 20123;

    // Messages of the panel.
    static constexpr os::UINT kShowLoginFailure = 0x047C;  // wParam 1: network error box
    static constexpr os::UINT kNicknameTaken = 0x047B;     // ask for another nickname
    // One-shot timer between the two SMS quota queries after a login.
    static constexpr std::uint64_t kSmsQuotaTimerId = 1002;
    static constexpr os::Millis kSmsQuotaPauseMs = 10;
    // The reconnect countdown (one tick a second) and the network watch after a lost
    // connection (every 10 s, started by the notification thread).
    static constexpr std::uint64_t kCountdownTimerId = 1000;
    static constexpr os::Millis kCountdownTickMs = 1000;
    static constexpr std::uint64_t kNetworkWatchTimerId = 1001;
    // The two links of the countdown; a click on either sends kReconnectChoice with its id.
    static constexpr int kReconnectNowId = 5337;
    static constexpr int kCancelReconnectId = 5338;
    static constexpr os::UINT kReconnectChoice = 0x2262;
    // The longest StopLogin waits for each thread of an attempt.
    static constexpr os::Millis kStopWaitMs = 1000;

    // The fixed number that, with a nickname and "$gov", makes a nickname login's account.
    static constexpr const char* kNicknameAccountNumber = "10000000000";

    enum class LoginKind { Normal, Mobile, Nickname };

    // How often the login command arrived (button, UserLogin, Enter on the host window).
    int LoginCommands() const { return loginCommands_; }

    explicit CDlgLogin(core::ClientContext& context);
    ~CDlgLogin() override;

    // Creates the panel as a child of `parent` (the host's client window) covering `rect`.
    bool Create(os::HWND parent, const os::Rect& rect, bool visible);

    // ---- Entry points of the window manager
    // Start-up is done: show the last account and log in at once when the automatic login
    // or a command-line login applies.
    void Begin();
    // The session ended by itself: log in again quietly.
    void StartAutoRelogin();
    // FreeWindows: let go of the panel's threads.
    void ReleaseResources();
    // Ends the login time-out watch of a running attempt; true when one was running.
    bool EndTimeoutWatch();
    // Tab on the host window: the next input field takes the focus.
    void FocusNextField();
    // A message for the panel's menus and keys before it is dispatched; true when consumed.
    // Enter on the panel logs in; Escape is swallowed (the panel is no dialog to close).
    bool PreTranslateMessage(os::Msg& message);

    // ---- The login
    // The engine's login result (notification type 0), on the UI thread.
    void OnLoginResult(const platform::LoginResultData& result);
    // A login under a nickname (anonymous).
    void StartNicknameLogin(const std::string& nickname);
    // The login of the start parameters: their account (its user kind and organisation
    // split off) with their password, or with the saved password of that account when they
    // carry none; without either nothing starts.
    void StartCommandLineLogin(const login::CommandLineRequest& request);
    // Ends the running attempt's threads (waiting at most 1000 ms for each) and clears the
    // logging-in flag. Threads still running then are kept until they end or the panel goes.
    void StopLogin();
    // Threads of the panel's attempts still run (tests wait for them).
    bool LoginThreadsRunning() const;
    // The reconnect cycle of this panel, for the reconnect door to hand to an attempt.
    login::ReconnectCycle MakeReconnectCycle();

    // ---- Progress display and inputs
    // Shows the progress bar and the label with `text`.
    void ShowProgress(std::string text);
    // Stops and hides the progress bar and the label.
    void HideProgress();
    os::Label& progressLabel() const;
    os::ProgressBar& progressBar() const;
    // Shows or hides the input controls (fields, check boxes, login button).
    void ShowInputs(bool show);

    bool IsLoggingIn() const;
    void SetLoggingIn(bool loggingIn);

    // ---- State other parts of the login rely on
    bool quietMode() const { return quietMode_; }
    void SetQuietMode(bool quiet) { quietMode_ = quiet; }
    bool anonymous() const { return anonymous_; }
    int reconnectCount() const { return reconnect_->count.load(); }
    void SetReconnectCount(int count) { reconnect_->count = count; }
    int countdown() const { return countdown_; }
    int reconnectMode() const { return reconnectMode_; }
    void SetReconnectMode(int mode) { reconnectMode_ = mode; }
    std::uint32_t loginStartTick() const { return loginStartTick_; }
    const std::vector<login::SavedAccount>& savedAccounts() const { return history_.accounts(); }
    const std::vector<login::SavedAccount>& savedMobileAccounts() const {
        return mobileHistory_.accounts();
    }

    // The organisation chosen for a group login: added to the user name as ".group" when
    // the `HasGroupLogin` component is on (its single-sign-on code; "" when none was chosen).
    const std::string& groupName() const { return groupName_; }

    // The login time-out in milliseconds for a configured LoginTimeOut in seconds: at least
    // 10 s, and the default 20 s when it is not positive.
    static os::Millis LoginTimeoutMs(int configuredSeconds);

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    // What the current attempt sends, kept for the history when it succeeds.
    struct AttemptDetails {
        LoginKind kind = LoginKind::Normal;
        std::string account;  // the account as the mutex and the history name it
        std::string password;
        int userKind = 1;
        std::string extraText;
    };

    void AddControls();
    // Places the controls for a panel of this size (dlg_login_layout.cpp).
    void LayOutControls(int width, int height);
    void LoadHistories();
    void FillAccounts();
    void ShowSavedAccount(const login::SavedAccount& account);
    void OnAccountChosen();

    void OnLoginPressed(LoginKind kind);
    bool PassesInputCheck(const std::string& userName, const std::string& password);
    // Takes the account mutex unless this process holds one; false (with the message shown)
    // when another process is logged in with the account.
    enum class MutexStep { Ready, TakenNow, Refused };
    MutexStep TakeAccountMutex(const std::string& account, LoginKind kind);
    bool ConfirmAccountSwitch(const std::string& account);
    void ClearOldSession();
    void StartAttempt(login::AttemptRequest request);
    // Stops the running attempt, if any (waiting at most kStopWaitMs); keeps it in
    // stoppedAttempts_ when its threads still run, and lets go of kept ones that have ended.
    void RetireAttempt();
    void OnAttemptReport(login::AttemptReport report);
    void ReturnToInputs();
    void ReleaseAccountMutex();

    void OnLoginSucceeded();
    void OnLoginFailed();
    void RememberAccount();
    void OnShowLoginFailure(os::WPARAM wParam);
    std::string ConnectionFailureText() const;
    void OnNicknameTaken();
    // The reconnect countdown and the network watch (dlg_login_reconnect.cpp).
    void BeginCountdown(int seconds);
    void EndCountdown(int choice);
    void OnCountdownTick();
    void OnReconnectChoice(os::WPARAM controlId);
    void OnNetworkWatch();
    void ShowReconnectLinks(bool show);
    // Button 9200: the organisation dialog, or the message that no service is configured.
    void OnChooseOrganisation();

    std::string Text(int controlId) const;
    void SetText(int controlId, std::string text);
    bool Checked(int controlId) const;
    void SetChecked(int controlId, bool checked);

    core::ClientContext& context_;
    std::shared_ptr<os::Event> loginEvent_;
    std::shared_ptr<os::Event> initResultEvent_;
    std::shared_ptr<login::LoginStateWord> stateWord_;
    login::LoginHistory history_;
    login::LoginHistory mobileHistory_;
    std::unique_ptr<login::LoginAttempt> attempt_;
    // Attempts asked to stop whose threads had not ended within kStopWaitMs. Their threads
    // use the world's collaborators, so the panel keeps them until they end (pruned whenever
    // an attempt stops) and waits for them when it goes.
    std::vector<std::unique_ptr<login::LoginAttempt>> stoppedAttempts_;
    AttemptDetails details_;
    std::string lastAccount_;  // the account logged in last
    bool anonymous_ = false;
    bool quietMode_ = false;
    // Shared with the reconnect cycle on the watcher thread.
    std::shared_ptr<login::ReconnectState> reconnect_;
    int countdown_ = 0;  // seconds left of the reconnect countdown
    int reconnectMode_ = 0;
    std::uint32_t loginStartTick_ = 0;
    std::uint32_t loginTick_ = 0;
    std::string nickname_;
    std::string groupName_;
    int loginCommands_ = 0;
};
