// Through the shipped wiring (the window manager, ClientSubsystems, the login panel on the
// embedded server): what a login starts in the main window shell, a good login whose
// "LoginEvent" comes late, the chat window's tool commands and its invitation, and a chat
// window in SMS mode.

#include <gtest/gtest.h>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "chat/dlg_contact_picker.h"
#include "core/doors.h"
#include "core/doors/batch_service.h"
#include "host_api/auxiliary_window.h"
#include "host_api/library.h"
#include "platform/session/sim_session_core.h"
#include "qorvdesk/exports.h"
#include "subsystems_fixture.h"
#include "support/doors/recording_batch.h"
#include "support/doors/recording_contacts.h"
#include "support/doors/recording_rooms.h"
#include "support/gbk_print.h"
#include "support/wait_for.h"

namespace host_api_test {
namespace {

namespace automation = qorvdesk::automation;

class SessionCommandsTest : public SubsystemsTest {
  protected:
    automation::Driver Driver() { return automation::Driver(world.windows(), &world.prompter()); }

    // The login of "me" through the login panel, as a person does it; `pressLogin` presses
    // the button.
    void LogInWith(const std::function<void()>& pressLogin) {
        automation::Driver driver = Driver();
        const auto panel = manager->LoginPanel().value();
        ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kAccountId, "me")) << driver.LastError();
        ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kPasswordId, "pw")) << driver.LastError();
        pressLogin();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] {
            return world.windows().IsWindowVisible(manager->MainPanel());
        }));
    }

    // A manager-made chat window of `jid`.
    CDlgChat* OpenChat(const std::string& jid) {
        return dynamic_cast<CDlgChat*>(manager->OpenChatWindow(jid));
    }

    bool PromptedWith(const std::string& part) const {
        for (const std::string& text : world.prompter().Texts()) {
            if (text.find(part) != std::string::npos) return true;
        }
        return false;
    }
};

TEST_F(SessionCommandsTest, ALoginThroughTheExportsRebuildsTheHostsTabsAndOpensTheAuxiliaryWindow) {
    ASSERT_NO_FATAL_FAILURE(Init());
    theWindowManager = manager.get();
    ASSERT_NO_FATAL_FAILURE(LogInWith([] { UserLogin(); }));

    EXPECT_EQ(host.Count(core::WM_HOST_TABS), 1);
    const os::HWND auxiliary = subsystems->mainWindowShell().AuxiliaryWindowHandle();
    os::WindowSystem& windows = world.windows();
    ASSERT_TRUE(windows.IsWindow(auxiliary));
    EXPECT_EQ(windows.GetClassName(auxiliary), AuxiliaryWindow::kClassName);
    EXPECT_FALSE(windows.IsOwnedByCallingThread(auxiliary)) << "it runs on a thread of its own";
    EXPECT_FALSE(windows.IsWindowVisible(auxiliary));

    // The session end closes it and ends its thread; the next login opens a new one.
    UserLogout();
    EXPECT_FALSE(windows.IsWindow(auxiliary));
    EXPECT_FALSE(windows.IsWindow(subsystems->mainWindowShell().AuxiliaryWindowHandle()));
    ASSERT_NO_FATAL_FAILURE(LogInWith([] { UserLogin(); }));
    EXPECT_EQ(host.Count(core::WM_HOST_TABS), 2);
    EXPECT_TRUE(windows.IsWindow(subsystems->mainWindowShell().AuxiliaryWindowHandle()));
    theWindowManager = nullptr;
}

TEST_F(SessionCommandsTest, AGoodLoginWhoseLoginEventComesLateReportsNoFailureAtTheTimeOut) {
    ASSERT_NO_FATAL_FAILURE(Init());
    world.simSession().SetLoginEvent(nullptr);  // "LoginEvent" not before the time-out
    automation::Driver driver = Driver();
    ASSERT_NO_FATAL_FAILURE(LogInWith([&] {
        ASSERT_TRUE(driver.Click(manager->LoginPanel().value(), CDlgLogin::kLoginButtonId))
            << driver.LastError();
    }));

    // The result ended the watch: no thread of the attempt is left waiting for the time-out.
    EXPECT_TRUE(
        testing_support::WaitFor([&] { return !manager->loginPanel()->LoginThreadsRunning(); },
                                 "the login attempt's threads to end"));
    ASSERT_TRUE(driver.AdvanceClock(20000));
    driver.Pump();
    EXPECT_FALSE(PromptedWith("无法连接到服务器"));
    EXPECT_FALSE(PromptedWith("网络错误或服务器忙"));
    EXPECT_TRUE(manager->IsLoggedIn());
    EXPECT_TRUE(world.windows().IsWindowVisible(manager->MainPanel()));
}

TEST_F(SessionCommandsTest,
       TheToolCommandsOfAManagersChatWindowReachTheClientsDoorsWithTheirArguments) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    // Stand-ins for the batch composer and the add-contact dialog, which come later.
    testing_support::RecordingBatch batch;
    testing_support::RecordingContacts contacts;
    context.doors().batch.Plug(batch);
    context.doors().contacts.Plug(contacts);
    context.config.ShowAddBuddyTipInChatWnd = 1;
    bobInTree->EditDetails().mobile = "13900000000";
    automation::Driver driver = Driver();

    CDlgChat* withBob = OpenChat(bob);
    ASSERT_NE(withBob, nullptr);
    ASSERT_TRUE(driver.Click(withBob->hwnd().value(), chat::control::kSendSms))
        << driver.LastError();
    const std::string stranger = "zhou$gov@" + world.server().HostName();
    CDlgChat* withStranger = OpenChat(stranger);
    ASSERT_NE(withStranger, nullptr);
    ASSERT_TRUE(driver.ClickLink(withStranger->hwnd().value(), chat::control::kView, "点击这里"))
        << driver.LastError();
    driver.Pump();

    ASSERT_EQ(batch.composers.size(), 1u);
    EXPECT_EQ(batch.composers[0].mode, core::kComposerSms);
    EXPECT_EQ(batch.composers[0].recipients, "13900000000");
    EXPECT_EQ(contacts.addContactDialogs, std::vector<std::string>{stranger});
    context.doors().batch.Unplug();
    context.doors().contacts.Unplug();
}

TEST_F(SessionCommandsTest,
       InvitingFromAManagersChatWindowPicksFromTheContactTreesForTheRoomsDoor) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    remote = Remote("bob");
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));
    // The conference centre is plugged in at start-up; a recording stand-in takes its place.
    EXPECT_FALSE(world.log().HasCaptured("door \"rooms\" is not plugged in"));
    testing_support::RecordingRooms rooms;
    context.doors().rooms.Plug(rooms);
    automation::Driver driver = Driver();
    CDlgChat* chat = OpenChat(bob);
    ASSERT_NE(chat, nullptr);

    std::vector<automation::ListRow> offered;
    driver.QueueAnswer(
        automation::PromptAnswer::Dialog(
            automation::result::kCancel,
            [&](automation::Driver& d, automation::WindowHandle picker) {
                offered = d.ListRows(picker, CDlgContactPicker::kOfferedListId)
                              .value_or(std::vector<automation::ListRow>{});
                EXPECT_TRUE(d.DoubleClickListRow(picker, CDlgContactPicker::kOfferedListId, 0))
                    << d.LastError();
                EXPECT_TRUE(d.Click(picker, os::IDOK)) << d.LastError();
            })
            .WhenCaption("添加参与者"));
    ASSERT_TRUE(driver.Click(chat->hwnd().value(), chat::control::kInvite)) << driver.LastError();
    driver.Pump();

    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].texts.at(1), bob);
    EXPECT_EQ(rooms.instantRooms, (std::vector<std::vector<std::string>>{{bob}}));
    context.doors().rooms.Unplug();
}

TEST_F(SessionCommandsTest, AnSmsModeChatWindowOpensAndSendsItsTextAsAShortMessage) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    const std::string number = "13800138000@sms." + world.server().HostName();
    auto* chat = dynamic_cast<CDlgChat*>(manager->OpenSmsChatWindow(number));
    ASSERT_NE(chat, nullptr);
    EXPECT_EQ(chat->mode(), chat::ChatMode::Sms);
    EXPECT_EQ(manager->FindChatWindow(number, platform::JidMatch::Loose), chat);
    EXPECT_EQ(manager->OpenSmsChatWindow(number), chat) << "an open window is brought forward";

    automation::Driver driver = Driver();
    const auto window = chat->hwnd().value();
    EXPECT_GBK_EQ(driver.Text(window, chat::control::kHeaderLine).value_or(""),
                  "此消息将作为短信发送至：13800138000");
    const auto invite = driver.DescribeControl(window, chat::control::kInvite);
    EXPECT_TRUE(!invite || !invite->visible) << "no invitation in SMS mode";
    ASSERT_TRUE(driver.AppendText(window, chat::control::kInput, "明天见")) << driver.LastError();
    ASSERT_TRUE(driver.Click(window, chat::control::kSend)) << driver.LastError();
    driver.Pump();
    const std::vector<platform::SimSms> sent = world.server().SmsSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].to, number);
    EXPECT_GBK_EQ(sent[0].text, "明天见");
}

}  // namespace
}  // namespace host_api_test
