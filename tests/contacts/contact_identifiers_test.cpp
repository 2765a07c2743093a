#include "contacts/contact_identifiers.h"

#include <gtest/gtest.h>

#include "core/client_world.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "tree_fixture.h"

namespace {

using namespace contacts;
using contacts_test::Account;

TEST(ContactIdentifiersTest, BuildsTheDirectoryAndSmsForms) {
    EXPECT_EQ(GovernmentJid("wang", "im.example"), "wang$gov@im.example");
    EXPECT_EQ(PublicJid("li", "im.example"), "li$pub@im.example");
    EXPECT_EQ(SmsJid("13800138000", "im.example"), "13800138000@sms.im.example");
}

TEST(ContactIdentifiersTest, RecognisesRoomsAndGatewayContacts) {
    EXPECT_TRUE(IsRoomJid("team@conference.im.example"));
    EXPECT_FALSE(IsRoomJid("team@im.example"));
    EXPECT_TRUE(IsMsnJid("someone%hotmail.com@msn.im.example"));
    EXPECT_FALSE(IsMsnJid("wang$gov@im.example"));
}

TEST(ContactIdentifiersTest, SplitsRoomOccupants) {
    RoomOccupant occupant;
    ASSERT_TRUE(SplitRoomOccupant("team@conference.im.example/王伟", occupant));
    EXPECT_EQ(occupant.roomJid, "team@conference.im.example");
    EXPECT_GBK_EQ(occupant.nickname, "王伟");
    // A room itself, an occupant without nickname, a user with a resource: no occupant.
    EXPECT_FALSE(SplitRoomOccupant("team@conference.im.example", occupant));
    EXPECT_FALSE(SplitRoomOccupant("team@conference.im.example/", occupant));
    EXPECT_FALSE(SplitRoomOccupant("wang$gov@im.example/desk", occupant));
}

TEST(ContactIdentifiersTest, LocalPartEndsAtTheFirstAt) {
    EXPECT_EQ(JidLocalPart("wang$gov@im.example"), "wang$gov");
    EXPECT_EQ(JidLocalPart("13800138000"), "13800138000");
}

// The occupant rule follows the logged-in user's own kind.
TEST(ContactIdentifiersTest, OccupantJidFollowsTheOwnUserType) {
    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world({common.str(), app.str()});
    auto& server = world.server();
    server.AddAccount(Account("gov"));
    server.AddAccount(Account("pub", "pub$pub@" + server.HostName()));
    auto& session = world.simSession();
    ASSERT_EQ(session.Init(nullptr, nullptr, std::this_thread::get_id()), 1);

    ASSERT_EQ(session.Login("gov", "pw", 1, "", 0), platform::kLoginAccepted);
    EXPECT_EQ(OccupantUserJid("zhang", session), "zhang$gov@" + server.HostName());
    ASSERT_EQ(session.Logout(), 1);

    ASSERT_EQ(session.Login("pub", "pw", 2, "", 0), platform::kLoginAccepted);
    EXPECT_EQ(OccupantUserJid("zhang", session), "zhang$pub@" + server.HostName());
}

}  // namespace
