// The send keys of a chat window pressed as a person presses them, through the automation
// interface, the window manager's message hook and the real chat window, to the contact on
// the embedded server.

#include <gtest/gtest.h>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "config/client_config.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"
#include "support/require.h"

namespace host_api_test {
namespace {

namespace automation = qorvdesk::automation;

class ChatKeysEndToEndTest : public SubsystemsTest {
  protected:
    // The chat messages Bob's session has received since the last call.
    std::vector<std::string> BobReceived() {
        std::vector<std::string> contents;
        while (platform::NotifyRecord* record = remote->GetNotify()) {
            if (const auto* message = record->As<platform::MessageData>()) {
                contents.push_back(message->content);
            }
            remote->FreeNotify(record);
        }
        return contents;
    }

    // Logs in, lets Bob log in and opens the chat window with him.
    automation::WindowHandle OpenChatWithBob() {
        StartLoggedIn();
        testing_support::Require(
            !HasFatalFailure() ? testing::AssertionSuccess() : testing::AssertionFailure(),
            "logged in");
        remote = Remote("bob");
        testing_support::Require(
            PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }),
            "Bob online");
        BobReceived();  // what Bob's login brought him
        core::ChatWindow* chat =
            testing_support::Require(manager->OpenChatWindow(bob), "chat window with Bob");
        return chat->hwnd().value();
    }

    std::string Input(automation::WindowHandle window) {
        return driver.Text(window, chat::control::kInput).value_or("?");
    }

    automation::Driver driver{world.windows(), &world.prompter()};
};

TEST_F(ChatKeysEndToEndTest, WithCtrlEnterAsTheSendKeyCtrlEnterSendsAndEnterBreaksTheLine) {
    const automation::WindowHandle window = OpenChatWithBob();
    context.config.SendKey = 1;  // after the start-up, which loads the configuration

    ASSERT_TRUE(driver.AppendText(window, chat::control::kInput, "第一行")) << driver.LastError();
    ASSERT_TRUE(driver.PressKey(window, automation::key::kReturn)) << driver.LastError();
    driver.Pump();
    EXPECT_TRUE(BobReceived().empty());
    EXPECT_GBK_EQ(Input(window), "第一行\r\n");

    ASSERT_TRUE(driver.AppendText(window, chat::control::kInput, "第二行")) << driver.LastError();
    ASSERT_TRUE(driver.PressKey(window, automation::key::kReturn, automation::KeyModifier::Ctrl))
        << driver.LastError();
    driver.Pump();
    const std::vector<std::string> got = BobReceived();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_GBK_EQ(got[0], "第一行\r\n第二行");
    EXPECT_EQ(Input(window), "");
}

TEST_F(ChatKeysEndToEndTest, WithEnterAsTheSendKeyCtrlEnterBreaksTheLine) {
    const automation::WindowHandle window = OpenChatWithBob();
    context.config.SendKey = 0;  // after the start-up, which loads the configuration

    ASSERT_TRUE(driver.AppendText(window, chat::control::kInput, "一")) << driver.LastError();
    ASSERT_TRUE(driver.PressKey(window, automation::key::kReturn, automation::KeyModifier::Ctrl))
        << driver.LastError();
    driver.Pump();
    EXPECT_TRUE(BobReceived().empty());
    EXPECT_GBK_EQ(Input(window), "一\r\n");

    ASSERT_TRUE(driver.PressKey(window, automation::key::kReturn)) << driver.LastError();
    driver.Pump();
    EXPECT_EQ(BobReceived().size(), 1u);
}

TEST_F(ChatKeysEndToEndTest, OnlyAltSSendsAnSAloneIsNoSendKey) {
    const automation::WindowHandle window = OpenChatWithBob();
    context.config.SendKey = 1;  // after the start-up, which loads the configuration

    ASSERT_TRUE(driver.AppendText(window, chat::control::kInput, "早")) << driver.LastError();
    ASSERT_TRUE(driver.PressKey(window, 'S')) << driver.LastError();
    driver.Pump();
    EXPECT_TRUE(BobReceived().empty());

    ASSERT_TRUE(driver.PressKey(window, 'S', automation::KeyModifier::Alt)) << driver.LastError();
    driver.Pump();
    EXPECT_EQ(BobReceived().size(), 1u);
}

}  // namespace
}  // namespace host_api_test
