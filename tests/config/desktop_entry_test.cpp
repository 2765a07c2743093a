// The autostart entry's Exec line survives any program path.

#include "config/desktop_entry.h"

#include <gtest/gtest.h>

namespace config_test {
namespace {

TEST(DesktopEntryTest, QuotesTheProgramPath) {
    struct Case {
        const char* path;
        const char* inFile;  // as the Exec value appears in the file
    };
    const Case cases[] = {
        {"/usr/bin/qorvhost", R"("/usr/bin/qorvhost")"},
        {"/opt/my apps/qorv host", R"("/opt/my apps/qorv host")"},
        {"/opt/a$b/x", R"("/opt/a\\$b/x")"},
        {"/opt/a\"b/x", R"("/opt/a\\"b/x")"},
        {"/opt/a`b/x", R"("/opt/a\\`b/x")"},
        {"/opt/a\\b/x", R"("/opt/a\\\\b/x")"},
        {"/opt/100%/x", R"("/opt/100%%/x")"},
        {"/opt/a\nb/x", R"("/opt/a\nb/x")"},
        {"/opt/办公/x", "\"/opt/办公/x\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(config::QuoteExecArgument(c.path), c.inFile) << c.path;
    }
}

TEST(DesktopEntryTest, DescribesAnApplicationThatStartsWithTheSession) {
    std::string entry = config::AutostartEntry("/usr/bin/qorvhost");
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=\"/usr/bin/qorvhost\"\n"), std::string::npos);
    EXPECT_NE(entry.find("\nName=Qorvdesk\n"), std::string::npos);
}

}  // namespace
}  // namespace config_test
