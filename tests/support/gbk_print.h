#pragma once
// Comparing GBK strings in tests with readable failures. gtest prints a std::string as raw
// bytes, which a UTF-8 terminal shows as garbage when they are GBK. Compare GBK text with
//
//     EXPECT_GBK_EQ(actual, expected);   // or ASSERT_GBK_EQ
//
// A failure then shows both values as UTF-8 in quotes, with C escapes for control characters
// and \xNN for bytes that are not GBK, so every difference is visible. The expressions are
// shown as UTF-8 too (the literals in them were compiled to GBK). For gmock matchers wrap the
// values in Gbk, which has operator== and a PrintTo: EXPECT_THAT(Gbk(s), Eq(Gbk("..."))).

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace testing_support {

class Gbk {
  public:
    Gbk(std::string_view bytes) : bytes_(bytes) {}          // NOLINT: implicit by design
    Gbk(const char* bytes) : bytes_(bytes ? bytes : "") {}  // NOLINT
    Gbk(const std::string& bytes) : bytes_(bytes) {}        // NOLINT

    const std::string& bytes() const { return bytes_; }
    friend bool operator==(const Gbk& a, const Gbk& b) { return a.bytes_ == b.bytes_; }

  private:
    std::string bytes_;
};

// The quoted UTF-8 form described above.
std::string DisplayGbk(std::string_view gbk);

void PrintTo(const Gbk& value, std::ostream* out);

::testing::AssertionResult GbkEqual(const char* actualExpr, const char* expectedExpr,
                                    const Gbk& actual, const Gbk& expected);

}  // namespace testing_support

#define EXPECT_GBK_EQ(actual, expected) \
    EXPECT_PRED_FORMAT2(::testing_support::GbkEqual, actual, expected)
#define ASSERT_GBK_EQ(actual, expected) \
    ASSERT_PRED_FORMAT2(::testing_support::GbkEqual, actual, expected)
