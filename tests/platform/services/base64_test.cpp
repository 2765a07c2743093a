#include "platform/services/base64.h"

#include <gtest/gtest.h>

namespace {

struct Pair {
    std::string bytes;
    std::string text;
};

class Base64RoundTrip : public ::testing::TestWithParam<Pair> {};

TEST_P(Base64RoundTrip, EncodesAndDecodes) {
    EXPECT_EQ(platform::Base64Encode(GetParam().bytes), GetParam().text);
    EXPECT_EQ(platform::Base64Decode(GetParam().text), GetParam().bytes);
}

// RFC 4648 test vectors, binary bytes and GBK text.
INSTANTIATE_TEST_SUITE_P(Vectors, Base64RoundTrip,
                         ::testing::Values(Pair{"", ""}, Pair{"f", "Zg=="}, Pair{"fo", "Zm8="},
                                           Pair{"foo", "Zm9v"}, Pair{"foob", "Zm9vYg=="},
                                           Pair{"fooba", "Zm9vYmE="}, Pair{"foobar", "Zm9vYmFy"},
                                           Pair{std::string("\x00\xff\xfe\x3f", 4), "AP/+Pw=="},
                                           Pair{"\xC4\xE3\xBA\xC3", "xOO6ww=="}),  // "你好" in GBK
                         [](const auto& info) {
                             return "bytes" + std::to_string(info.param.bytes.size()) + "_" +
                                    std::to_string(info.index);
                         });

struct Lenient {
    std::string text;
    std::string bytes;
};

TEST(Base64DecodeTest, SkipsLineBreaksAndAcceptsMissingPadding) {
    for (const Lenient& c : {Lenient{"Zm9v\r\nYmFy", "foobar"}, Lenient{" Zm 9v\tYg== \n", "foob"},
                             Lenient{"Zg", "f"}, Lenient{"Zm8", "fo"}, Lenient{"\r\n", ""}}) {
        EXPECT_EQ(platform::Base64Decode(c.text), c.bytes) << c.text;
    }
}

TEST(Base64DecodeTest, RejectsWhatIsNotBase64) {
    for (const char* text : {"Z", "Zm9vY", "Zm9v!", "Zm-v", "Zg=a", "Zg==Zg==", "Zg=", "Zm8==", "=",
                             "====", "Zm9v===="}) {
        EXPECT_EQ(platform::Base64Decode(text), std::nullopt) << text;
    }
}

TEST(Base64DecodeTest, EveryByteValueSurvives) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    for (size_t len = 0; len <= all.size(); len += 37) {
        std::string part = all.substr(0, len);
        EXPECT_EQ(platform::Base64Decode(platform::Base64Encode(part)), part) << len;
    }
}

}  // namespace
