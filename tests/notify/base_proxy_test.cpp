// The notification pump with its thread: the test thread plays the UI thread, the manual
// clock never moves unless a test moves it, so a pump that waited for a time-out would stall.

#include "notify/base_proxy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/window_messages.h"
#include "notify_world.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "records.h"
#include "support/wait_for.h"
#include "support/waiting/pump_until.h"

namespace {

using notify_test::WellFormed;
using testing_support::PumpUntil;
using testing_support::WaitFor;

platform::NotifyRecord Numbered(std::uint32_t type, std::int64_t number) {
    platform::SlotData data;
    data.numbers = {number};
    return platform::MakeNotify(type, std::move(data));
}

class BaseProxyTest : public ::testing::Test {
  protected:
    notify_test::NotifyWorld w;
    CBaseProxy proxy{w.context(), w.handlers, w.incoming};
};

TEST_F(BaseProxyTest, InitStartsTheThreadAndHandsTheEngineItsEvents) {
    EXPECT_FALSE(proxy.ThreadRunning());
    EXPECT_EQ(proxy.Init(), 1);
    EXPECT_TRUE(proxy.ThreadRunning());
    EXPECT_TRUE(proxy.HasHandles());
    EXPECT_EQ(w.session().NotifyThread(), proxy.ThreadId());
    EXPECT_EQ(w.session().calls().Count("Init"), 1u);
}

TEST_F(BaseProxyTest, SeveralRecordsBehindOneSignalAreAllHandledBeforeTheNextWait) {
    // Queued before the engine has events: Init signals them all with one Set.
    for (std::uint32_t type : {25u, 40u, 59u, 105u}) w.session().Inject(WellFormed(type));
    proxy.Init();
    ASSERT_TRUE(WaitFor([&] { return w.direct.Count() == 4; }));
    EXPECT_EQ(w.direct.Jobs(), (std::vector<std::string>{"ChatWindowUpdate", "UserDataUpdate",
                                                         "ToolBarValue", "MainPanelPaneUpdate"}));
    for (const auto& call : w.direct.Calls()) EXPECT_EQ(call.thread, proxy.ThreadId());
    ASSERT_TRUE(WaitFor([&] { return w.session().IssuedCount() == 0; }));
    EXPECT_EQ(w.session().QueuedCount(), 0u);
    EXPECT_EQ(w.clock().Now(), 0);
}

TEST_F(BaseProxyTest, AUiRecordIsHandledOnTheUiThreadAndGivenBackOnlyAfterwards) {
    proxy.Init();
    std::size_t issuedMeanwhile = 99;
    w.ui.onCall = [&](const platform::NotifyRecord&) {
        issuedMeanwhile = w.session().IssuedCount();
    };
    w.session().Inject(WellFormed(39));
    ASSERT_TRUE(PumpUntil(w.windows(), [&] { return !w.ui.calls.empty(); }));
    EXPECT_EQ(w.ui.calls[0].thread, std::this_thread::get_id());
    EXPECT_EQ(issuedMeanwhile, 1u);  // still out while the panel worked on it
    ASSERT_TRUE(WaitFor([&] { return w.session().IssuedCount() == 0; }));
}

TEST_F(BaseProxyTest, MalformedAndUnknownRecordsAreGivenBackWithoutEffect) {
    proxy.Init();
    w.session().Inject(notify_test::Malformed(39));
    w.session().Inject(notify_test::Malformed(17));
    w.session().Inject(WellFormed(4000));
    w.session().Inject(WellFormed(40));  // a marker that the three before were passed
    ASSERT_TRUE(WaitFor([&] { return w.direct.Count() > 0; }));
    ASSERT_TRUE(WaitFor([&] { return w.session().IssuedCount() == 0; }));
    w.windows().PumpPending();
    EXPECT_EQ(w.direct.Jobs(), std::vector<std::string>{"UserDataUpdate"});
    EXPECT_TRUE(w.ui.calls.empty());
    EXPECT_EQ(w.session().QueuedCount(), 0u);
    EXPECT_TRUE(w.world().log().HasCaptured("dropped"));
}

TEST_F(BaseProxyTest, ALostConnectionIsHandledOnTheThread) {
    w.LogIn();
    proxy.Init();
    ASSERT_TRUE(w.session().DropConnection());
    ASSERT_TRUE(PumpUntil(w.windows(), [&] { return w.host().Count(os::WM_COMMAND) == 1; }));
    EXPECT_TRUE(w.manager().Flags().connectionLost);
    w.windows().AdvanceClock(10000);
    EXPECT_EQ(w.loginPanel().WParamsOf(os::WM_TIMER), std::vector<os::WPARAM>{1001});
}

TEST_F(BaseProxyTest, FreeFreesTheEngineAndStopsTheThread) {
    proxy.Init();
    proxy.Free();
    EXPECT_FALSE(proxy.ThreadRunning());
    EXPECT_FALSE(proxy.HasHandles());
    EXPECT_EQ(w.session().calls().Count("Free"), 1u);
    EXPECT_EQ(w.clock().WaiterCount(), 0);
    // Free again, or before any Init, is harmless.
    proxy.Free();
}

TEST_F(BaseProxyTest, ASecondInitLeavesOneThread) {
    proxy.Init();
    proxy.Init();
    EXPECT_TRUE(proxy.ThreadRunning());
    // One idle pump waits on the clock, not two.
    ASSERT_TRUE(WaitFor([&] { return w.clock().WaiterCount() >= 1; }));
    EXPECT_EQ(w.clock().WaiterCount(), 1);
    w.session().Inject(WellFormed(40));
    ASSERT_TRUE(WaitFor([&] { return w.direct.Count() > 0; }));
    EXPECT_EQ(w.direct.Calls()[0].thread, proxy.ThreadId());
}

TEST_F(BaseProxyTest, AfterASessionEndTheNextInitHandlesWhatCameMeanwhile) {
    proxy.Init();
    proxy.CloseSessionHandles();
    EXPECT_FALSE(proxy.ThreadRunning());
    EXPECT_FALSE(proxy.HasHandles());
    EXPECT_EQ(w.session().calls().Count("Free"), 0u);  // the engine is not freed

    // The engine still signals the events it holds; they must still exist.
    w.session().Inject(WellFormed(40));
    EXPECT_TRUE(w.direct.Calls().empty());
    proxy.Init();
    ASSERT_TRUE(WaitFor([&] { return w.direct.Count() == 1; }));
}

TEST_F(BaseProxyTest, AThreadInASendToTheStoppingThreadIsAnsweredAndEndsWithoutAStall) {
    proxy.Init();
    w.session().Inject(WellFormed(39));  // a send the test thread has not answered yet
    ASSERT_TRUE(
        WaitFor([&] { return w.session().IssuedCount() == 1 && w.clock().WaiterCount() >= 1; }));

    std::atomic<bool> freed{false};
    std::thread rescuer([&] {
        // Only a pump that waits out its time without answering keeps Free here; then the
        // 200 ms pass, so the test fails below instead of hanging.
        if (!WaitFor([&] { return freed.load(); }, "Free to return on an unmoved clock")) {
            w.clock().Advance(CBaseProxy::kStopWaitMs);
        }
    });
    proxy.Free();
    freed = true;
    rescuer.join();
    EXPECT_FALSE(proxy.ThreadRunning());
    EXPECT_EQ(w.clock().Now(), 0) << "Free waited out its time";
    EXPECT_FALSE(w.world().log().HasCaptured("did not end within 200 ms"));
    // The send was answered inside Free, and the record given back before the thread ended.
    ASSERT_EQ(w.ui.calls.size(), 1u);
    EXPECT_EQ(w.ui.calls[0].thread, std::this_thread::get_id());
    EXPECT_EQ(w.session().IssuedCount(), 0u);
}

TEST_F(BaseProxyTest, ABurstIsHandledInOrderWhileTheUiThreadWorks) {
    constexpr int kCount = 100'000;
    std::vector<std::int64_t> uiOrder;
    uiOrder.reserve(kCount);
    w.ui.onCall = [&](const platform::NotifyRecord& record) {
        uiOrder.push_back(record.As<platform::SlotData>()->numbers.at(0));
    };
    proxy.Init();

    // The engine's own thread queues the burst: UI records, direct ones, ignored ones and
    // update notices, interleaved.
    std::thread engine([&] {
        for (int i = 0; i < kCount; ++i) {
            switch (i % 4) {
                case 0:
                case 1:
                    w.session().Inject(Numbered(39, i));
                    break;
                case 2:
                    w.session().Inject(WellFormed(i % 100 == 2 ? 2 : 40));
                    break;
                default:
                    w.session().Inject(WellFormed(4));
                    break;
            }
        }
    });
    // The UI thread keeps busy with its own work between the notifications.
    int ownWork = 0;
    int rounds = 0;
    ASSERT_TRUE(PumpUntil(w.windows(), [&] {
        if (++rounds % 64 == 0) w.windows().PostTask(w.mainPanel().hwnd(), [&] { ++ownWork; });
        return uiOrder.size() == kCount / 2 && w.direct.Count() == kCount / 4 - kCount / 100;
    }));
    engine.join();
    ASSERT_TRUE(
        WaitFor([&] { return w.session().IssuedCount() == 0 && w.session().QueuedCount() == 0; }));
    w.windows().PumpPending();

    for (int i = 0; i < kCount / 2; ++i) {
        ASSERT_EQ(uiOrder[i], (i / 2) * 4 + i % 2) << i;
    }
    EXPECT_EQ(w.ui.notices.size(), static_cast<std::size_t>(kCount / 100));
    EXPECT_GT(ownWork, 0);
}

}  // namespace
