// Where a file-update record may write: hostile names are refused, links are never followed.
#include "update/update_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(UpdatePaths, ALocalNameMustStayInsideItsFolder) {
    struct Case {
        const char* name;
        const char* expected;  // null: refused
    };
    const Case cases[] = {
        {"config.ini", "config.ini"},
        {"template/msgmgr.html", "template/msgmgr.html"},
        {"template\\msgmgr.html", "template/msgmgr.html"},  // a Windows separator
        {"表\\页.html", "表/页.html"},                      // GBK names keep their bytes
        {"", nullptr},
        {"/etc/passwd", nullptr},
        {"\\etc\\passwd", nullptr},
        {"../config.ini", nullptr},
        {"template/../../x", nullptr},
        {"..\\..\\x", nullptr},
        {"a/./b", nullptr},
        {"a//b", nullptr},
        {"a/", nullptr},
        {"C:\\Windows\\x.dll", nullptr},
        {"a\nb", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = update::SafeRelativePath(c.name);
        if (c.expected == nullptr) {
            EXPECT_FALSE(path) << *path;
        } else {
            ASSERT_TRUE(path);
            EXPECT_EQ(*path, c.expected);
        }
    }
}

TEST(UpdatePaths, TheDownloadNameIsTheLastStepOfASafeRemotePath) {
    struct Case {
        const char* remote;
        const char* expected;
    };
    const Case cases[] = {
        {"cfg/a.ini", "a.ini"},
        {"a.ini", "a.ini"},  // no '/': the whole path
        {"deep/er/pic.png", "pic.png"},
        {"../a.ini", nullptr},
        {"/a.ini", nullptr},
        {"http://elsewhere/a.ini", nullptr},
        {"cfg/", nullptr},
        {"cfg/..", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remote);
        const auto name = update::DownloadName(c.remote);
        if (c.expected == nullptr) {
            EXPECT_FALSE(name) << *name;
        } else {
            ASSERT_TRUE(name);
            EXPECT_EQ(*name, c.expected);
        }
    }
}

TEST(UpdatePaths, ALinkOnTheWayOrAtTheTargetIsRefused) {
    testing_support::TempDir base;
    testing_support::TempDir outside;
    fs::create_directory(base.path() / "real");
    std::ofstream(base.path() / "real" / "file.txt") << "x";
    fs::create_directory_symlink(outside.path(), base.path() / "linked");
    fs::create_symlink(outside.path() / "target.txt", base.path() / "real" / "link.txt");

    EXPECT_TRUE(update::PathStaysInside(base.str(), "real/file.txt", false));
    EXPECT_TRUE(update::PathStaysInside(base.str(), "real/new.txt", false));
    EXPECT_FALSE(update::PathStaysInside(base.str(), "linked/file.txt", true));
    EXPECT_FALSE(update::PathStaysInside(base.str(), "real/link.txt", true));
    EXPECT_FALSE(update::PathStaysInside(base.str(), "real", false));  // a folder is no file
    EXPECT_TRUE(fs::is_empty(outside.path()));

    EXPECT_TRUE(update::PathStaysInside(base.str(), "made/deeper/new.txt", true));
    EXPECT_TRUE(fs::is_directory(base.path() / "made" / "deeper"));
}

}  // namespace
