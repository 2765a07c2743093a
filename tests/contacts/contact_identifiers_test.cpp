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

using platform::Jid;

TEST(ContactIdentifiersTest, BuildsTheDirectoryAndSmsForms) {
    EXPECT_EQ(Jid::Government("wang", "im.example").text(), "wang$gov@im.example");
    EXPECT_EQ(Jid::Public("li", "im.example").text(), "li$pub@im.example");
    EXPECT_EQ(Jid::Sms("13800138000", "im.example").text(), "13800138000@sms.im.example");
}

TEST(ContactIdentifiersTest, RecognisesRoomsAndGatewayContacts) {
    EXPECT_TRUE(Jid("team@conference.im.example").IsRoom());
    EXPECT_FALSE(Jid("team@im.example").IsRoom());
    EXPECT_TRUE(Jid("someone%hotmail.com@msn.im.example").IsMsn());
    EXPECT_FALSE(Jid("wang$gov@im.example").IsMsn());
}

TEST(ContactIdentifiersTest, SplitsRoomOccupants) {
    const Jid occupant("team@conference.im.example/王伟");
    ASSERT_TRUE(occupant.IsOccupant());
    EXPECT_EQ(occupant.Bare(), "team@conference.im.example");
    EXPECT_GBK_EQ(occupant.Resource(), "王伟");
    // A room itself, an occupant without nickname, a user with a resource: no occupant.
    EXPECT_FALSE(Jid("team@conference.im.example").IsOccupant());
    EXPECT_FALSE(Jid("team@conference.im.example/").IsOccupant());
    EXPECT_FALSE(Jid("wang$gov@im.example/desk").IsOccupant());
}

TEST(ContactIdentifiersTest, LocalPartEndsAtTheFirstAt) {
    EXPECT_EQ(Jid("wang$gov@im.example").LocalPart(), "wang$gov");
    EXPECT_EQ(Jid("13800138000").LocalPart(), "13800138000");
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
    EXPECT_EQ(OccupantUserJid("zhang", session).text(), "zhang$gov@" + server.HostName());
    ASSERT_EQ(session.Logout(), 1);

    ASSERT_EQ(session.Login("pub", "pw", 2, "", 0), platform::kLoginAccepted);
    EXPECT_EQ(OccupantUserJid("zhang", session).text(), "zhang$pub@" + server.HostName());
}

}  // namespace
