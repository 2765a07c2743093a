#include "os/ui/messages.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace {

using namespace os;

struct PackCase {
    std::uint32_t low;
    std::uint32_t high;
    WPARAM packed;
};

class PackTest : public ::testing::TestWithParam<PackCase> {};

TEST_P(PackTest, HalvesGoInAndComeOut) {
    const PackCase& c = GetParam();
    EXPECT_EQ(MAKEWPARAM(c.low, c.high), c.packed);
    EXPECT_EQ(LOWORD(c.packed), c.low & 0xFFFF);
    EXPECT_EQ(HIWORD(c.packed), c.high & 0xFFFF);
    EXPECT_EQ(static_cast<WPARAM>(MAKELPARAM(c.low, c.high)), c.packed);
}

INSTANTIATE_TEST_SUITE_P(Values, PackTest,
                         ::testing::Values(PackCase{0, 0, 0}, PackCase{1001, 0, 1001},
                                           PackCase{1001, 0x0300, 0x030003E9},
                                           PackCase{0xFFFF, 0xFFFF, 0xFFFFFFFF},
                                           // Higher bits are cut, as the 16-bit halves are.
                                           PackCase{0x12345, 0x1ABCD, 0xABCD2345}),
                         [](const ::testing::TestParamInfo<PackCase>& info) {
                             return "Low" + std::to_string(info.param.low) + "High" +
                                    std::to_string(info.param.high);
                         });

TEST(MessagesTest, SignedCoordinatesSurviveTheTrip) {
    LPARAM point = MAKELPARAM(static_cast<std::uint16_t>(-5), 300);
    EXPECT_EQ(GET_X_LPARAM(point), -5);
    EXPECT_EQ(GET_Y_LPARAM(point), 300);
}

TEST(MessagesTest, PointersTravelInParameters) {
    int value = 3;
    LPARAM carried = ToLParam(&value);
    EXPECT_EQ(FromLParam<int>(carried), &value);
}

TEST(HwndTest, NullEqualityHashAndParameters) {
    EXPECT_FALSE(HWND());
    EXPECT_TRUE(HWND(5));
    EXPECT_EQ(HWND(5), HWND::FromParam(HWND(5).ToParam()));
    EXPECT_LT(HWND(1), HWND(2));
    std::unordered_set<HWND> set{HWND(1), HWND(2), HWND(1)};
    EXPECT_EQ(set.size(), 2u);
}

}  // namespace
