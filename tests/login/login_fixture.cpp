#include "login_fixture.h"

#include "config/client_config.h"
#include "config/config_catalogue.h"
#include "os/controls/control.h"
#include "os/sys/clock.h"
#include "os/sys/named_objects.h"
#include "platform/session/notify_record.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "support/gbk_print.h"
#include "support/require.h"
#include "support/wait_for.h"
#include "support/waiting/clock_waiters.h"

namespace login_test {

void FakeWindowManager::UserLogout() {
    ++logouts;
    accountMutex.reset();
    flags_.userLogoutRequested = true;
    flags_.loggedIn = false;
}

void FakeWindowManager::KeepAccountMutex(std::unique_ptr<os::NamedMutex> mutex) {
    accountMutex = std::move(mutex);
}

bool FakeWindowManager::WriteSharedFlag(std::string_view text) {
    sharedFlags.emplace_back(text);
    return true;
}

EnginePump::EnginePump(core::ClientContext& context) : context_(context) {}

int EnginePump::Init() {
    ++inits;
    if (!initEngine) return 0;
    lost_ = std::make_unique<os::Event>(context_.clock, os::EventReset::Manual);
    notify_ = std::make_unique<os::Event>(context_.clock, os::EventReset::Auto);
    return context_.session.Init(lost_.get(), notify_.get(), std::this_thread::get_id());
}

LoginTest::LoginTest()
    : world({commonDir.str(), appDir.str()},
            [](const os::PromptRecord& prompt) {
                ADD_FAILURE() << "unanswered prompt: " << testing_support::DisplayGbk(prompt.text);
            }),
      context(world.context()),
      pump(context),
      hostWindows(world.windows()) {
    config::ApplyDefaults(context.config);
    core::Doors& doors = context.doors();
    doors.pump.Plug(pump);
    doors.startParameters.Plug(startParameters);
    doors.settings.Plug(settings);
    doors.shell.Plug(shell);
    doors.libraries.Plug(libraries);
    doors.reconnect.Plug(reconnect);
    context.SetWindowManager(&manager);

    testing_support::Require(hostWindows.Create(), "the host's windows");
    manager.hostMain = host.hwnd();
    manager.hostClient = client.hwnd();

    panel = std::make_unique<CDlgLogin>(context);
    testing_support::Require(::testing::AssertionResult(panel->Create(
                                 client.hwnd(), os::Rect::FromSize(0, 0, 800, 600), true)),
                             "the login panel");
    manager.loginPanel = panel->hwnd();

    loginEvent = os::OpenNamedEvent(context.namedObjects, "LoginEvent", context.clock,
                                    os::EventReset::Auto, false);
    world.simSession().SetLoginEvent(loginEvent.get());
}

LoginTest::~LoginTest() {
    if (panel) panel->StopLogin();
    panel.reset();
    world.simSession().SetLoginEvent(nullptr);
    world.simSession().Free();
    core::Doors& doors = context.doors();
    doors.pump.Unplug();
    doors.startParameters.Unplug();
    doors.settings.Unplug();
    doors.shell.Unplug();
    doors.libraries.Unplug();
    doors.reconnect.Unplug();
    context.SetWindowManager(nullptr);
}

void LoginTest::AddAccount(const std::string& loginName, const std::string& password) {
    platform::SimAccount account;
    account.loginName = loginName;
    account.password = password;
    world.server().AddAccount(account);
}

void LoginTest::Type(const std::string& userName, const std::string& password) {
    panel->FindControl(CDlgLogin::kAccountId)->SetText(userName);
    panel->FindControl(CDlgLogin::kPasswordId)->SetText(password);
}

void LoginTest::PressLogin() {
    panel->SendMessage(os::WM_COMMAND, os::MAKEWPARAM(CDlgLogin::kLoginButtonId, 0), 0);
}

::testing::AssertionResult LoginTest::FinishThreads() {
    ::testing::AssertionResult ended = testing_support::WaitFor(
        [&] { return !panel->LoginThreadsRunning(); }, "the login threads to end");
    Drain();
    return ended;
}

::testing::AssertionResult LoginTest::WaitForWaiters(int count) {
    return testing_support::WaitForWaiters(world.clock(), count);
}

void LoginTest::Drain() {
    world.windows().PumpUntil([] { return false; }, os::kInfinite);
}

int LoginTest::DeliverResults() {
    int results = 0;
    platform::SimSessionCore& session = world.simSession();
    while (platform::NotifyRecord* record = session.GetNotify()) {
        if (const auto* result = record->As<platform::LoginResultData>()) {
            ++results;
            panel->OnLoginResult(*result);
        }
        session.FreeNotify(record);
    }
    Drain();
    return results;
}

::testing::AssertionResult LoginTest::WaitForState(std::int32_t state) {
    return testing_support::WaitFor([&] { return sharedState.Read() == state; },
                                    "the login state " + std::to_string(state));
}

bool LoginTest::Visible(int controlId) const { return panel->FindControl(controlId)->visible(); }

std::string LoginTest::PromptTexts() const {
    std::string texts;
    for (const os::PromptRecord& record : world.prompter().Records()) {
        texts += testing_support::DisplayGbk(record.text) + "\n";
    }
    return texts;
}

}  // namespace login_test
