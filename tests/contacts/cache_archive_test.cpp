// The archive encodings of the contact cache files: DWORDs and the three string-length forms,
// written and read back, and the lengths a reader must refuse.
#include "contacts/cache_archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace contacts_test {
namespace {

using contacts::BrokenCacheFile;
using contacts::CacheArchive;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) bytes.push_back(static_cast<char>(value));
    return bytes;
}

struct LengthCase {
    std::size_t length;
    std::string prefix;
};

class StringLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(StringLengthTest, WritesThePrefixAndReadsTheTextBack) {
    const LengthCase& c = GetParam();
    std::string text(c.length, 'x');
    if (!text.empty()) text.back() = 'y';  // the last byte arrives too
    CacheArchive out = CacheArchive::ForStoring();
    out.Exchange(text);
    ASSERT_EQ(out.bytes().size(), c.prefix.size() + c.length);
    EXPECT_EQ(out.bytes().substr(0, c.prefix.size()), c.prefix);

    const std::string written = out.bytes();
    CacheArchive in = CacheArchive::ForLoading(written);
    std::string read;
    in.Exchange(read);
    EXPECT_EQ(read, text);
    EXPECT_EQ(in.remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, StringLengthTest,
    ::testing::Values(LengthCase{0, Bytes({0x00})}, LengthCase{1, Bytes({0x01})},
                      LengthCase{254, Bytes({0xFE})}, LengthCase{255, Bytes({0xFF, 0xFF, 0x00})},
                      LengthCase{256, Bytes({0xFF, 0x00, 0x01})},
                      LengthCase{0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
                      LengthCase{0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
                      LengthCase{70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})}));

TEST(CacheArchiveTest, DwordsAreFourBytesLittleEndian) {
    CacheArchive out = CacheArchive::ForStoring();
    std::uint32_t value = 0x12345678;
    out.Exchange(value);
    std::uint32_t high = 0xFFFFFFFE;
    out.Exchange(high);
    EXPECT_EQ(out.bytes(), Bytes({0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF}));

    const std::string written = out.bytes();
    CacheArchive in = CacheArchive::ForLoading(written);
    std::uint32_t a = 0, b = 0;
    in.Exchange(a);
    in.Exchange(b);
    EXPECT_EQ(a, 0x12345678u);
    EXPECT_EQ(b, 0xFFFFFFFEu);
}

// Each of these is the start of a string that cannot be read from what follows.
TEST(CacheArchiveTest, RefusesStringsThatRunPastTheEndOrHaveNoLength) {
    const std::string cases[] = {
        Bytes({}),                                               // no prefix at all
        Bytes({0x03, 'a', 'b'}),                                 // one byte short
        Bytes({0xFF, 0x10}),                                     // half a word
        Bytes({0xFF, 0x00, 0x01, 'a'}),                          // 256 announced, 1 there
        Bytes({0xFF, 0xFF, 0xFF, 0x01}),                         // half a dword
        Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),       // 2 GB announced
        Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}),  // 4 GB announced
        Bytes({0xFF, 0xFE, 0xFF, 'a'}),                          // a word no writer makes
    };
    for (const std::string& bytes : cases) {
        CacheArchive in = CacheArchive::ForLoading(bytes);
        std::string text = "kept";
        EXPECT_THROW(in.Exchange(text), BrokenCacheFile) << ::testing::PrintToString(bytes);
    }
    const std::string shortDword = Bytes({0x01, 0x02, 0x03});
    CacheArchive in = CacheArchive::ForLoading(shortDword);
    std::uint32_t value = 0;
    EXPECT_THROW(in.Exchange(value), BrokenCacheFile);
}

}  // namespace
}  // namespace contacts_test
