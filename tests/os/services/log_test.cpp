#include "os/services/log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "test_files.h"

namespace {

using services_test::ReadAll;
using services_test::ReadLines;
using services_test::U8;

std::string Stamp(const os::LocalTime& t) {
    char buf[64];
    snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour,
             t.minute, t.second, t.millisecond);
    return buf;
}

class LogFileTest : public ::testing::Test {
  protected:
    testing_support::TempDir dir;
    os::ManualClock clock;
    std::string Path() const { return dir.str() + "logs/" + os::kLogFileName; }
};

TEST_F(LogFileTest, WritesUtf8LinesWithTimeAndLevel) {
    auto log = os::Log::ToFile(clock, Path());
    EXPECT_TRUE(log->IsOpen());  // the missing "logs" folder was created
    log->WriteLog2(0, "CGroup::LockUserList异常");
    clock.Advance(61234);
    log->WriteLog("Enter CWindowManager::Free()");

    auto lines = ReadLines(dir.path() / "logs" / os::kLogFileName);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              Stamp(os::ToLocalTime(1767603600, 0)) + " [0] CGroup::LockUserList" + U8(u8"异常"));
    EXPECT_EQ(lines[1], Stamp(os::ToLocalTime(1767603661, 234)) + " [" +
                            std::to_string(os::kDefaultLogLevel) +
                            "] Enter CWindowManager::Free()");
}

TEST_F(LogFileTest, AppendsToAnExistingFile) {
    std::filesystem::create_directories(dir.path() / "logs");
    services_test::WriteFile(dir.path() / "logs" / os::kLogFileName, "earlier line\n");
    os::Log::ToFile(clock, Path())->WriteLog2(7, "later");
    auto lines = ReadLines(dir.path() / "logs" / os::kLogFileName);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "earlier line");
    EXPECT_NE(lines[1].find("[7] later"), std::string::npos);
}

TEST_F(LogFileTest, ChineseFolderNameLandsAsUtf8OnDisk) {
    auto log = os::Log::ToFile(clock, dir.str() + "日志/" + os::kLogFileName);
    log->WriteLog("x");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / U8(u8"日志") / os::kLogFileName));
}

TEST_F(LogFileTest, UnopenableFileIsRetriedAtTheNextLine) {
    // A plain file where the folder should be: neither the folder nor the log can be made.
    services_test::WriteFile(dir.path() / "logs", "in the way");
    auto log = os::Log::ToFile(clock, Path());
    EXPECT_FALSE(log->IsOpen());
    log->WriteLog("lost");  // no crash, nothing written

    std::filesystem::remove(dir.path() / "logs");
    log->WriteLog("kept");
    EXPECT_TRUE(log->IsOpen());
    auto lines = ReadLines(dir.path() / "logs" / os::kLogFileName);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("kept"), std::string::npos);
}

TEST_F(LogFileTest, ConcurrentWritersNeverInterleaveLines) {
    auto log = os::Log::ToFile(clock, Path());
    constexpr int kThreads = 4;
    constexpr int kLines = 300;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&log, t] {
            for (int i = 0; i < kLines; ++i) {
                log->WriteLog2(t, "线程 " + std::to_string(t) + " 行 " + std::to_string(i));
            }
        });
    }
    for (auto& w : writers) w.join();

    auto lines = ReadLines(dir.path() / "logs" / os::kLogFileName);
    ASSERT_EQ(lines.size(), size_t{kThreads * kLines});
    std::vector<int> next(kThreads, 0);
    for (const std::string& line : lines) {
        int thread = -1, index = -1;
        std::string tail = line.substr(line.find(" [") + 1);
        ASSERT_EQ(sscanf(tail.c_str(), "[%d]", &thread), 1) << line;
        ASSERT_TRUE(thread >= 0 && thread < kThreads) << line;
        std::string expectedPrefix = "[" + std::to_string(thread) + "] " + U8(u8"线程 ") +
                                     std::to_string(thread) + U8(u8" 行 ");
        ASSERT_EQ(tail.rfind(expectedPrefix, 0), 0u) << line;
        index = std::stoi(tail.substr(expectedPrefix.size()));
        EXPECT_EQ(index, next[thread]++) << "each thread's lines stay in its order";
    }
}

struct LineCase {
    const char* name;
    std::string text;
    std::string expectedTail;  // UTF-8, after the "[level] "
};

class LogLineFormat : public ::testing::TestWithParam<LineCase> {};

TEST_P(LogLineFormat, OneCallIsOneLine) {
    const LineCase& c = GetParam();
    os::LogLine line{os::ToLocalTime(1767603600, 5), 2, c.text};
    std::string formatted = os::FormatLogLine(line);
    std::string prefix = Stamp(line.time) + " [2] ";
    ASSERT_EQ(formatted.rfind(prefix, 0), 0u) << formatted;
    EXPECT_EQ(formatted.substr(prefix.size()), c.expectedTail);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LogLineFormat,
    ::testing::Values(LineCase{"plain", "hello", "hello"},
                      LineCase{"chinese", "注册消息提取快捷键失败", U8(u8"注册消息提取快捷键失败")},
                      LineCase{"empty", "", ""},
                      LineCase{"trailingBreaks", "对方改用离线方式传输文件:a(3 字节)\r\n",
                               U8(u8"对方改用离线方式传输文件:a(3 字节)")},
                      LineCase{"innerBreaks", "a\r\nb\nc", "a\\nb\\nc"},
                      LineCase{"notGbk", std::string("ok\x81", 3), "ok?"}),
    [](const auto& info) { return info.param.name; });

TEST(LogCapture, KeepsGbkLinesAndWritesNothing) {
    os::ManualClock clock;
    auto log = os::Log::Capturing(clock);
    log->WriteLog2(1, "重新读取配置文件:config.ini");
    clock.Advance(10);
    log->WriteLog("建树完毕");

    auto lines = log->CapturedLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].level, 1);
    EXPECT_GBK_EQ(lines[0].text, "重新读取配置文件:config.ini");
    EXPECT_EQ(lines[1].level, os::kDefaultLogLevel);
    EXPECT_EQ(lines[1].time.millisecond, 10);
    EXPECT_EQ(log->CapturedTexts(),
              (std::vector<std::string>{"重新读取配置文件:config.ini", "建树完毕"}));
    EXPECT_TRUE(log->HasCaptured("配置文件"));
    EXPECT_FALSE(log->HasCaptured("失败"));
    // Whole characters only: "啊啊" is B0 A1 B0 A1, and A1 B0 is no character of it.
    log->WriteLog("啊啊");
    EXPECT_FALSE(log->HasCaptured("\xA1\xB0"));
    EXPECT_TRUE(log->HasCaptured("啊"));
    EXPECT_TRUE(log->path().empty());

    log->ClearCaptured();
    EXPECT_TRUE(log->CapturedLines().empty());
}

TEST(LogCapture, FileModeCapturesNothing) {
    testing_support::TempDir dir;
    os::ManualClock clock;
    auto log = os::Log::ToFile(clock, dir.str() + os::kLogFileName);
    log->WriteLog("on disk");
    EXPECT_TRUE(log->CapturedLines().empty());
    EXPECT_NE(ReadAll(dir.path() / os::kLogFileName).find("on disk"), std::string::npos);
}

}  // namespace
