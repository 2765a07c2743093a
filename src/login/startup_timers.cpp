#include "login/startup_timers.h"

#include "config/client_config.h"
#include "core/client_context.h"
#include "core/doors.h"
#include "core/doors/main_window_shell.h"
#include "core/doors/start_parameters.h"
#include "core/doors/update_service.h"
#include "core/window_manager.h"
#include "os/prompt/prompter.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "os/ui/window_system.h"
#include "platform/session/session_core.h"

namespace login {

namespace {

constexpr const char* kInitialPasswordText = "初始密码过于简单，请点击确定按钮重新设置密码";
constexpr os::Millis Seconds(int seconds) { return os::Millis{seconds} * 1000; }

}  // namespace

StartupTimers::StartupTimers(core::ClientContext& context, std::function<os::HWND()> panel)
    : context_(context), panel_(std::move(panel)) {}

void StartupTimers::Start(std::uint64_t id, os::Millis periodMs) {
    context_.windows.SetTimer(panel_(), id, periodMs);
}

void StartupTimers::StopTimer(std::uint64_t id) { context_.windows.KillTimer(panel_(), id); }

void StartupTimers::StartAfterLogin() {
    config::ClientConfig& config = context_.config;
    presence_ = "online";
    autoAwayActive_ = false;
    LogWaitingSeams();
    if (config.GetFirstLevTreeWait != -1) {
        Start(kFirstLevelTreeTimer, Seconds(config.GetFirstLevTreeWait));
    }
    if (config.StartupIE.DelayTime != -1) {
        Start(kStartupPageTimer, Seconds(config.StartupIE.DelayTime));
    }
    if (config.QueryRootOnlineNumInterval != -1) {
        Run(seams_.startOnlineCountQuery, "online count query");
    }
    if (config.LoadCustomTabUrlDelay > 0) {
        Start(kCustomTabsTimer, Seconds(config.LoadCustomTabUrlDelay));
    } else if (config.LoadCustomTabUrlDelay == 0) {
        Run(seams_.loadCustomTabs, "custom tabs");
    }
    if (config.ToolBar.QueryDelay != -1) Start(kShortcutsTimer, Seconds(config.ToolBar.QueryDelay));
    if (config.UpdatefileDelay < kShortestUpdatefileDelay) {
        config.UpdatefileDelay = kShortestUpdatefileDelay;
    }
    Start(kFileUpdateTimer, Seconds(config.UpdatefileDelay));
    Start(kContactListsTimer, kContactListsDelayMs);
    Start(kCommandLineTimer, kCommandLinePeriodMs);
    if (config.HasRecentContact != 0) Run(seams_.buildRecentContacts, "recent contacts");
    EnableIdleTimer(true);
}

void StartupTimers::Stop() {
    for (std::uint64_t id = kIdleTimer; id <= kVpnTimer; ++id) StopTimer(id);
    contactListSteps_.clear();
    autoAwayActive_ = false;
}

void StartupTimers::EnableIdleTimer(bool enable) {
    if (enable) {
        Start(kIdleTimer, kIdlePeriodMs);
    } else {
        StopTimer(kIdleTimer);
    }
}

bool StartupTimers::OnTimer(std::uint64_t id) {
    switch (id) {
        case kIdleTimer:
            RunIdleRule();
            return true;
        case kFirstLevelTreeTimer:
            StopTimer(id);
            return true;
        case kStartupPageTimer:
            StopTimer(id);
            Run(seams_.openStartupPage, "startup page");
            return true;
        case kCustomTabsTimer:
            StopTimer(id);
            Run(seams_.loadCustomTabs, "custom tabs");
            return true;
        case kShortcutsTimer:
            StopTimer(id);
            Run(seams_.queryShortcuts, "tool-bar shortcuts");
            return true;
        case kInitialPasswordTimer:
            StopTimer(id);
            CheckInitialPassword();
            return true;
        case kFileUpdateTimer:
            StopTimer(id);
            context_.doors().updates->StartFileUpdate();
            return true;
        case kContactListsTimer:
            RequestContactLists();
            return true;
        case kCommandLineTimer:
            context_.doors().startParameters->Perform();
            return true;
        case kVpnTimer:
            StopTimer(id);
            Run(seams_.startVpn, "VPN connection");
            return true;
        default:
            return false;
    }
}

void StartupTimers::RunIdleRule() {
    const int minutes = context_.config.AutoChangeStateOnIdleTimeout;
    if (minutes < 1 || !context_.windowManager().IsLoggedIn()) return;
    // Unknown idle time: the user counts as not idle.
    const os::Millis idle = idleSource_ ? idleSource_().value_or(0) : 0;
    if (idle >= os::Millis{minutes} * 60000 && os::EqualsNoCase(presence_, "online")) {
        context_.log.WriteLog2(3, "空闲超时，自动切换为离开");
        ChangePresence("away");
        autoAwayActive_ = true;
    } else if (idle < os::Millis{minutes} * 60000 && autoAwayActive_) {
        autoAwayActive_ = false;
        ChangePresence("online");
    }
}

void StartupTimers::ChangePresence(const std::string& word) {
    presence_ = word;
    context_.doors().shell->ShowPresenceOnToolBar(word);
    context_.session.ChangePresence(word);
}

void StartupTimers::CheckInitialPassword() {
    const std::string& initial = context_.config.InitPassword;
    if (initial.empty() || context_.session.GetCurrentUserPassword() != initial) return;
    context_.prompter.MessageBox(kInitialPasswordText, os::kDefaultCaption, os::MB_OK, panel_());
    Run(seams_.openPasswordChange, "password change");
}

void StartupTimers::RequestContactLists() {
    // The pauses between the requests are steps of timer 8, not sleeps: the UI thread goes on.
    if (contactListSteps_.empty()) {
        platform::SessionCore& session = context_.session;
        contactListSteps_ = {[&session] { return session.RequestOrganizeList(6, 2), true; },
                             [&session] { return session.RequestOrganizeList(9, 2), true; },
                             [&session] { return session.RequestOrganizeList(10, 2), true; },
                             // A tree asked for already (during the login) is not asked for again.
                             [&session] {
                                 if (session.GetRootRequestCount(platform::kRosterRootTree) > 0)
                                     return false;
                                 session.RefreshRoster(2);
                                 return true;
                             },
                             [&session] {
                                 if (session.GetRootRequestCount(platform::kPhoneBookRootTree) >= 1)
                                     return false;
                                 session.RefreshTelContactTop(2);
                                 return true;
                             }};
    }
    // Runs steps until one has asked the server for something, then pauses before the next.
    while (!contactListSteps_.empty()) {
        const std::function<bool()> step = std::move(contactListSteps_.front());
        contactListSteps_.erase(contactListSteps_.begin());
        if (step()) break;
    }
    if (contactListSteps_.empty()) {
        StopTimer(kContactListsTimer);
    } else {
        Start(kContactListsTimer, kRequestPauseMs);
    }
}

void StartupTimers::Run(const std::function<void()>& seam, const char* /*step*/) {
    // A seam not plugged in was named in the log when the start began.
    if (seam) seam();
}

void StartupTimers::LogWaitingSeams() {
    const std::pair<const std::function<void()>*, const char*> seams[] = {
        {&seams_.openStartupPage, "startup page"},
        {&seams_.startOnlineCountQuery, "online count query"},
        {&seams_.loadCustomTabs, "custom tabs"},
        {&seams_.queryShortcuts, "tool-bar shortcuts"},
        {&seams_.openPasswordChange, "password change"},
        {&seams_.buildRecentContacts, "recent contacts"},
        {&seams_.startVpn, "VPN connection"}};
    for (const auto& [seam, step] : seams) {
        if (!*seam) {
            context_.log.WriteLog2(
                3,
                os::Format("start-up step \"%s\" is not plugged in: it waits for its part", step));
        }
    }
}

}  // namespace login
