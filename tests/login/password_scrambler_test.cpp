#include "login/password_scrambler.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "support/case_name.h"

namespace {

using login::ScramblePassword;
using login::UnscramblePassword;

class ScrambleRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(ScrambleRoundTrip, GivesThePasswordBackAndNeverShowsIt) {
    const std::string& password = GetParam();
    const std::string scrambled = ScramblePassword(password);
    EXPECT_EQ(scrambled.size(), 8 + 2 * password.size());
    EXPECT_EQ(scrambled.find_first_not_of("0123456789ABCDEF"), std::string::npos) << scrambled;
    EXPECT_EQ(scrambled.find(password), std::string::npos);
    EXPECT_EQ(UnscramblePassword(scrambled), password);
}

INSTANTIATE_TEST_SUITE_P(Passwords, ScrambleRoundTrip,
                         ::testing::Values("a", "secret", "密码123", "a;b%c\r\n",
                                           std::string(1, '\0'), std::string(300, 'x'),
                                           "0123456789ABCDEF"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return testing_support::IndexedName(info.index, info.param);
                         });

TEST(PasswordScramblerTest, EmptyStaysEmpty) {
    EXPECT_EQ(ScramblePassword(""), "");
    EXPECT_EQ(UnscramblePassword(""), "");
}

TEST(PasswordScramblerTest, TheSaltChangesTheFormAndTheStreamHidesRepeats) {
    const std::string a = ScramblePassword("aaaaaaaaaaaaaaaa", 1);
    const std::string b = ScramblePassword("aaaaaaaaaaaaaaaa", 2);
    EXPECT_NE(a, b);
    EXPECT_NE(a.substr(8, 2), a.substr(10, 2));  // equal clear bytes, different scrambled ones
    EXPECT_EQ(ScramblePassword("abc", 7), ScramblePassword("abc", 7));
    EXPECT_EQ(UnscramblePassword(a), "aaaaaaaaaaaaaaaa");
    EXPECT_EQ(UnscramblePassword(b), "aaaaaaaaaaaaaaaa");
}

TEST(PasswordScramblerTest, MalformedTextIsRefused) {
    const std::string good = ScramblePassword("secret", 0x12345678);
    EXPECT_EQ(good.substr(0, 8), "12345678");
    for (const std::string& bad :
         {std::string("1234567"), std::string("12345678"), good.substr(0, good.size() - 1),
          std::string("1234567G00"), good.substr(0, 9) + "Z" + good.substr(10),
          std::string("secret")}) {
        EXPECT_FALSE(UnscramblePassword(bad).has_value()) << bad;
    }
    // Lower-case hex is read too.
    std::string lower = good;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(UnscramblePassword(lower), "secret");
}

}  // namespace
