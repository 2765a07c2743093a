#pragma once
// StartupTimers: the staggered start of a session on the main panel. Once the main window
// shows its logged-in layout, StartAfterLogin starts numbered timers of the panel with the
// delays of the configuration (seconds there, -1: the timer is not started), and OnTimer does
// what each one stands for when it fires:
//
//   1  every 30 s   the idle rule: an online user idle for AutoChangeStateOnIdleTimeout
//                   minutes becomes "away", and online again on the next input; a presence
//                   the user chose (busy, away) is never changed; an unknown idle time
//                   counts as not idle
//   2  GetFirstLevTreeWait     stops, nothing else
//   3  Startup IE DelayTime    the startup web window
//   4  LoadCustomTabUrlDelay   the custom tab pages (0: at once, negative: never)
//   5  ToolBar QueryDelay      the tool-bar shortcut list
//   6  (started elsewhere)     the initial-password check
//   7  UpdatefileDelay, at least 30 s (the configured value is raised)   the file-update check
//   8  10 s                    the organisation lists, then the roster and the phone book
//                              unless they were requested already, 100 ms apart
//   9  every 5 s               the pending command-line actions
//   10 (started elsewhere)     the VPN connection
//
// Work that belongs to parts of the client not built yet is a seam: an empty function of
// StartupSeams, named in the log at StartAfterLogin as waiting. UI thread only.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "os/sys/clock.h"
#include "os/ui/hwnd.h"

namespace core {
class ClientContext;
}

namespace login {

enum StartupTimerId : std::uint64_t {
    kIdleTimer = 1,
    kFirstLevelTreeTimer = 2,
    kStartupPageTimer = 3,
    kCustomTabsTimer = 4,
    kShortcutsTimer = 5,
    kInitialPasswordTimer = 6,
    kFileUpdateTimer = 7,
    kContactListsTimer = 8,
    kCommandLineTimer = 9,
    kVpnTimer = 10,
};

struct StartupSeams {
    std::function<void()> openStartupPage;        // timer 3
    std::function<void()> startOnlineCountQuery;  // QueryRootOnlineNumInterval
    std::function<void()> loadCustomTabs;         // timer 4, or at once
    std::function<void()> queryShortcuts;         // timer 5
    std::function<void()> openPasswordChange;     // timer 6, after its message
    std::function<void()> buildRecentContacts;    // HasRecentContact
    std::function<void()> startVpn;               // timer 10
};

class StartupTimers {
  public:
    static constexpr os::Millis kIdlePeriodMs = 30000;
    static constexpr os::Millis kContactListsDelayMs = 10000;
    static constexpr os::Millis kCommandLinePeriodMs = 5000;
    static constexpr os::Millis kRequestPauseMs = 100;
    static constexpr int kShortestUpdatefileDelay = 30;

    // `panel` answers the main panel whose timers these are.
    StartupTimers(core::ClientContext& context, std::function<os::HWND()> panel);

    void StartAfterLogin();
    // The session ended: every timer of the start stops and an automatic away is forgotten.
    void Stop();
    void EnableIdleTimer(bool enable);
    // A timer of the main panel fired; false when it is none of the start's.
    bool OnTimer(std::uint64_t id);

    // Milliseconds since the host's last keyboard or mouse input; nothing when unknown.
    void SetIdleSource(std::function<std::optional<os::Millis>()> source) {
        idleSource_ = std::move(source);
    }
    // The presence the user has now (every change of it passes here).
    void NotePresence(std::string word) { presence_ = std::move(word); }
    const std::string& presence() const { return presence_; }
    bool autoAwayActive() const { return autoAwayActive_; }
    StartupSeams& seams() { return seams_; }

  private:
    void Start(std::uint64_t id, os::Millis periodMs);
    void StopTimer(std::uint64_t id);
    void RunIdleRule();
    void CheckInitialPassword();
    void RequestContactLists();
    void ChangePresence(const std::string& word);
    // Runs the seam, or logs that its step waits.
    void Run(const std::function<void()>& seam, const char* step);
    void LogWaitingSeams();

    core::ClientContext& context_;
    std::function<os::HWND()> panel_;
    std::function<std::optional<os::Millis>()> idleSource_;
    StartupSeams seams_;
    std::string presence_ = "online";
    bool autoAwayActive_ = false;
    // What timer 8 still has to ask for, one request per tick (true: it asked).
    std::vector<std::function<bool()>> contactListSteps_;
};

}  // namespace login
