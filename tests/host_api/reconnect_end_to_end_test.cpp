// Reconnecting through the shipped wiring on the simulated server: the countdown after a login
// time-out with its two links, the network watch after a lost connection, a login elsewhere,
// and a long run of forced disconnects that each end logged in again.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "core/doors.h"
#include "core/doors/room_service.h"
#include "core/user_folder.h"
#include "core/window_messages.h"
#include "login/dlg_login.h"
#include "os/controls/control.h"
#include "os/services/log.h"
#include "os/text/cstring_ops.h"
#include "platform/store/client_db.h"
#include "subsystems_fixture.h"
#include "support/doors/recording_rooms.h"

namespace host_api_test {
namespace {

constexpr os::Millis kLoginTimeoutMs = 20000;  // LoginTimeOut is not configured
constexpr os::Millis kNetworkWatchMs = 10000;
constexpr const char* kFont = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)";

class ReconnectTest : public SubsystemsTest {
  protected:
    ReconnectTest() {
        subsystems->reconnect().SetNetworkProbe([this] { return networkUp; });
        context.doors().rooms.Plug(rooms);
    }
    ~ReconnectTest() override { context.doors().rooms.Unplug(); }

    CDlgLogin& panel() { return *manager->loginPanel(); }
    bool Visible(int id) { return panel().FindControl(id)->visible(); }
    std::string Label() { return panel().FindControl(CDlgLogin::kProgressLabelId)->Text(); }
    int Logins() { return static_cast<int>(world.simSession().calls().Count("Login")); }
    bool MainPanelShown() { return world.windows().IsWindowVisible(manager->MainPanel()); }

    // Moves the manual clock in steps of at most a second and handles what falls due, so a
    // once-a-second countdown sees every tick.
    void Advance(os::Millis ms) {
        for (os::Millis done = 0; done < ms;) {
            const os::Millis step = std::min<os::Millis>(1000, ms - done);
            world.clock().Advance(step);
            done += step;
            world.windows().PumpPending();
        }
    }

    // Types the account and presses the login button, as LogInAs does, without waiting for
    // the main panel.
    void PressLogin(const char* login) {
        qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
        const auto window = manager->LoginPanel().value();
        ASSERT_TRUE(driver.TypeText(window, CDlgLogin::kAccountId, login)) << driver.LastError();
        ASSERT_TRUE(driver.TypeText(window, CDlgLogin::kPasswordId, "pw")) << driver.LastError();
        ASSERT_TRUE(driver.Click(window, CDlgLogin::kLoginButtonId)) << driver.LastError();
    }

    // Waits until the attempt's watcher waits out the login time-out and its worker has made
    // its (refused) login call, then lets the time-out pass and pumps until the countdown
    // shows. The watcher is known by its deadline, the full time-out from now: other threads
    // (the notification pump) wait on the clock too, so a count of waiters could be met
    // before the watch begins. The worker runs on its own thread and may call in after the
    // watch has begun, so its call is awaited too, or the tests' counts of logins would race.
    ::testing::AssertionResult TimeOutIntoCountdown(int seconds) {
        const std::string text = os::Format("网络错误或服务器忙,%2d秒后重连...", seconds);
        const os::Millis timeOutAt = world.clock().Now() + kLoginTimeoutMs;
        if (auto watching = PumpUntil(
                world.windows(),
                [&] {
                    return world.clock().NextDeadlineAfter(timeOutAt - 1) == timeOutAt &&
                           Logins() > loginsAtLastTimeOut;
                },
                "the login time-out watch and the attempt's login call");
            !watching) {
            return watching;
        }
        loginsAtLastTimeOut = Logins();
        world.clock().Advance(kLoginTimeoutMs);
        return PumpUntil(world.windows(),
                         [&] { return Visible(CDlgLogin::kReconnectNowId) && Label() == text; });
    }

    // Reads the host's WM_COMMAND ID_HOST_CONNECTION_LOST and answers as a host does: the
    // user is logged out, which ends the session without leaving its rooms.
    ::testing::AssertionResult AnswerConnectionLost() {
        auto told = PumpUntil(world.windows(), [&] {
            int lost = 0;
            for (const auto& seen : host.seen) {
                lost += seen.message == os::WM_COMMAND &&
                        seen.wParam == static_cast<os::WPARAM>(core::ID_HOST_CONNECTION_LOST);
            }
            return lost > hostToldLost;
        });
        if (!told) return told;
        ++hostToldLost;
        manager->UserLogout();
        return ::testing::AssertionSuccess();
    }

    // Drops the connection, answers the host's notice, and pumps until the login panel shows.
    ::testing::AssertionResult LoseConnection() {
        if (!world.simSession().DropConnection()) {
            return ::testing::AssertionFailure() << "the session was not connected";
        }
        if (auto told = AnswerConnectionLost(); !told) return told;
        return PumpUntil(
            world.windows(), [&] { return !MainPanelShown(); }, "the login panel");
    }

    // Every notification of the user's session has been handled.
    bool Drained() {
        const platform::SimSessionCore& session = world.simSession();
        return session.QueuedCount() == 0 && session.IssuedCount() == 0;
    }

    // The chat window with Bob, opened as the tray or a double click opens it.
    CDlgChat* ChatWithBob() { return dynamic_cast<CDlgChat*>(manager->OpenChatWindow(bob)); }

    // Types `text` into the chat window's input and presses Send.
    ::testing::AssertionResult Send(CDlgChat& chat, const std::string& text) {
        qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
        const auto window = chat.hwnd().value();
        if (!driver.AppendText(window, chat::control::kInput, text) ||
            !driver.Click(window, chat::control::kSend)) {
            return ::testing::AssertionFailure() << driver.LastError();
        }
        return ::testing::AssertionSuccess();
    }

    std::string ChatView(CDlgChat& chat) {
        qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
        const auto text = driver.ReadRichText(chat.hwnd().value(), chat::control::kView);
        return text ? text->plainText : std::string();
    }

    // Adds the chat messages Bob's session received since the last call, by their text.
    void CountBobReceived(std::map<std::string, int>& received) {
        while (platform::NotifyRecord* record = remote->GetNotify()) {
            if (const auto* message = record->As<platform::MessageData>()) {
                ++received[message->content];
            }
            remote->FreeNotify(record);
        }
    }

    // The contents of every message `account`'s store holds, each with its count.
    std::map<std::string, int> StoredContents(const std::string& account) {
        const std::string folder = core::UserFolder(commonDir.str(), account).value_or("");
        CClientDB db(account.c_str(), folder.c_str());
        std::map<std::string, int> contents;
        db.GetMsg(
            [&](const MsgFields& fields) {
                if (!IsMsgEndMark(fields)) ++contents[fields[msg_field::kContents]];
            },
            -1);
        return contents;
    }

    testing_support::RecordingRooms rooms;
    bool networkUp = true;
    int hostToldLost = 0;
    int loginsAtLastTimeOut = 0;  // the login calls made when the last time-out was let pass
};

TEST_F(ReconnectTest, TheFirstTimeOutCountsDownTenSecondsAndThenLogsInAgain) {
    ASSERT_NO_FATAL_FAILURE(Init());
    world.server().SetRefusingLogins(true);
    ASSERT_NO_FATAL_FAILURE(PressLogin("me"));
    ASSERT_TRUE(TimeOutIntoCountdown(10));
    EXPECT_TRUE(Visible(CDlgLogin::kCancelReconnectId));
    EXPECT_TRUE(Visible(CDlgLogin::kProgressBarId));
    EXPECT_FALSE(Visible(CDlgLogin::kLoginButtonId));
    EXPECT_TRUE(world.log().HasCaptured("CDlgLogin::准备重连,等待倒计时....\n"));
    const int loginsBefore = Logins();

    // One tick a second, the label following.
    Advance(1000);
    EXPECT_EQ(Label(), "网络错误或服务器忙, 9秒后重连...");
    Advance(8000);
    EXPECT_EQ(Label(), "网络错误或服务器忙, 1秒后重连...");
    EXPECT_EQ(Logins(), loginsBefore);

    // The server is back: the tenth tick ends the countdown (well within its 11 s wait) and
    // the new attempt logs in without asking for the inputs again.
    world.server().SetRefusingLogins(false);
    Advance(1000);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return MainPanelShown(); }));
    EXPECT_EQ(Logins(), loginsBefore + 1);
    EXPECT_TRUE(world.log().HasCaptured("CDlgLogin::开始重连...."));
    EXPECT_FALSE(world.log().HasCaptured("CDlgLogin::重连时状态错误...."));
    EXPECT_FALSE(Visible(CDlgLogin::kReconnectNowId));
    EXPECT_EQ(panel().reconnectCount(), 0);
}

TEST_F(ReconnectTest, EachTimeOutInARowLengthensTheCountdownByTenSeconds) {
    ASSERT_NO_FATAL_FAILURE(Init());
    world.server().SetRefusingLogins(true);
    ASSERT_NO_FATAL_FAILURE(PressLogin("me"));
    for (int seconds : {10, 20, 30}) {
        ASSERT_TRUE(TimeOutIntoCountdown(seconds)) << seconds;
        EXPECT_EQ(panel().reconnectCount(), seconds / 10);
        const int loginsBefore = Logins();
        Advance(os::Millis{seconds} * 1000);
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Logins() == loginsBefore + 1; }))
            << seconds;
    }
    EXPECT_TRUE(world.prompter().Records().empty());  // no box while it reconnects itself
}

TEST_F(ReconnectTest, TheTwoLinksReconnectAtOnceOrGiveTheInputsBack) {
    ASSERT_NO_FATAL_FAILURE(Init());
    world.server().SetRefusingLogins(true);
    ASSERT_NO_FATAL_FAILURE(PressLogin("me"));
    ASSERT_TRUE(TimeOutIntoCountdown(10));
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    const auto window = manager->LoginPanel().value();

    // "立即重连": a new attempt now, the countdown stopped.
    int loginsBefore = Logins();
    ASSERT_TRUE(driver.Click(window, CDlgLogin::kReconnectNowId)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Logins() == loginsBefore + 1; }));
    EXPECT_FALSE(Visible(CDlgLogin::kReconnectNowId));

    // Refused again: the second countdown; "取消重连" gives the inputs back, and no attempt
    // follows however long the panel waits.
    ASSERT_TRUE(TimeOutIntoCountdown(20));
    loginsBefore = Logins();
    ASSERT_TRUE(driver.Click(window, CDlgLogin::kCancelReconnectId)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Visible(CDlgLogin::kLoginButtonId); }));
    EXPECT_TRUE(world.log().HasCaptured("CDlgLogin::取消重连...."));
    EXPECT_FALSE(Visible(CDlgLogin::kReconnectNowId));
    EXPECT_FALSE(Visible(CDlgLogin::kCancelReconnectId));
    EXPECT_FALSE(Visible(CDlgLogin::kProgressBarId));
    EXPECT_FALSE(Visible(CDlgLogin::kProgressLabelId));
    EXPECT_FALSE(panel().quietMode());
    EXPECT_FALSE(panel().IsLoggingIn());
    Advance(60000);
    EXPECT_EQ(Logins(), loginsBefore);
    EXPECT_FALSE(world.log().HasCaptured("CDlgLogin::重连时状态错误...."));
}

TEST_F(ReconnectTest, OtherChoiceMessagesAreIgnored) {
    ASSERT_NO_FATAL_FAILURE(Init());
    world.server().SetRefusingLogins(true);
    ASSERT_NO_FATAL_FAILURE(PressLogin("me"));
    ASSERT_TRUE(TimeOutIntoCountdown(10));
    world.windows().SendMessage(manager->LoginPanel(), CDlgLogin::kReconnectChoice, 9004, 0);
    Advance(1000);
    EXPECT_EQ(Label(), "网络错误或服务器忙, 9秒后重连...");
    EXPECT_TRUE(Visible(CDlgLogin::kReconnectNowId));
}

TEST_F(ReconnectTest, ALostConnectionLogsInAgainOnceTheNetworkIsBackAndReentersTheRooms) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    networkUp = false;
    ClearSteps();
    ASSERT_TRUE(world.simSession().DropConnection());
    ASSERT_TRUE(AnswerConnectionLost());
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return !MainPanelShown(); }));
    EXPECT_FALSE(Traced("LeaveAllRooms"));  // a lost connection keeps the rooms
    const int loginsBefore = Logins();

    // No network: the watch looks every 10 s and waits.
    Advance(30000);
    EXPECT_EQ(Logins(), loginsBefore);

    // The network is back: the next look logs in, and the rooms are entered again once.
    networkUp = true;
    Advance(10000);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return MainPanelShown(); }));
    EXPECT_EQ(Logins(), loginsBefore + 1);
    EXPECT_EQ(rooms.reentered, 1);
    EXPECT_FALSE(manager->Flags().connectionLost.load());

    // The watch has ended: no login more, and a later log-out by the user is no lost one.
    Advance(30000);
    EXPECT_EQ(Logins(), loginsBefore + 1);
}

TEST_F(ReconnectTest, AfterALoginElsewhereTheLostConnectionStartsNoNetworkWatch) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    // The same account logs in on another computer: this session is told, then loses its
    // connection.
    auto other = Remote("me");
    ASSERT_TRUE(AnswerConnectionLost());
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return !MainPanelShown(); }));
    const int loginsBefore = Logins();
    Advance(60000);
    EXPECT_EQ(Logins(), loginsBefore);
    const std::vector<std::string> tips = world.tips().TipTexts();
    EXPECT_NE(std::find(tips.begin(), tips.end(), "您已经在其他计算机登录了此帐户"), tips.end());

    // The next login by hand clears the flag: a later drop is watched again.
    other.reset();
    ASSERT_NO_FATAL_FAILURE(LogInAs("me"));
    EXPECT_FALSE(manager->Flags().loggedInElsewhere.load());
    ASSERT_TRUE(world.simSession().DropConnection());
    ASSERT_TRUE(AnswerConnectionLost());
    Advance(10000);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return MainPanelShown(); }));
}

// A message typed while the connection is gone is not sent behind the user's back: the chat
// window says at once that it did not go, and the reconnect sends nothing of it later.
TEST_F(ReconnectTest, AMessageTypedWhileDisconnectedIsReportedAsNotSentAndNeverSentLater) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    remote = Remote("bob");
    CDlgChat* chat = ChatWithBob();
    ASSERT_NE(chat, nullptr);
    ASSERT_TRUE(LoseConnection());

    // The window stays open through the lost connection; what is sent now does not go.
    ASSERT_TRUE(Send(*chat, "断线时写的"));
    EXPECT_NE(ChatView(*chat).find("网络繁忙，无法将消息 断线时写的 发送给"), std::string::npos)
        << ChatView(*chat);

    world.clock().Advance(kNetworkWatchMs);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return MainPanelShown(); }));
    ASSERT_TRUE(Send(*chat, "重连后写的"));
    std::map<std::string, int> received;
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        CountBobReceived(received);
        return received.count("重连后写的") == 1;
    }));
    EXPECT_EQ(received.count("断线时写的"), 0u);
    EXPECT_EQ(received["重连后写的"], 1);
}

// A message received just before the connection is lost, and still waiting to be handled when
// the session ends, is stored for the user it came to.
TEST_F(ReconnectTest, AMessageStillQueuedWhenTheConnectionIsLostIsStoredForItsUser) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    remote = Remote("bob");
    const std::string account = world.simSession().GetCurrentUserLimitName();
    ASSERT_EQ(remote->SendChatMessage(me, "断线前收到的", kFont), 1);
    ASSERT_TRUE(LoseConnection());
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));

    int copies = 0;
    for (const auto& [contents, count] : StoredContents(account)) {
        if (contents.find("断线前收到的") != std::string::npos) copies += count;
    }
    EXPECT_EQ(copies, 1);
    EXPECT_FALSE(world.log().HasCaptured("No user is logged in"));
}

// A long run of lost connections: each ends logged in again through the network watch, and
// every message sent during the run arrives exactly once, those of the user to Bob while
// logged in as much as Bob's to the user while the user is away (kept by the server until the
// next login).
TEST_F(ReconnectTest, TwoHundredLostConnectionsEachEndLoggedInAgainAndLoseNoMessage) {
    constexpr int kDrops = 200;
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    remote = Remote("bob");
    CDlgChat* chat = ChatWithBob();
    ASSERT_NE(chat, nullptr);
    std::map<std::string, int> bobReceived;
    for (int drop = 0; drop < kDrops; ++drop) {
        ASSERT_TRUE(Send(*chat, os::Format("去信%03d", drop))) << drop;
        ASSERT_TRUE(LoseConnection()) << drop;
        ASSERT_EQ(remote->SendChatMessage(me, os::Format("来信%03d", drop), kFont), 1) << drop;
        const int loginsBefore = Logins();
        world.clock().Advance(kNetworkWatchMs);
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return MainPanelShown(); })) << drop;
        ASSERT_EQ(Logins(), loginsBefore + 1) << drop;
        CountBobReceived(bobReceived);
    }
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        CountBobReceived(bobReceived);
        return Drained() && bobReceived.size() >= kDrops;
    }));
    EXPECT_EQ(rooms.reentered, kDrops);

    const std::map<std::string, int> stored =
        StoredContents(world.simSession().GetCurrentUserLimitName());
    for (int drop = 0; drop < kDrops; ++drop) {
        const std::string sent = os::Format("去信%03d", drop);
        EXPECT_EQ(bobReceived[sent], 1) << sent;
        // The store keeps a message with its font header before the text.
        const std::string got = os::Format("来信%03d", drop);
        int copies = 0;
        for (const auto& [contents, count] : stored) {
            if (contents.size() >= got.size() &&
                contents.compare(contents.size() - got.size(), got.size(), got) == 0) {
                copies += count;
            }
        }
        EXPECT_EQ(copies, 1) << got;
    }
    EXPECT_EQ(bobReceived.size(), static_cast<std::size_t>(kDrops));
}

}  // namespace
}  // namespace host_api_test
