// A login attempt's threads never outlive the attempt: the world whose session, log, clock
// and flags they use may be torn down right after it, even while a thread was in a wait.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>

#include "core/client_world.h"
#include "core/session_flags.h"
#include "login/login_attempt.h"
#include "login/login_state_word.h"
#include "os/sys/clock.h"
#include "os/sys/event.h"
#include "platform/session/session_core.h"
#include "platform/session/sim_session_core.h"
#include "support/temp_dir.h"
#include "support/waiting/clock_waiters.h"

namespace {

struct WaitCase {
    const char* name;
    std::optional<int> canLoginAnswer;  // the engine's CanUserLogin answer
    int waiters;                        // threads of the attempt waiting on the clock
};

class AttemptLifetimeTest : public ::testing::TestWithParam<WaitCase> {};

TEST_P(AttemptLifetimeTest, TheWorldGoesRightAfterTheAttemptWhileAThreadWaits) {
    testing_support::TempDir commonDir;
    testing_support::TempDir appDir;
    auto world =
        std::make_unique<core::TestClientWorld>(core::WorldFolders{commonDir.str(), appDir.str()});
    auto flags = std::make_unique<core::SessionFlags>();
    core::ClientContext& context = world->context();
    world->simSession().SetCanUserLoginAnswer(GetParam().canLoginAnswer);
    std::atomic<int> reports{0};
    login::AttemptServices services{
        context.session,
        context.log,
        context.clock,
        *flags,
        std::make_shared<login::LoginStateWord>(context.namedObjects, context.clock),
        std::make_shared<os::Event>(context.clock, os::EventReset::Auto),
        [&reports](login::AttemptReport) { ++reports; }};
    login::AttemptRequest request;
    request.userName = "li";
    auto attempt = std::make_unique<login::LoginAttempt>(std::move(services), std::move(request));
    ASSERT_TRUE(testing_support::WaitForWaiters(world->clock(), GetParam().waiters));

    EXPECT_TRUE(attempt->Running());
    attempt.reset();
    // The destructor came back only after both threads had left their waits and ended.
    EXPECT_EQ(world->clock().WaiterCount(), 0);
    EXPECT_EQ(reports, 0);
    flags.reset();
    world.reset();  // a thread still using the world would be reported by ASan and TSan
}

INSTANTIATE_TEST_SUITE_P(
    Waits, AttemptLifetimeTest,
    ::testing::Values(
        // The login was sent; the watcher waits for the login event or the time-out.
        WaitCase{"WatcherInItsTimeOutWait", std::nullopt, 1},
        // The engine has not decided: the worker sleeps before asking again, the watcher polls.
        WaitCase{"WorkerInItsPermissionWait", 0, 2}),
    [](const ::testing::TestParamInfo<WaitCase>& info) { return info.param.name; });

}  // namespace
