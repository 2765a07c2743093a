#include "os/sys/paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "support/gbk_print.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace os {
namespace {

namespace fs = std::filesystem;

using testing_support::U8;

using testing_support::ScopedEnv;

TEST(NativePath, ConvertsGbkToUtf8) {
    struct Case {
        std::string gbk;
        std::optional<std::string> native;
    };
    const Case cases[] = {
        {"/tmp/plain.txt", "/tmp/plain.txt"},
        {"/home/用户/文件.txt", U8(u8"/home/用户/文件.txt")},
        {"sound\\welcome.wav", "sound/welcome.wav"},
        // 誠 ends in the byte '\\': it stays a character; only the real separator turns.
        {"誠\\x", U8(u8"誠/x")},
        {"", ""},
        {"a\x81", std::nullopt},                 // not GBK
        {std::string("a\0b", 3), std::nullopt},  // NUL would cut the path short
    };
    for (const Case& c : cases) {
        std::optional<fs::path> native = NativePath(c.gbk);
        ASSERT_EQ(native.has_value(), c.native.has_value()) << testing_support::DisplayGbk(c.gbk);
        if (native) {
            EXPECT_EQ(native->native(), *c.native);
        }
    }
}

TEST(NativePath, BackToGbk) {
    EXPECT_EQ(GbkPathFromNative(fs::path(U8(u8"/数据/a.ini"))),
              std::optional<std::string>("/数据/a.ini"));
    const fs::path emoji = U8(u8"/x/😀");  // (outside the macro, whose text becomes GBK)
    EXPECT_EQ(GbkPathFromNative(emoji), std::nullopt);
}

TEST(SharedClientDir, FromEnvironmentAsGbkWithTrailingSlash) {
    testing_support::TempDir temp;
    const std::string chinese = temp.path().string() + U8(u8"/客户端");
    {
        ScopedEnv home("QORVDESK_HOME", chinese);
        EXPECT_GBK_EQ(SharedClientDir(), temp.path().string() + "/客户端/");
    }
    {
        ScopedEnv home("QORVDESK_HOME", temp.path().string() + "/");
        EXPECT_EQ(SharedClientDir(), temp.path().string() + "/");
    }
}

TEST(SharedClientDir, DefaultsBelowHome) {
    testing_support::TempDir temp;
    ScopedEnv home("HOME", temp.path().string());
    const std::string expected = temp.path().string() + "/.local/share/qorvdesk/";
    {
        ScopedEnv unset("QORVDESK_HOME", std::nullopt);
        EXPECT_EQ(SharedClientDir(), expected);
    }
    {
        ScopedEnv empty("QORVDESK_HOME", "");
        EXPECT_EQ(SharedClientDir(), expected);
    }
    {
        // A folder the system could not name in GBK is passed over.
        ScopedEnv emoji("QORVDESK_HOME", temp.path().string() + U8(u8"/😀"));
        EXPECT_EQ(SharedClientDir(), expected);
    }
}

TEST(SharedClientDir, RelativeValueBecomesAbsolute) {
    ScopedEnv home("QORVDESK_HOME", "relative/dir");
    EXPECT_EQ(SharedClientDir(), fs::current_path().string() + "/relative/dir/");
}

TEST(AppDir, FromEnvironmentOrBesideTheProgram) {
    testing_support::TempDir temp;
    {
        ScopedEnv appDir("QORVDESK_APPDIR", temp.path().string() + U8(u8"/程序"));
        EXPECT_GBK_EQ(AppDir(), temp.path().string() + "/程序/");
    }
    ScopedEnv unset("QORVDESK_APPDIR", std::nullopt);
    const fs::path share =
        fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "share/qorvdesk";
    const std::string expected =
        fs::is_directory(share) ? share.string() + "/" : fs::current_path().string() + "/";
    EXPECT_EQ(AppDir(), expected);
}

}  // namespace
}  // namespace os
