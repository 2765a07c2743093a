#include "manager_fixture.h"

#include <algorithm>
#include <cstdlib>

#include "core/window_messages.h"
#include "os/ui/window_system.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"

namespace host_api_test {

ManagerTest::ManagerTest()
    : world({commonDir.str(), appDir.str()},
            [](const os::PromptRecord& prompt) {
                ADD_FAILURE() << "unanswered prompt: " << prompt.text;
            }),
      context(world.context()),
      hostWindows(world.windows()) {
    host.textMessages = {core::WM_HOST_TITLE};
    context.trace = [this](std::string_view step) { steps.emplace_back(step); };
    manager = std::make_unique<CWindowManager>(context);
}

ManagerTest::~ManagerTest() { manager.reset(); }

void ManagerTest::Init(bool keepSteps) {
    testing_support::HostWindows::Layout layout;
    layout.frame = os::Rect::FromSize(100, 100, 800, 600);
    ASSERT_TRUE(hostWindows.Create(layout));
    world.windows().SetForegroundWindow(host.hwnd());
    manager->InitWindows(host.hwnd(), client.hwnd());
    if (!keepSteps) steps.clear();
}

bool ManagerTest::Traced(const std::string& step) const {
    return std::find(steps.begin(), steps.end(), step) != steps.end();
}

std::string ManagerTest::LogIn(const std::string& loginName, const std::string& nickname) {
    platform::SimAccount account;
    account.loginName = loginName;
    account.password = "secret";
    account.nickname = nickname;
    const std::string jid = world.server().AddAccount(account);
    platform::SimSessionCore& session = world.simSession();
    session.Init(nullptr, nullptr, {});
    EXPECT_EQ(session.Login(loginName, "secret", 1, "", 0), platform::kLoginAccepted);
    return jid;
}

}  // namespace host_api_test
