#include "os/services/child_process.h"

#include <gtest/gtest.h>

#include "end_waiter.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "support/wait_for.h"
#include "test_files.h"

namespace {

using services_test::EndWaiter;
using services_test::ReadLines;
using services_test::WriteScript;

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> args;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, SplitsLikeWindows) {
    EXPECT_EQ(os::SplitCommandLine(GetParam().text), GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    ::testing::Values(
        SplitCase{"empty", "", {}}, SplitCase{"blanksOnly", "  \t ", {}},
        SplitCase{"updater",
                  "/doc:/u/Update.up /exe:/bin/host /dir:/opt/q",
                  {"/doc:/u/Update.up", "/exe:/bin/host", "/dir:/opt/q"}},
        SplitCase{"quotedBlank", "/doc:\"/a b/Update.up\"  x", {"/doc:/a b/Update.up", "x"}},
        SplitCase{"emptyQuoted", "a \"\" b", {"a", "", "b"}},
        SplitCase{"doubledQuote", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
        SplitCase{"escapedQuote", "a\\\"b", {"a\"b"}},
        SplitCase{"backslashesKept", "c:\\dir\\file", {"c:\\dir\\file"}},
        SplitCase{"evenBackslashesBeforeQuote", "\"a\\\\\" b", {"a\\", "b"}},
        // "誠" is 0xD5 0x5C in GBK: its trail byte is a backslash and must not eat the quote.
        SplitCase{"gbkTrailBackslash", "\"\xD5\x5C\" next", {"\xD5\x5C", "next"}},
        SplitCase{"chinese", "\"我的 文档\" 文件", {"我的 文档", "文件"}}),
    [](const auto& info) { return info.param.name; });

class ChildProcessTest : public ::testing::Test {
  protected:
    testing_support::TempDir dir;
    std::string Script(const std::string& name, const std::string& body) {
        auto path = dir.path() / name;
        WriteScript(path, body);
        return path.string();
    }
};

TEST_F(ChildProcessTest, ReportsExitStatusArgumentsAndFolder) {
    std::string out = (dir.path() / "out.txt").string();
    std::string program =
        Script("prog", "pwd > '" + out + "'\nprintf '%s\\n' \"$@\" >> '" + out + "'\nexit 3\n");
    std::filesystem::create_directory(dir.path() / "work");

    EndWaiter<os::ProcessEnd> waiter;
    auto child =
        os::StartProcess({program, "a b", "-c"}, (dir.path() / "work").string(), waiter.Callback());
    ASSERT_NE(child, nullptr);
    auto end = waiter.Wait();
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->how, os::ProcessEnd::How::Exited);
    EXPECT_EQ(end->code, 3);
    EXPECT_EQ(ReadLines(out),
              (std::vector<std::string>{(dir.path() / "work").string(), "a b", "-c"}));
}

TEST_F(ChildProcessTest, TerminateEndsARunningProgram) {
    std::string program = Script("sleeper", "exec sleep 60\n");
    EndWaiter<os::ProcessEnd> waiter;
    auto child = os::StartProcess({program}, {}, waiter.Callback());
    ASSERT_NE(child, nullptr);
    EXPECT_FALSE(child->IsSettled());
    child->Terminate();
    auto end = waiter.Wait();
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->how, os::ProcessEnd::How::Killed);
    EXPECT_EQ(end->code, SIGTERM);
    EXPECT_TRUE(child->HasEnded());
    child->Terminate();  // after the end: signals nothing
}

TEST_F(ChildProcessTest, ForgottenEndIsNeverReported) {
    std::string program = Script("sleeper", "exec sleep 60\n");
    bool reported = false;  // written only by the reaper, which ForgetEnd rules out
    auto child = os::StartProcess({program}, {}, [&](const os::ProcessEnd&) { reported = true; });
    ASSERT_NE(child, nullptr);
    child->ForgetEnd();
    child->Terminate();
    ASSERT_TRUE(testing_support::WaitFor([&] { return child->IsSettled(); }, "the reaper"));
    EXPECT_FALSE(reported);
}

TEST_F(ChildProcessTest, FailsToStartWhatCannotRun) {
    std::string notProgram = (dir.path() / "data.txt").string();
    services_test::WriteFile(notProgram, "x");
    std::string program = Script("ok", "exit 0\n");
    EXPECT_EQ(os::StartProcess({}, {}), nullptr);
    EXPECT_EQ(os::StartProcess({"relative/prog"}, {}), nullptr);
    EXPECT_EQ(os::StartProcess({notProgram}, {}), nullptr);
    EXPECT_EQ(os::StartProcess({(dir.path() / "missing").string()}, {}), nullptr);
    EXPECT_EQ(os::StartProcess({program}, (dir.path() / "no-such-folder").string()), nullptr);
}

TEST_F(ChildProcessTest, FindProgramSearchesAbsoluteFoldersInOrder) {
    std::filesystem::create_directories(dir.path() / "a");
    std::filesystem::create_directories(dir.path() / "b");
    WriteScript(dir.path() / "b" / "tool", "exit 0\n");
    services_test::WriteFile(dir.path() / "a" / "tool", "not executable");
    std::string a = (dir.path() / "a").string(), b = (dir.path() / "b").string();

    EXPECT_EQ(os::FindProgram("tool", a + ":" + b), (dir.path() / "b" / "tool").string());
    EXPECT_EQ(os::FindProgram("tool", a), std::nullopt);
    EXPECT_EQ(os::FindProgram("tool", ""), std::nullopt);
    EXPECT_EQ(os::FindProgram("", b), std::nullopt);
    EXPECT_EQ(os::FindProgram((dir.path() / "b" / "tool").string(), ""),
              (dir.path() / "b" / "tool").string());
    EXPECT_EQ(os::FindProgram("b/tool", dir.str()), std::nullopt);
}

}  // namespace
