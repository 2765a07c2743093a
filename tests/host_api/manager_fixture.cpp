#include "manager_fixture.h"

#include <algorithm>
#include <cstdlib>

#include "core/window_messages.h"
#include "os/ui/window_system.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"

namespace host_api_test {

std::vector<HostMessage> HostRecorder::Of(os::UINT message) const {
    std::vector<HostMessage> found;
    for (const HostMessage& m : seen) {
        if (m.message == message) found.push_back(m);
    }
    return found;
}

os::LRESULT HostRecorder::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    HostMessage entry{message, wParam, lParam, {}};
    if (message == core::WM_HOST_TITLE && lParam != 0)
        entry.title = os::FromLParam<const char>(lParam);
    seen.push_back(entry);
    return os::Window::OnMessage(message, wParam, lParam);
}

ManagerTest::ManagerTest()
    : world({commonDir.str(), appDir.str()},
            [](const os::PromptRecord& prompt) {
                ADD_FAILURE() << "unanswered prompt: " << prompt.text;
            }),
      context(world.context()),
      host(world.windows()),
      client(world.windows()) {
    // The start-with-the-desktop entry goes below the test's folder, never the user's own.
    setenv("XDG_CONFIG_HOME", (commonDir.path() / "xdg").c_str(), 1);
    context.trace = [this](std::string_view step) { steps.emplace_back(step); };
    manager = std::make_unique<CWindowManager>(context);
}

ManagerTest::~ManagerTest() { manager.reset(); }

void ManagerTest::Init(bool keepSteps) {
    os::Window::CreateParams frame;
    frame.title = "host";
    frame.rect = os::Rect::FromSize(100, 100, 800, 600);
    frame.visible = true;
    ASSERT_TRUE(host.Create(frame));
    os::Window::CreateParams inside;
    inside.parent = host.hwnd();
    inside.rect = os::Rect::FromSize(0, 0, 800, 600);
    inside.visible = true;
    ASSERT_TRUE(client.Create(inside));
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
