// The conformance suite run against the simulated server.

#include "sim_world.h"
#include "support/session_conformance/room_conformance.h"
#include "support/session_conformance/session_conformance.h"

namespace session_conformance {

INSTANTIATE_TEST_SUITE_P(Engines, SessionConformance,
                         ::testing::Values(WorldFactory{
                             "Sim", [] { return std::make_unique<sim_testing::SimWorld>(); }}),
                         [](const ::testing::TestParamInfo<WorldFactory>& info) {
                             return info.param.name;
                         });

INSTANTIATE_TEST_SUITE_P(Engines, RoomConformance,
                         ::testing::Values(WorldFactory{
                             "Sim", [] { return std::make_unique<sim_testing::SimWorld>(); }}),
                         [](const ::testing::TestParamInfo<WorldFactory>& info) {
                             return info.param.name;
                         });

}  // namespace session_conformance
