#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/case_name.h"
#include "web/file_name.h"
#include "web/mime_table.h"
#include "web/url_parts.h"

namespace {

struct UrlCase {
    const char* url;
    std::optional<web::UrlParts> parts;
};

class ParseUrlTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(ParseUrlTest, TakesTheAddressApart) {
    EXPECT_EQ(web::ParseUrl(GetParam().url), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseUrlTest,
    ::testing::Values(
        UrlCase{"http://host.example:8080/a/b.php?x=1&y=2",
                web::UrlParts{"http", "host.example", 8080, "/a/b.php?x=1&y=2"}},
        UrlCase{"https://secure.example", web::UrlParts{"https", "secure.example", 443, ""}},
        UrlCase{"HTTPS://secure.example/", web::UrlParts{"HTTPS", "secure.example", 443, "/"}},
        UrlCase{"plain.example/index.html",
                web::UrlParts{"http", "plain.example", 80, "/index.html"}},
        UrlCase{"plain.example:81", web::UrlParts{"http", "plain.example", 81, ""}},
        UrlCase{"ftp://files.example/x", web::UrlParts{"ftp", "files.example", 80, "/x"}},
        UrlCase{"http://[::1]:8000/p", web::UrlParts{"http", "[::1]", 8000, "/p"}},
        UrlCase{"http://[::1]/p", web::UrlParts{"http", "[::1]", 80, "/p"}},
        UrlCase{"http://h/路径", web::UrlParts{"http", "h", 80, "/路径"}},
        // No host, or a port that is not a port: nothing to connect to.
        UrlCase{"http:///path", std::nullopt}, UrlCase{"", std::nullopt},
        UrlCase{"http://h:/x", std::nullopt}, UrlCase{"http://h:99999/x", std::nullopt},
        UrlCase{"http://h:8o/x", std::nullopt}, UrlCase{"http://h:0/x", std::nullopt},
        // What the transfer library would read as credentials, a query or a second host.
        UrlCase{"http://user@evil.example/x", std::nullopt}, UrlCase{"http://a b/x", std::nullopt},
        UrlCase{"http://主机/x", std::nullopt}),
    [](const ::testing::TestParamInfo<UrlCase>& info) {
        return testing_support::IndexedName(info.index, info.param.url);
    });

TEST(MimeTable, ReadsTypesByExtensionWithCommentsAndTheFirstNamingWinning) {
    const web::MimeTable table = web::MimeTable::Parse(
        "# comment line\n"
        "image/png\t\tpng\n"
        "text/plain txt text   # trailing comment\r\n"
        "text/other txt\n"
        "application/x-empty\n"
        "not-a-type ext1\n"
        "  \n");
    EXPECT_EQ(table.TypeOfExtension("png"), "image/png");
    EXPECT_EQ(table.TypeOfExtension("PNG"), "image/png") << "extensions ignore ASCII case";
    EXPECT_EQ(table.TypeOfExtension("text"), "text/plain");
    EXPECT_EQ(table.TypeOfExtension("txt"), "text/plain") << "the first type named wins";
    EXPECT_EQ(table.TypeOfExtension("ext1"), web::kDefaultMediaType) << "a broken type is skipped";
    EXPECT_EQ(table.TypeOfExtension("zzz"), web::kDefaultMediaType);
    EXPECT_EQ(table.size(), 3u);
}

TEST(MimeTable, TakesTheExtensionFromTheFileNameOnly) {
    const web::MimeTable table = web::MimeTable::Parse("image/jpeg jpg\ntext/plain txt\n");
    EXPECT_EQ(table.TypeOfFile("/home/u/照片.JPG"), "image/jpeg");
    EXPECT_EQ(table.TypeOfFile("C:\\docs\\a.txt"), "text/plain");
    EXPECT_EQ(table.TypeOfFile("/home/u.txt/README"), web::kDefaultMediaType)
        << "a dot in a folder name is not an extension";
    EXPECT_EQ(table.TypeOfFile("name."), web::kDefaultMediaType);
}

TEST(MimeTable, TheSystemTableKnowsCommonTypes) {
    if (!std::filesystem::exists(web::kSystemMimeTablePath)) {
        GTEST_SKIP() << "no " << web::kSystemMimeTablePath << " (Debian's media-types)";
    }
    EXPECT_EQ(web::SystemMimeTable().TypeOfExtension("png"), "image/png");
    EXPECT_EQ(web::SystemMimeTable().TypeOfExtension("pdf"), "application/pdf");
    EXPECT_EQ(web::SystemMimeTable().TypeOfExtension("no-such-ext"), web::kDefaultMediaType);
}

TEST(FileNamePart, CutsAtTheLastBackslashOrSlashButNeverInsideAChineseCharacter) {
    EXPECT_EQ(web::FileNamePart("C:\\pics\\a.jpg"), "a.jpg");
    EXPECT_EQ(web::FileNamePart("/home/u/b.png"), "b.png");
    EXPECT_EQ(web::FileNamePart("mixed\\dir/c.gif"), "c.gif");
    EXPECT_EQ(web::FileNamePart("plain.bmp"), "plain.bmp");
    // 0x95 0x5C is one character whose second byte is a backslash to a byte reader.
    EXPECT_EQ(web::FileNamePart("/p/\x95\x5C.jpg"), "\x95\x5C.jpg");
}

}  // namespace
