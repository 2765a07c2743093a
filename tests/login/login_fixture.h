#pragma once
// The world the login panel tests run in: a TestClientWorld (manual clock, scripted prompts,
// a session on the simulated server), a small window manager that keeps the flags, the
// account mutex and the shared flag as the real one does, the host's frame and client window,
// and a CDlgLogin on them. The test thread plays the UI thread: it hands the engine's login
// result to the panel itself (DeliverResults), as the notification pump would.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/client_world.h"
#include "core/doors.h"
#include "core/doors/notification_pump.h"
#include "core/idle_window_manager.h"
#include "login/dlg_login.h"
#include "login/login_state_word.h"
#include "os/sys/event.h"
#include "os/sys/named_objects.h"
#include "os/ui/window.h"
#include "support/doors/recording_libraries.h"
#include "support/doors/recording_reconnect.h"
#include "support/doors/recording_settings.h"
#include "support/doors/recording_shell.h"
#include "support/doors/recording_start_parameters.h"
#include "support/temp_dir.h"
#include "support/windows/recording_window.h"

namespace login_test {

// The window manager as the login panel sees it.
class FakeWindowManager final : public core::IdleWindowManager {
  public:
    bool conversationOpen = false;
    int logouts = 0;
    std::vector<std::string> sharedFlags;  // every text written to the shared block
    std::unique_ptr<os::NamedMutex> accountMutex;

    bool AnyConversationOpen() override { return conversationOpen || !pending_.Empty(); }
    // As the real one: lets go of the account mutex, marks the log-out, ends the session.
    void UserLogout() override;
    void KeepAccountMutex(std::unique_ptr<os::NamedMutex> mutex) override;
    bool HoldsAccountMutex() const override { return accountMutex != nullptr; }
    bool WriteSharedFlag(std::string_view text) override;
};

// The notification pump as far as a login needs it: Init gives the engine its events.
class EnginePump final : public core::NotificationPump {
  public:
    explicit EnginePump(core::ClientContext& context);
    int Init() override;
    bool initEngine = true;  // false: the engine stays uninitialised and refuses every Login
    int inits = 0;

  private:
    core::ClientContext& context_;
    std::unique_ptr<os::Event> lost_;
    std::unique_ptr<os::Event> notify_;
};

class LoginTest : public ::testing::Test {
  protected:
    LoginTest();
    ~LoginTest() override;

    // An account on the simulated server.
    void AddAccount(const std::string& loginName, const std::string& password);
    // Fills the account and password fields.
    void Type(const std::string& userName, const std::string& password);
    // The login button, as the window manager's UserLogin presses it.
    void PressLogin();
    // Waits until the attempt's threads have ended, then handles what they posted to the
    // panel.
    ::testing::AssertionResult FinishThreads();
    // Waits until `count` threads block in waits of the manual clock.
    ::testing::AssertionResult WaitForWaiters(int count);
    // Handles what is queued on the test thread (posted tasks and messages).
    void Drain();
    // Hands every record the engine queued to where the pump would; the login result to
    // the panel. Answers how many login results there were.
    int DeliverResults();
    // Waits until the login state word holds `state`.
    ::testing::AssertionResult WaitForState(std::int32_t state);
    bool Visible(int controlId) const;
    std::string PromptTexts() const;

    testing_support::TempDir commonDir;
    testing_support::TempDir appDir;
    core::TestClientWorld world;
    core::ClientContext& context;
    EnginePump pump;
    // The other doors the panel goes through, plugged in for the whole test.
    testing_support::RecordingStartParameters startParameters;
    testing_support::RecordingSettings settings;
    testing_support::RecordingShell shell;
    testing_support::RecordingLibraries libraries;
    testing_support::RecordingReconnect reconnect;
    FakeWindowManager manager;
    testing_support::HostWindows hostWindows;
    testing_support::RecordingWindow& host = hostWindows.frame;
    testing_support::RecordingWindow& client = hostWindows.client;
    std::shared_ptr<os::Event> loginEvent;  // the engine's handle of "LoginEvent"
    std::unique_ptr<CDlgLogin> panel;
    // The named objects as another process of the installation opens them.
    os::NamedObjectSpace otherProcess{commonDir.str()};
    login::LoginStateWord sharedState{otherProcess, world.clock()};
};

}  // namespace login_test
