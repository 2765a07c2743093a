#include <gtest/gtest.h>

#include "end_waiter.h"
#include "os/services/recording_shell.h"
#include "os/services/system_shell.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "test_files.h"

namespace {

using services_test::EndWaiter;
using services_test::ReadLines;
using services_test::U8;
using services_test::WriteScript;

TEST(ShellVerbTest, OpenAndRunAsWithoutRegardToCase) {
    struct Case {
        std::string verb;
        os::ShellVerb expected;
    };
    for (const Case& c :
         {Case{"open", os::ShellVerb::Open}, Case{"", os::ShellVerb::Open},
          Case{"OPEN", os::ShellVerb::Open}, Case{"runas", os::ShellVerb::RunAs},
          Case{"RunAs", os::ShellVerb::RunAs}, Case{"print", os::ShellVerb::Unknown},
          Case{"run as", os::ShellVerb::Unknown}}) {
        EXPECT_EQ(os::ParseShellVerb(c.verb), c.expected) << c.verb;
    }
}

TEST(IsUrlTest, SchemesButNotPathsOrDriveLetters) {
    struct Case {
        std::string text;
        bool url;
    };
    for (const Case& c :
         {Case{"http://example.org/", true}, Case{"mailto:a@b.cn", true},
          Case{"svn+ssh://h/r", true}, Case{"/home/u/a.txt", false}, Case{"c:/dir/file", false},
          Case{"a.txt", false}, Case{"1x:y", false}, Case{"dir/a:b", false}, Case{"", false}}) {
        EXPECT_EQ(os::IsUrl(c.text), c.url) << c.text;
    }
}

TEST(RecordingShellTest, RecordsEveryRequestAndAnswersTheQueue) {
    os::RecordingShell shell;
    shell.QueueStart(os::ShellStart::FileNotFound);
    EXPECT_EQ(shell.ShellExecute("open", "/tmp/导出.csv"), os::ShellStart::FileNotFound);
    EXPECT_EQ(shell.ShellExecute("runas", "/u/Update.exe", "/doc:a", "/u"),
              os::ShellStart::Started);
    EXPECT_EQ(shell.ShellExecute("print", "x"), os::ShellStart::UnknownVerb);

    auto requests = shell.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_GBK_EQ(requests[0].file, "/tmp/导出.csv");
    EXPECT_EQ(requests[1].verb, "runas");
    EXPECT_EQ(requests[1].parameters, "/doc:a");
    EXPECT_EQ(requests[1].directory, "/u");
    EXPECT_EQ(requests[2].verb, "print");
}

TEST(RecordingShellTest, FinishPlaysTheProgramsEnd) {
    os::RecordingShell shell;
    std::vector<os::ShellOutcome::How> ends;
    auto record = [&](const os::ShellOutcome& o) { ends.push_back(o.how); };
    shell.ShellExecute("runas", "/u/a", "", "", record);
    shell.QueueStart(os::ShellStart::NoHandler);
    shell.ShellExecute("open", "/u/b", "", "", record);
    shell.ShellExecute("open", "/u/c");

    EXPECT_TRUE(shell.Finish(0, {os::ShellOutcome::How::ElevationRefused, 126}));
    EXPECT_FALSE(shell.Finish(0, {}));  // already ended
    EXPECT_FALSE(shell.Finish(1, {}));  // never started
    EXPECT_FALSE(shell.Finish(2, {}));  // nobody asked
    EXPECT_FALSE(shell.Finish(3, {}));  // no such request
    EXPECT_EQ(ends, std::vector<os::ShellOutcome::How>{os::ShellOutcome::How::ElevationRefused});
}

// The real shell against stand-in xdg-open and pkexec programs in a folder of the test's own.
class SystemShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(bin());
        out = (dir.path() / "out.txt").string();
    }
    std::filesystem::path bin() const { return dir.path() / "bin"; }
    void FakeOpener() { WriteScript(bin() / "xdg-open", "echo xdg-open \"$@\" > '" + out + "'\n"); }
    void FakePkexec(const std::string& tail) {
        WriteScript(bin() / "pkexec", "echo pkexec \"$@\" > '" + out + "'\n" + tail);
    }
    std::string Program(const std::string& name, int status) {
        auto path = dir.path() / name;
        WriteScript(path, "echo \"$0\" \"$@\" $(pwd) >> '" + out + "'\nexit " +
                              std::to_string(status) + "\n");
        return path.string();
    }
    os::ShellOutcome Run(os::SystemShell& shell, os::ShellRequest request,
                         os::ShellStart expected = os::ShellStart::Started) {
        EndWaiter<os::ShellOutcome> waiter;
        EXPECT_EQ(shell.Execute(request, waiter.Callback()), expected);
        if (expected != os::ShellStart::Started) return {};
        auto end = waiter.Wait();
        EXPECT_TRUE(end.has_value());
        return end.value_or(os::ShellOutcome{});
    }

    testing_support::TempDir dir;
    std::string out;
};

TEST_F(SystemShellTest, OpenGivesUrlsAndDocumentsToXdgOpen) {
    FakeOpener();
    os::SystemShell shell(bin().string());
    services_test::WriteFile(dir.path() / U8(u8"导出.csv"), "a,b\n");

    auto end = Run(shell, {"open", "mailto:张三@gov.cn", "", ""});
    EXPECT_EQ(end.how, os::ShellOutcome::How::Finished);
    EXPECT_EQ(ReadLines(out),
              std::vector<std::string>{"xdg-open mailto:" + U8(u8"张三") + "@gov.cn"});

    Run(shell, {"", dir.str() + "导出.csv", "ignored", ""});
    EXPECT_EQ(ReadLines(out), std::vector<std::string>{"xdg-open " + dir.str() + U8(u8"导出.csv")});

    // A relative name is found in the working folder and handed over as a full path.
    Run(shell, {"open", "导出.csv", "", dir.str()});
    EXPECT_EQ(ReadLines(out), std::vector<std::string>{"xdg-open " + dir.str() + U8(u8"导出.csv")});
}

TEST_F(SystemShellTest, OpenStartsAProgramWithItsParametersInItsFolder) {
    FakeOpener();
    std::string program = Program("tool", 5);
    os::SystemShell shell(bin().string());
    auto end = Run(shell, {"open", program, "\"a b\" c", dir.str()});
    EXPECT_EQ(end.how, os::ShellOutcome::How::Finished);
    EXPECT_EQ(end.exitCode, 5);
    EXPECT_EQ(ReadLines(out), std::vector<std::string>{program + " a b c " + dir.path().string()});
}

TEST_F(SystemShellTest, RunAsElevatesThroughPkexec) {
    FakePkexec("exec \"$@\"\n");
    std::string program = Program("Update.exe", 0);
    os::SystemShell shell(bin().string());
    auto end = Run(shell, {"runas", program, "/doc:/u/Update.up", ""});
    EXPECT_EQ(end.how, os::ShellOutcome::How::Finished);
    EXPECT_EQ(end.exitCode, 0);
    auto lines = ReadLines(out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "pkexec " + program + " /doc:/u/Update.up");
    EXPECT_EQ(lines[1].rfind(program + " /doc:/u/Update.up", 0), 0u);
}

TEST_F(SystemShellTest, RefusedElevationIsReported) {
    std::string program = Program("Update.exe", 0);
    for (int status : {126, 127}) {
        FakePkexec("exit " + std::to_string(status) + "\n");
        os::SystemShell shell(bin().string());
        auto end = Run(shell, {"runas", program, "", ""});
        EXPECT_EQ(end.how, os::ShellOutcome::How::ElevationRefused) << status;
    }
}

TEST_F(SystemShellTest, RunAsWithoutPkexecIsAPlainStart) {
    std::string program = Program("Update.exe", 126);
    os::SystemShell shell(bin().string());
    auto end = Run(shell, {"runas", program, "x", ""});
    // Without pkexec the program's own 126 is just its exit status.
    EXPECT_EQ(end.how, os::ShellOutcome::How::Finished);
    EXPECT_EQ(end.exitCode, 126);
    EXPECT_EQ(ReadLines(out).size(), 1u);
}

TEST_F(SystemShellTest, FailuresAreAnsweredAtOnce) {
    std::string program = Program("tool", 0);
    services_test::WriteFile(dir.path() / "doc.txt", "x");
    os::SystemShell shell(bin().string());  // no xdg-open in it
    Run(shell, {"open", dir.str() + "doc.txt", "", ""}, os::ShellStart::NoHandler);
    Run(shell, {"open", "http://example.org/", "", ""}, os::ShellStart::NoHandler);
    Run(shell, {"open", dir.str() + "missing.txt", "", ""}, os::ShellStart::FileNotFound);
    Run(shell, {"open", "", "", ""}, os::ShellStart::FileNotFound);
    Run(shell, {"open", program, "", dir.str() + "no-such-folder"}, os::ShellStart::FileNotFound);
    Run(shell, {"explore", program, "", ""}, os::ShellStart::UnknownVerb);
    Run(shell, {"open", program, std::string("\x81", 1), ""}, os::ShellStart::Failed);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(SystemShellTest, DoesNotWaitForTheProgram) {
    // A program that only ends when the test lets it: Execute must come back before that.
    std::string gate = (dir.path() / "gate").string();
    mkfifo(gate.c_str(), 0600);
    auto path = dir.path() / "waiter";
    WriteScript(path, "read line < '" + gate + "'\nexit 0\n");
    os::SystemShell shell(bin().string());
    EndWaiter<os::ShellOutcome> waiter;
    ASSERT_EQ(shell.ShellExecute("open", path.string(), "", "", waiter.Callback()),
              os::ShellStart::Started);
    services_test::WriteFile(gate, "go\n");  // opens the pipe's writing end: the program reads
    auto end = waiter.Wait();
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->how, os::ShellOutcome::How::Finished);
}

}  // namespace
