// The browser form poster: the page it writes holds the form as given, safely, in a private
// file, and is handed to the shell.

#include "web/browser_form_poster.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "os/services/recording_shell.h"
#include "os/sys/file_ops.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"

namespace {

// Reads the form of a written page back as a browser would: the action and each hidden
// field, with the entities the poster writes turned back into characters.
struct ReadForm {
    std::string action;
    std::vector<web::FormField> fields;
    int tags = 0;  // '<' in the page: the markup the poster wrote, no more
};

std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t semi = text.find(';', i);
        const std::string_view entity = text.substr(i + 1, semi - i - 1);
        if (entity == "amp")
            out += '&';
        else if (entity == "lt")
            out += '<';
        else if (entity == "gt")
            out += '>';
        else if (entity == "quot")
            out += '"';
        else if (entity.starts_with('#'))
            out += static_cast<char>(std::stoi(std::string(entity.substr(1))));
        else
            ADD_FAILURE() << "unknown entity " << entity;
        i = semi;
    }
    return out;
}

std::string Attribute(std::string_view tag, std::string_view name) {
    const std::string key = " " + std::string(name) + "=\"";
    const std::size_t at = tag.find(key);
    if (at == std::string_view::npos) return {};
    const std::size_t start = at + key.size();
    return Unescape(tag.substr(start, tag.find('"', start) - start));
}

ReadForm ReadBack(const std::string& page) {
    ReadForm form;
    for (std::size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1)) {
        ++form.tags;
        const std::string_view tag(page.data() + at, page.find('>', at) - at);
        if (tag.starts_with("<form ")) form.action = Attribute(tag, "action");
        if (tag.starts_with("<input type=\"hidden\"")) {
            form.fields.push_back({Attribute(tag, "name"), Attribute(tag, "value")});
        }
    }
    return form;
}

class BrowserFormPosterTest : public ::testing::Test {
  protected:
    std::string Page(const web::BrowserFormPoster& poster) {
        std::string bytes;
        EXPECT_TRUE(os::ReadFile(poster.lastPage(), bytes));
        return bytes;
    }

    testing_support::TempDir base;
    os::RecordingShell shell;
};

TEST_F(BrowserFormPosterTest, ThePageHoldsEveryFieldAndIsOpenedThroughTheShell) {
    web::BrowserFormPoster poster(shell, base.str());
    ASSERT_EQ(poster.Post("http://oa.example.invalid/login.jsp",
                          "username=zhang&password=p%26w%3D1+2&id=7"),
              web::PostOutcome::Opened);

    ASSERT_EQ(shell.RequestCount(), 1u);
    EXPECT_EQ(shell.Requests()[0].verb, "open");
    EXPECT_EQ(shell.Requests()[0].file, poster.lastPage());
    const std::string page = Page(poster);
    const ReadForm form = ReadBack(page);
    EXPECT_EQ(form.action, "http://oa.example.invalid/login.jsp");
    const std::vector<web::FormField> expected = {
        {"username", "zhang"}, {"password", "p&w=1 2"}, {"id", "7"}};
    EXPECT_EQ(form.fields, expected);
    EXPECT_NE(page.find("method=\"post\""), std::string::npos);
    EXPECT_NE(page.find("enctype=\"application/x-www-form-urlencoded\""), std::string::npos);
    EXPECT_NE(page.find("onload=\"document.forms[0].submit()\""), std::string::npos);
}

TEST_F(BrowserFormPosterTest, ThePageAndItsFolderAreTheUsersAloneAndGoWithThePoster) {
    std::string folder;
    std::string pagePath;
    {
        web::BrowserFormPoster poster(shell, base.str());
        ASSERT_EQ(poster.Post("https://a.example.invalid/", "password=secret"),
                  web::PostOutcome::Opened);
        folder = poster.folder();
        pagePath = poster.lastPage();
        struct stat info {};
        ASSERT_EQ(::stat(pagePath.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        ASSERT_EQ(::stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_TRUE(pagePath.starts_with(base.str()));

        // A second post gets a page of its own.
        ASSERT_EQ(poster.Post("https://a.example.invalid/", "x=1"), web::PostOutcome::Opened);
        EXPECT_NE(poster.lastPage(), pagePath);
    }
    EXPECT_FALSE(os::FileExists(pagePath));
    EXPECT_FALSE(os::DirectoryExists(folder));
}

// Values that would break out of their attribute or add markup, were they written raw.
TEST_F(BrowserFormPosterTest, HostileValuesReadBackAsThemselvesAndAddNoMarkup) {
    const std::vector<std::string> values = {
        "\"><script>alert(1)</script>",
        "' onfocus='x",
        "a&amp;b",
        "</form><form action=\"http://evil.invalid/\">",
        std::string("nul\0inside", 10),
        "tab\tline\r\nend",
        "张三<李四>",
    };
    web::BrowserFormPoster poster(shell, base.str());
    std::string body;
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::string encoded;
        for (const char c : values[i]) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            encoded += hex;
        }
        body += (i == 0 ? "" : "&") + std::string("f") + std::to_string(i) + "=" + encoded;
    }
    ASSERT_EQ(poster.Post("http://oa.example.invalid/a?b=\"c\"", body),
              web::PostOutcome::RefusedTarget);
    ASSERT_EQ(poster.Post("http://oa.example.invalid/a", body), web::PostOutcome::Opened);

    const std::string page = Page(poster);
    const ReadForm form = ReadBack(page);
    ASSERT_EQ(form.fields.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_GBK_EQ(form.fields[i].value, values[i]) << "field " << i;
    }
    // The page's own tags, no more: the doctype, html, head, meta, title, /title, /head, body,
    // form, one input per field, noscript, its input, /noscript, /form, /body, /html.
    EXPECT_EQ(form.tags, 15 + static_cast<int>(values.size()));
    EXPECT_EQ(page.find('\0'), std::string::npos);
}

TEST(FormActionTest, OnlyWebAddressesTakeAForm) {
    struct Case {
        const char* url;
        const char* action;
    };
    const Case cases[] = {
        {"http://a.invalid/x?y=1", "http://a.invalid/x?y=1"},
        {"HTTPS://a.invalid/", "HTTPS://a.invalid/"},
        {"www.a.invalid/p", "http://www.a.invalid/p"},
        {"javascript:alert(1)", ""},
        {"file:///etc/passwd", ""},
        {"ftp://a.invalid/", ""},
        {"http://", ""},
        {"http://a.invalid/ b", ""},
        {"http://a.invalid/\"", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(web::FormAction(c.url), c.action) << c.url;
}

TEST(ParseFormBodyTest, PartsSplitAtAmpersandsAndDecode) {
    const std::vector<web::FormField> expected = {
        {"a", "1"}, {"b", ""}, {"c", "x=y"}, {"d e", "%G1"}, {"f", "%"}};
    EXPECT_EQ(web::ParseFormBody("a=1&b&&c=x%3Dy&d+e=%G1&f=%"), expected);
    EXPECT_TRUE(web::ParseFormBody("").empty());
}

TEST_F(BrowserFormPosterTest, AFolderThatCannotBeMadeIsReportedAndNothingOpens) {
    web::BrowserFormPoster poster(shell, base.str() + "missing/below/");
    EXPECT_EQ(poster.Post("http://a.invalid/", "a=1"), web::PostOutcome::WriteFailed);
    EXPECT_EQ(shell.RequestCount(), 0u);
}

}  // namespace
