// The dispatcher carries each record along its route: driven here on the test thread, which
// also owns the main panel, so every send is handled at once and posts wait for a pump.

#include <gtest/gtest.h>

#include <algorithm>

#include "config/client_config.h"
#include "core/window_messages.h"
#include "notify/notification_dispatcher.h"
#include "notify/pump_handlers.h"
#include "notify_world.h"
#include "os/sys/clock.h"
#include "platform/services/notice_pop.h"
#include "records.h"

namespace {

using notify::Route;
using notify_test::Malformed;
using notify_test::WellFormed;

class DispatcherTest : public ::testing::Test {
  protected:
    int DirectCallsOf(std::uint32_t type, bool serviceDesk) {
        const auto calls = w.direct.Calls();
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const auto& c) {
            return c.type == type && (c.job == "ServiceDesk") == serviceDesk;
        }));
    }
    int UiCallsOf(std::uint32_t type) {
        return static_cast<int>(std::count_if(w.ui.calls.begin(), w.ui.calls.end(),
                                              [&](const auto& c) { return c.type == type; }));
    }
    // Everything any handler saw, to show that nothing happened.
    std::size_t Effects() {
        return w.direct.Calls().size() + w.ui.calls.size() + w.ui.otherSubcodes.size() +
               w.world().tips().Calls().size() + w.world().prompter().Records().size() +
               w.manager().PendingMessages().Size() + w.session().calls().Calls().size();
    }

    notify_test::NotifyWorld w;
    notify::PumpHandlers pumpHandlers{w.context(), *w.handlers, w.incoming};
    notify::NotificationDispatcher dispatcher{w.context(), w.handlers};
};

TEST_F(DispatcherTest, EveryRowIsCarriedAlongItsRoute) {
    for (const notify::DispatchRow& row : notify::DispatchTable()) {
        // The pump's own handlers and the copy have tests of their own.
        if (row.name == "LoggedInElsewhere" || row.name == "SubscriptionRequest" ||
            row.name == "IncomingMessage" || row.name == "UpdateNotice") {
            continue;
        }
        SCOPED_TRACE("type " + std::to_string(row.type) + " " +
                     std::string(notify::RouteName(row.route)));
        dispatcher.Dispatch(WellFormed(row.type));
        w.windows().PumpPending();

        EXPECT_EQ(DirectCallsOf(row.type, false), notify::HasDirectPart(row.route) ? 1 : 0);
        EXPECT_EQ(DirectCallsOf(row.type, true), notify::ReachesServiceDesk(row.route) ? 1 : 0);
        EXPECT_EQ(UiCallsOf(row.type), notify::HasUiPart(row.route) ? 1 : 0);
    }
    EXPECT_TRUE(w.ui.otherSubcodes.empty());
}

TEST_F(DispatcherTest, TheDirectPartCanStopTheHandOverToTheMainPanel) {
    w.direct.handOver = notify::HandOver::Stop;
    for (std::uint32_t type : {30u, 31u, 32u, 38u}) {
        dispatcher.Dispatch(WellFormed(type));
        EXPECT_EQ(DirectCallsOf(type, false), 1) << type;
    }
    EXPECT_TRUE(w.ui.calls.empty());

    w.direct.handOver = notify::HandOver::ToUi;
    dispatcher.Dispatch(WellFormed(30));
    dispatcher.Dispatch(WellFormed(31));
    EXPECT_EQ(w.ui.Jobs(),
              (std::vector<std::string>{"FileTransferSucceeded", "FileTransferFailed"}));
}

TEST_F(DispatcherTest, UiRoutesRunOnTheMainPanelWithTheRecordItself) {
    const platform::NotifyRecord record = WellFormed(39);
    const platform::NotifyRecord* seen = nullptr;
    w.ui.onCall = [&](const platform::NotifyRecord& r) { seen = &r; };
    dispatcher.Dispatch(record);
    EXPECT_EQ(seen, &record);  // sent, not copied: valid until the panel returns
    ASSERT_EQ(w.ui.calls.size(), 1u);
    EXPECT_EQ(w.ui.calls[0].job, "Vcard");
}

TEST_F(DispatcherTest, ARecordWithDataOfAnotherKindIsDroppedWithoutEffect) {
    w.LogIn();
    w.session().calls().Clear();
    w.context().config.MessageArrivedTipType = 1;
    const std::size_t before = Effects();
    // One code of each route, and the codes the pump acts on itself.
    for (std::uint32_t type : {0u, 1u, 2u, 5u, 11u, 16u, 17u, 30u, 34u, 65u, 101u, 106u}) {
        SCOPED_TRACE("type " + std::to_string(type));
        dispatcher.Dispatch(Malformed(type));
        w.windows().PumpPending();
    }
    EXPECT_EQ(Effects(), before);
    EXPECT_FALSE(w.manager().Flags().loggedInElsewhere);
    EXPECT_TRUE(w.world().sound().Played().empty());
    EXPECT_TRUE(w.StoredContents().empty());
}

TEST_F(DispatcherTest, UnknownAndIgnoredCodesHaveNoEffectWhateverTheyCarry) {
    const std::size_t before = Effects();
    for (std::uint32_t type : {4u, 23u, 58u, 102u, 107u, 4096u, 0xFFFFFFFFu}) {
        dispatcher.Dispatch(WellFormed(type));
        dispatcher.Dispatch(notify_test::MessageRecord(type, "x@y", "hello"));
    }
    w.windows().PumpPending();
    EXPECT_EQ(Effects(), before);
}

TEST_F(DispatcherTest, ASecondLoginElsewhereSetsTheFlagOnly) {
    dispatcher.Dispatch(platform::MakeNotify(1, platform::LoggedInElsewhereData{"me@h", "far"}));
    EXPECT_TRUE(w.manager().Flags().loggedInElsewhere);
    EXPECT_FALSE(w.manager().Flags().connectionLost);
    EXPECT_TRUE(w.ui.calls.empty());
}

TEST_F(DispatcherTest, AnUpdateNoticeIsPostedAsACopyTheReceiverOwns) {
    platform::UpdateNoticeData notice;
    notice.texts = {"MUST", "2.0", "http://x/setup.exe", "a", "b", "c"};
    {
        const platform::NotifyRecord record = platform::MakeNotify(2, notice);
        dispatcher.Dispatch(record);
        EXPECT_TRUE(w.ui.notices.empty());  // posted: nothing before the UI thread pumps
    }                                       // the record is given back before the copy is read
    w.windows().PumpPending();
    ASSERT_EQ(w.ui.notices.size(), 1u);
    ASSERT_NE(w.ui.notices[0]->As<platform::UpdateNoticeData>(), nullptr);
    EXPECT_EQ(*w.ui.notices[0]->As<platform::UpdateNoticeData>(), notice);
    EXPECT_EQ(w.ui.notices[0]->type, 2u);
    ASSERT_EQ(w.mainPanel().hwnd(), w.manager().MainPanel());
}

TEST_F(DispatcherTest, ACopyForAPanelThatClosedMeanwhileIsFreedNotDelivered) {
    platform::UpdateNoticeData notice;
    notice.texts = {"a", "b", "c", "d", "e", std::string(4000, 'x')};
    dispatcher.Dispatch(platform::MakeNotify(2, notice));
    w.mainPanel().DestroyWindow();  // before the UI thread took the message
    w.windows().PumpPending();
    EXPECT_TRUE(w.ui.notices.empty());
    // And for a panel gone before the post.
    dispatcher.Dispatch(platform::MakeNotify(2, notice));
    w.windows().PumpPending();
    EXPECT_TRUE(w.ui.notices.empty());
    // The leak check of the sanitizer build shows that both copies were freed.
}

struct LostCase {
    bool loggedInElsewhere;
    bool timerStarts;
};

class ConnectionLostTest : public DispatcherTest, public ::testing::WithParamInterface<LostCase> {};

TEST_P(ConnectionLostTest, SetsTheFlagTellsTheHostAndStartsTheCountdownUnlessTakenOver) {
    w.manager().Flags().loggedInElsewhere = GetParam().loggedInElsewhere;
    dispatcher.ConnectionLost();
    EXPECT_TRUE(w.manager().Flags().connectionLost);

    w.windows().PumpPending();
    ASSERT_EQ(w.host().Count(os::WM_COMMAND), 1);
    const auto& command = *std::find_if(w.host().seen.begin(), w.host().seen.end(),
                                        [](const auto& s) { return s.message == os::WM_COMMAND; });
    EXPECT_EQ(command.wParam, 0x800Au);
    EXPECT_EQ(command.lParam, 0);

    w.windows().AdvanceClock(9999);
    EXPECT_EQ(w.loginPanel().Count(os::WM_TIMER), 0);
    w.windows().AdvanceClock(1);
    const auto timers = w.loginPanel().WParamsOf(os::WM_TIMER);
    if (GetParam().timerStarts) {
        EXPECT_EQ(timers, std::vector<os::WPARAM>{1001});
    } else {
        EXPECT_TRUE(timers.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Flags, ConnectionLostTest,
                         ::testing::Values(LostCase{false, true}, LostCase{true, false}),
                         [](const ::testing::TestParamInfo<LostCase>& info) {
                             return std::string(info.param.loggedInElsewhere ? "LoggedInElsewhere"
                                                                             : "Lost");
                         });

}  // namespace
