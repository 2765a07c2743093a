// What the window manager's notifications do, from the embedded server's record through the
// real pump to the effect the user or the server sees: the new-mail tip, the gateway logged
// off, the new password kept, the share failure box, the unknown partner asked for, the chat
// window's contact shown anew and the main panel's own message boxes.

#include <gtest/gtest.h>

#include "core/chat_window.h"
#include "core/doors.h"
#include "core/doors/main_window_shell.h"
#include "notify/routes/ui_subcodes.h"
#include "os/services/log.h"
#include "subsystems_fixture.h"
#include "support/doors/recording_shell.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

// The recording shell stands in for the tool bar (the main window's panes) while it lives;
// whatever was plugged into that door comes back afterwards.
class ToolBarStandIn {
  public:
    explicit ToolBarStandIn(core::Door<core::MainWindowShell>& door)
        : door_(door), before_(door.plugged() ? &*door : nullptr) {
        door_.Plug(shell);
    }
    ~ToolBarStandIn() {
        if (before_ != nullptr) {
            door_.Plug(*before_);
        } else {
            door_.Unplug();
        }
    }
    ToolBarStandIn(const ToolBarStandIn&) = delete;
    ToolBarStandIn& operator=(const ToolBarStandIn&) = delete;

    testing_support::RecordingShell shell;

  private:
    core::Door<core::MainWindowShell>& door_;
    core::MainWindowShell* before_;
};

class ManagerNotificationsTest : public SubsystemsTest {
  protected:
    // Queues a record as the server would send it and waits until the pump has given it back.
    template <class Payload>
    void Arrive(std::uint32_t type, Payload data) {
        platform::SimSessionCore& session = world.simSession();
        session.Inject(platform::MakeNotify(type, std::move(data)));
        ASSERT_TRUE(PumpUntil(world.windows(), [&] {
            return session.QueuedCount() == 0 && session.IssuedCount() == 0;
        }));
        world.windows().PumpPending();  // and what the handlers posted
    }

    static platform::SlotData Slots(std::vector<std::string> slots) {
        platform::SlotData data;
        data.slots = std::move(slots);
        return data;
    }
};

// The channel list ends a login's notifications with the switch to the main panel. One that
// is handled after the session has ended (the pump's last send, answered while the log-out
// stops it) must not bring the main panel back over the login panel.
TEST_F(ManagerNotificationsTest, AChannelListAfterTheSessionEndedSwitchesNothing) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    ASSERT_EQ(world.simSession().Logout(), 1);
    manager->SwitchInterface(core::ClientInterface::PreLogin);

    ASSERT_NO_FATAL_FAILURE(
        Arrive(platform::notify_type::kChannelList, platform::ChannelListData{}));

    EXPECT_TRUE(world.windows().IsWindowVisible(manager->LoginPanel()));
    EXPECT_FALSE(world.windows().IsWindowVisible(manager->MainPanel()));
}

TEST_F(ManagerNotificationsTest, ANewMailCountShowsOnTheToolBarAndATipOnlyAboveZero) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    ToolBarStandIn toolBar(context.doors().shellPanes);
    platform::SlotData three;
    three.numbers = {3};
    ASSERT_NO_FATAL_FAILURE(Arrive(platform::notify_type::kNewMailCount, three));
    ASSERT_NO_FATAL_FAILURE(Arrive(platform::notify_type::kNewMailCount, Slots({"0"})));

    EXPECT_EQ(toolBar.shell.mailCounts, (std::vector<int>{3, 0}));
    const auto tips = world.tips().CallsNamed("ShowNewMailTip");
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].numbers, std::vector<int>{3});
}

TEST_F(ManagerNotificationsTest, AGatewayErrorLogsTheGatewaySessionOff) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    ASSERT_NO_FATAL_FAILURE(Arrive(platform::notify_type::kGatewayError, Slots({"unavailable"})));
    const auto calls = world.simSession().calls().Named("SendLogoffMsnMessage");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, std::vector<std::string>{"msn." + world.server().HostName()});
}

TEST_F(ManagerNotificationsTest, OnlyASuccessfulPasswordChangeReplacesTheSessionsPassword) {
    struct Case {
        std::uint32_t type;
        std::vector<std::string> slots;
        const char* passwordAfter;
    };
    const Case cases[] = {
        {86, {"success", "new-86"}, "new-86"},
        {90, {"SUCCESS", "new-90"}, "new-90"},
        {87, {"wrong old password", "new-87"}, "new-90"},  // refused: the last one stays
        {88, {"success", ""}, "new-90"},                   // no password: nothing to keep
        {89, {}, "new-90"},
    };
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    ASSERT_EQ(world.simSession().GetCurrentUserPassword(), "pw");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ASSERT_NO_FATAL_FAILURE(Arrive(c.type, Slots(c.slots)));
        EXPECT_EQ(world.simSession().GetCurrentUserPassword(), c.passwordAfter);
    }
    EXPECT_EQ(world.simSession().calls().Named("SetCurrentUserPassword").size(), 2u);
}

TEST_F(ManagerNotificationsTest, AFailedNetworkDiskShareIsToldInABox) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    ASSERT_NO_FATAL_FAILURE(Arrive(91, Slots({"success"})));
    EXPECT_TRUE(world.prompter().Records().empty());

    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_NO_FATAL_FAILURE(Arrive(91, Slots({"error"})));
    const auto prompts = world.prompter().Records();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_GBK_EQ(prompts[0].text, "设置网络硬盘共享权限失败!");
    EXPECT_GBK_EQ(prompts[0].caption, "提示");
}

TEST_F(ManagerNotificationsTest, AnUnknownChatPartnersDetailsAreAskedForAndLogged) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    const std::string stranger = "stranger$gov@" + world.server().HostName();
    ASSERT_NO_FATAL_FAILURE(Arrive(platform::notify_type::kUnknownChatPartner, Slots({stranger})));
    // The trees ask for their contacts' vCards after their lists: only the stranger's count.
    std::vector<platform::SessionCall> calls;
    for (const platform::SessionCall& call : world.simSession().calls().Named("QueryPersonInfo")) {
        if (call.args.at(0) == stranger) calls.push_back(call);
    }
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(world.log().HasCaptured("请求未知聊天对象的详细信息"));
}

TEST_F(ManagerNotificationsTest, AnUpdateForAnOpenChatShowsTheContactsNewName) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    core::ChatWindow* chat = manager->OpenChatWindow(bob);
    ASSERT_NE(chat, nullptr);
    ASSERT_EQ(chat->GetWindowText(), "Bob");

    bobInTree->name = "鲍勃";
    ASSERT_NO_FATAL_FAILURE(Arrive(platform::notify_type::kChatWindowUpdate, Slots({bob})));
    EXPECT_GBK_EQ(chat->GetWindowText(), "鲍勃");
    // An update for someone without an open window changes nothing.
    ASSERT_NO_FATAL_FAILURE(Arrive(platform::notify_type::kChatWindowUpdate, Slots({me})));
    EXPECT_EQ(manager->ChatWindows().size(), 1u);
}

TEST_F(ManagerNotificationsTest, TheMainPanelShowsSystemAndBroadcastMessagesInTheirBoxes) {
    struct Case {
        int subcode;
        const char* caption;
    };
    const Case cases[] = {
        {notify::ui::kSystemMessageBox, "系统消息"},
        {notify::ui::kBroadcastMessageBox, "广播消息"},
    };
    ASSERT_NO_FATAL_FAILURE(Init());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subcode);
        world.prompter().ClearRecords();
        world.prompter().AnswerMessageBox(os::IDOK);
        const std::string text = "今晚系统维护";
        EXPECT_EQ(
            world.windows().SendMessage(manager->MainPanel(), core::WM_IM_NOTIFY,
                                        static_cast<os::WPARAM>(c.subcode), os::ToLParam(&text)),
            os::IDOK);
        const auto prompts = world.prompter().Records();
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_GBK_EQ(prompts[0].caption, c.caption);
        EXPECT_GBK_EQ(prompts[0].text, text);
    }
}

}  // namespace
}  // namespace host_api_test
