// Keyboard routing (OnKeyDown), the message hook and PreTranslateMessageForMenu.
#include <gtest/gtest.h>

#include "core/chat_window.h"
#include "core/doors.h"
#include "core/window_messages.h"
#include "login/dlg_login.h"
#include "manager_fixture.h"
#include "os/ui/window_system.h"
#include "platform/session/sim_session_core.h"
#include "support/doors/recording_history.h"
#include "support/doors/recording_libraries.h"
#include "support/doors/recording_rooms.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

// A chat window that consumes F5 and records what it is given.
class KeyChat : public core::ChatWindow {
  public:
    KeyChat(os::WindowSystem& windows) : core::ChatWindow(windows) {}
    const std::string& ContactJid() const override { return jid_; }
    bool OnChatKeyDown(int key, int) override {
        keys.push_back(key);
        return key == static_cast<int>(os::VK_F5);
    }
    void ShowQueuedMessages(std::vector<core::QueuedMessage>) override {}
    void EndTransfers() override {}

    std::vector<int> keys;
    std::vector<os::WPARAM> keyDowns;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override {
        if (message == os::WM_KEYDOWN) keyDowns.push_back(wParam);
        return core::ChatWindow::OnMessage(message, wParam, lParam);
    }

  private:
    std::string jid_ = "key@host";
};

class KeysTest : public ManagerTest {
  protected:
    void SetUp() override {
        core::Doors& doors = context.doors();
        doors.libraries.Plug(libraries);
        doors.rooms.Plug(rooms);
        doors.history.Plug(history);
        libraries.serviceChatKeyAnswers = {{'A', 7}};
        rooms.consumeKeys = true;
        history.keyAnswers = {{'H', 5}};
        ASSERT_NO_FATAL_FAILURE(Init());
    }

    os::Window* TopLevel(std::string className = {}) {
        auto window = std::make_unique<os::Window>(world.windows());
        os::Window::CreateParams params;
        if (!className.empty()) params.className = std::move(className);
        EXPECT_TRUE(window->Create(params));
        owned.push_back(std::move(window));
        world.windows().SetForegroundWindow(owned.back()->hwnd());
        return owned.back().get();
    }

    testing_support::RecordingLibraries libraries;
    testing_support::RecordingRooms rooms;
    testing_support::RecordingHistory history;
    std::vector<std::unique_ptr<os::Window>> owned;
};

TEST_F(KeysTest, EnterOnTheHostPressesTheLoginButtonAndIsNotConsumed) {
    world.windows().SetForegroundWindow(host.hwnd());
    // With the fields empty, the press ends in the input check's first question.
    world.prompter().AnswerMessageBox(os::IDOK);
    EXPECT_EQ(manager->OnKeyDown(os::VK_RETURN, 0), 0);
    ASSERT_EQ(world.prompter().Texts().size(), 1u);
    EXPECT_GBK_EQ(world.prompter().Texts()[0], "请输入或选择用户名");
}

TEST_F(KeysTest, TabOnTheHostMovesToTheNextLoginField) {
    world.windows().SetForegroundWindow(host.hwnd());
    CDlgLogin& panel = *manager->loginPanel();
    ASSERT_TRUE(panel.SetFocus(CDlgLogin::kAccountId));
    EXPECT_EQ(manager->OnKeyDown(os::VK_TAB, 0), 0);
    EXPECT_EQ(panel.GetFocus(), CDlgLogin::kPasswordId);
    EXPECT_EQ(panel.LoginCommands(), 0);
}

TEST_F(KeysTest, AChatWindowInFrontTakesTheKey) {
    auto chat = std::make_unique<KeyChat>(world.windows());
    os::Window::CreateParams params;
    params.className = std::string(core::kChatWindowClass);
    ASSERT_TRUE(chat->Create(params));
    world.windows().SetForegroundWindow(chat->hwnd());

    EXPECT_EQ(manager->OnKeyDown(os::VK_F5, 0), 1);
    EXPECT_EQ(manager->OnKeyDown('B', 0), 0);
    EXPECT_EQ(chat->keys, (std::vector<int>{os::VK_F5, 'B'}));
    chat->DestroyWindow();
}

TEST_F(KeysTest, TheHookSwallowsAConsumedKey) {
    auto chat = std::make_unique<KeyChat>(world.windows());
    os::Window::CreateParams params;
    params.className = std::string(core::kChatWindowClass);
    ASSERT_TRUE(chat->Create(params));
    world.windows().SetForegroundWindow(chat->hwnd());

    world.windows().PostKey(chat->hwnd(), os::VK_F5);
    world.windows().PostKey(chat->hwnd(), 'B');
    world.windows().PumpPending();
    EXPECT_EQ(chat->keyDowns, (std::vector<os::WPARAM>{0, 'B'}));
    chat->DestroyWindow();
}

TEST_F(KeysTest, ARoomWindowInFrontTakesTheKey) {
    TopLevel(std::string(core::kRoomWindowClass));
    EXPECT_EQ(manager->OnKeyDown('R', 0), 1);
    EXPECT_EQ(rooms.keys, std::vector<int>{'R'});
}

TEST_F(KeysTest, TheHistoryWindowInFrontAnswersForItself) {
    history.window = TopLevel()->hwnd();
    EXPECT_EQ(manager->OnKeyDown('H', 0), 5);
    EXPECT_EQ(manager->OnKeyDown('A', 0), 0);
}

TEST_F(KeysTest, ACustomerServiceChatAnswersUnlessTheUserIsFromTheGovernment) {
    libraries.serviceChat = TopLevel()->hwnd();
    EXPECT_EQ(manager->OnKeyDown('A', 0), 7);

    LogIn("gov");  // accounts of the embedded server are government users
    world.windows().SetForegroundWindow(libraries.serviceChat);
    EXPECT_EQ(manager->OnKeyDown('A', 0), 0);
}

TEST_F(KeysTest, PreTranslateGoesToTheLoginPanelForKindZeroAndEveryUnknownKindIsConsumed) {
    // Enter on the panel is the panel's login command; quiet, its empty fields ask nothing.
    CDlgLogin& panel = *manager->loginPanel();
    panel.SetQuietMode(true);
    os::Msg message;
    message.message = os::WM_KEYDOWN;
    message.hwnd = panel.hwnd();
    message.wParam = os::VK_RETURN;
    EXPECT_TRUE(manager->PreTranslateMessageForMenu(message, 0));
    EXPECT_EQ(panel.LoginCommands(), 1);
    EXPECT_FALSE(manager->PreTranslateMessageForMenu(message, 1));
    EXPECT_FALSE(manager->PreTranslateMessageForMenu(message, 2));
    EXPECT_TRUE(manager->PreTranslateMessageForMenu(message, 4));
    EXPECT_TRUE(manager->PreTranslateMessageForMenu(message, -1));
    EXPECT_EQ(panel.LoginCommands(), 1);
}

}  // namespace
}  // namespace host_api_test
