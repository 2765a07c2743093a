// The world's session engine follows the configuration: the embedded simulated server while
// no server is configured, the XMPP engine for the configured server, which it reaches over
// TLS with the server's certificate checked.

#include <gtest/gtest.h>

#include <thread>

#include "config/client_config.h"
#include "core/client_world.h"
#include "os/sys/event.h"
#include "platform/session/sim_session_core.h"
#include "platform/xmpp/xmpp_session_core.h"
#include "support/prosody/prosody_server.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/wait_for.h"

namespace {

class XmppEngineChoiceTest : public ::testing::Test {
  protected:
    // Sets the engine up as the pump does, and answers the first record of the login of
    // "zhang" with `password`.
    platform::LoginResultData LogIn(core::TestClientWorld& world, const char* password) {
        platform::SessionCore& session = world.context().session;
        EXPECT_NE(session.Init(&lost_, &notify_, std::this_thread::get_id()), 0);
        EXPECT_EQ(session.Login("zhang", password, 1, "", 0), platform::kLoginAccepted);
        platform::LoginResultData result;
        EXPECT_TRUE(testing_support::WaitFor(
            [&] {
                platform::NotifyRecord* record = session.GetNotify();
                if (record == nullptr) return false;
                if (const auto* data = record->As<platform::LoginResultData>()) result = *data;
                session.FreeNotify(record);
                return true;
            },
            "the login's result"));
        return result;
    }

    testing_support::TempDir common_;
    testing_support::TempDir app_;
    os::ManualClock clock_;
    os::Event lost_{clock_, os::EventReset::Auto};
    os::Event notify_{clock_, os::EventReset::Auto};
};

TEST_F(XmppEngineChoiceTest, WithoutAServerTheSimulatedServerServes) {
    core::TestClientWorld world({common_.str(), app_.str()});
    EXPECT_NE(world.context().session.Init(&lost_, &notify_, std::this_thread::get_id()), 0);
    EXPECT_EQ(&world.session(), &world.simSession());
    world.context().session.Free();
}

TEST_F(XmppEngineChoiceTest, AConfiguredServerIsReachedOverCheckedTls) {
    if (!testing_support::ProsodyServer::Installed()) GTEST_SKIP() << "prosody is not installed";
    testing_support::ProsodyServer server;
    server.Register("zhang$gov", "pw-z");
    ASSERT_TRUE(server.Ready()) << server.error();

    struct Case {
        const char* what;
        bool trustServersCa;  // the test's own CA is made the trusted store
        const char* password;
        int result;
    };
    const Case cases[] = {
        {"trusted certificate, right password", true, "pw-z", 1},
        {"trusted certificate, wrong password", true, "wrong", 0},
        {"certificate nobody vouches for", false, "pw-z", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // OpenSSL's system store is SSL_CERT_FILE when it is set: only this test sets it.
        testing_support::ScopedEnv trust(
            "SSL_CERT_FILE", c.trustServersCa ? std::optional<std::string>(server.caFile())
                                              : std::optional<std::string>("/nonexistent"));
        core::TestClientWorld world({common_.str(), app_.str()});
        config::ClientConfig& config = world.context().config;
        config.HostName = server.domain();
        config.XmppPort = server.port();
        config.UseTLS = 1;

        const platform::LoginResultData result = LogIn(world, c.password);
        EXPECT_NE(dynamic_cast<platform::XmppSessionCore*>(&world.session()), nullptr);
        EXPECT_EQ(result.result, c.result);
        EXPECT_EQ(world.context().session.GetCurrentUserJID(),
                  c.result == 1 ? "zhang$gov@" + server.domain() : "");
        EXPECT_EQ(world.context().session.GetHostName(), server.domain());
        world.context().session.Free();
    }
}

}  // namespace
