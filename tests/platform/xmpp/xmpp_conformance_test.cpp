// The conformance suite run against the XMPP engine on a Prosody of the test's own.

#include "support/session_conformance/room_conformance.h"
#include "support/session_conformance/session_conformance.h"
#include "xmpp_world.h"

namespace session_conformance {

INSTANTIATE_TEST_SUITE_P(Engines, SessionConformance,
                         ::testing::Values(WorldFactory{"Xmpp", xmpp_testing::MakeXmppWorld,
                                                        "prosody is not installed"}),
                         [](const ::testing::TestParamInfo<WorldFactory>& info) {
                             return info.param.name;
                         });

INSTANTIATE_TEST_SUITE_P(Engines, RoomConformance,
                         ::testing::Values(WorldFactory{"Xmpp", xmpp_testing::MakeXmppWorld,
                                                        "prosody is not installed"}),
                         [](const ::testing::TestParamInfo<WorldFactory>& info) {
                             return info.param.name;
                         });

}  // namespace session_conformance
