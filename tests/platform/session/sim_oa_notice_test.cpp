// The simulated server's real-time OA notices: an office system's push reaches the user's
// logged-in session, and nobody keeps one for a user who is not logged in.

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "os/sys/event.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "sim_world.h"

namespace {

class SimOaNoticeTest : public ::testing::Test {
  protected:
    SimOaNoticeTest()
        : lost_(world_.clock(), os::EventReset::Auto),
          notify_(world_.clock(), os::EventReset::Auto),
          core_(world_.serverPtr()) {
        platform::SimAccount alice;
        alice.loginName = "alice";
        alice.password = "pw";
        aliceJid_ = world_.server().AddAccount(alice);
        core_.Init(&lost_, &notify_, std::this_thread::get_id());
    }

    // The OA notices waiting in the session, oldest first; every other record is given back.
    std::vector<platform::MessageData> TakeOaNotices() {
        std::vector<platform::MessageData> notices;
        while (platform::NotifyRecord* record = core_.GetNotify()) {
            const auto* message = record->As<platform::MessageData>();
            if (record->type == platform::notify_type::kOaNotice && message != nullptr) {
                notices.push_back(*message);
            }
            core_.FreeNotify(record);
        }
        return notices;
    }

    sim_testing::SimWorld world_;
    os::Event lost_;
    os::Event notify_;
    platform::SimSessionCore core_;
    std::string aliceJid_;
};

TEST_F(SimOaNoticeTest, ALoggedInUserGetsTheBodyAsItWasSent) {
    ASSERT_EQ(core_.Login("alice", "pw", 1, "", 0), platform::kLoginAccepted);
    TakeOaNotices();
    const std::string body = "<Desc>审批 & 会议</Desc><SendTime>20090102030405</SendTime>";
    EXPECT_EQ(world_.server().SendOaNotice(aliceJid_, body), 1);
    const auto notices = TakeOaNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].content, body);
    EXPECT_EQ(notices[0].to, aliceJid_);
    EXPECT_EQ(notices[0].from, "oa@" + world_.server().HostName());
}

TEST_F(SimOaNoticeTest, NoticesToAUserWhoIsNotLoggedInAreRefusedAndNotKept) {
    EXPECT_EQ(world_.server().SendOaNotice(aliceJid_, "<Desc>x</Desc>"), 0);
    EXPECT_EQ(
        world_.server().SendOaNotice("nobody@" + world_.server().HostName(), "<Desc>x</Desc>"), 0);
    ASSERT_EQ(core_.Login("alice", "pw", 1, "", 0), platform::kLoginAccepted);
    EXPECT_TRUE(TakeOaNotices().empty());
    EXPECT_TRUE(world_.server().StoredMessages(aliceJid_).empty());
}

}  // namespace
