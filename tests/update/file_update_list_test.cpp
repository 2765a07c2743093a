// The file-update list format: which lines are records, the optional fields, the numbers
// written whatever the locale.
#include "update/file_update_list.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "os/services/log.h"
#include "os/sys/clock.h"
#include "support/temp_dir.h"

namespace {

using update::FileUpdateRecord;

class UpdateListTest : public ::testing::Test {
  protected:
    os::ManualClock clock;
    std::unique_ptr<os::Log> log = os::Log::Capturing(clock);
};

struct LineCase {
    const char* line;
    bool accepted;
    int id = 0;
    bool pending = false;
    std::optional<std::uint64_t> size = std::nullopt;
    const char* sha256 = "";
};

TEST_F(UpdateListTest, ALineIsARecordOnlyWithSixFieldsAndWellFormedOptionalOnes) {
    const std::string sha(64, 'a');
    const std::string shaUpper = std::string(64, 'A');
    const std::string shaLine = "5;b.ini;0;x/b.ini;2.0;0;1;12;" + shaUpper;
    const LineCase cases[] = {
        {"1;a.ini;0;cfg/a.ini;1.05", false},                 // five fields
        {"1;a.ini;0;cfg/a.ini;1.05;1", true, 1, false},      // pending defaults to 0
        {"2;a.ini;0;cfg/a.ini;1.05;1;1", true, 2, true},     // pending read
        {"3;a.ini;0;cfg/a.ini;1.05;1;0;;", true, 3, false},  // empty size and checksum
        {"4;a.ini;0;cfg/a.ini;1.05;1;0;42", true, 4, false, 42},
        {shaLine.c_str(), true, 5, true, 12, sha.c_str()},  // checksum lower-cased
        {"6;a.ini;0;cfg/a.ini;1.05;1;0;4x2", false},        // size that is no number
        {"7;a.ini;0;cfg/a.ini;1.05;1;0;;abc", false},       // checksum too short
        {"", false},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        log->ClearCaptured();
        const std::optional<FileUpdateRecord> record = update::ParseUpdateLine(c.line, *log);
        ASSERT_EQ(record.has_value(), c.accepted);
        if (!c.accepted) {
            EXPECT_TRUE(log->HasCaptured(std::string("更新文件列表数据错误:") + c.line));
            continue;
        }
        EXPECT_EQ(record->id, c.id);
        EXPECT_EQ(record->pending, c.pending);
        EXPECT_EQ(record->size, c.size);
        EXPECT_EQ(record->sha256, c.sha256);
    }
}

TEST_F(UpdateListTest, ARecordReadsBackAsWrittenAndAnOldLineStaysInTheOldForm) {
    FileUpdateRecord record{12, "template/页.html",  1, "web/页.html", 1.1, true, true,
                            7,  std::string(64, 'f')};
    const std::string line = update::FormatUpdateRecord(record);
    EXPECT_EQ(line, "12;template/页.html;1;web/页.html;1.100000;1;1;7;" + std::string(64, 'f'));
    EXPECT_EQ(update::ParseUpdateLine(line, *log), record);

    const auto old = update::ParseUpdateLine("3;a.ini;2;a.ini;2.5;0", *log);
    ASSERT_TRUE(old);
    EXPECT_EQ(update::FormatUpdateRecord(*old), "3;a.ini;2;a.ini;2.500000;0;0");
}

TEST_F(UpdateListTest, AListSkipsBlankAndBadLinesAndTakesBothLineEnds) {
    const auto records =
        update::ParseUpdateList("1;a;0;a;1.0;0\r\n\r\nbad line\n2;b;0;b;1.0;0;1\n", *log);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].id, 1);
    EXPECT_EQ(records[1].id, 2);
    EXPECT_TRUE(records[1].pending);
    EXPECT_TRUE(log->HasCaptured("更新文件列表数据错误:bad line"));
}

TEST(UpdateVersion, VersionsCompareAsNumbers) {
    struct Case {
        const char* newer;
        const char* older;
    };
    const Case cases[] = {{"1.1", "1.05"}, {"2", "1.999999"}, {"1.100001", "1.1"}, {"0.5", "abc"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newer);
        EXPECT_GT(update::ReadVersion(c.newer), update::ReadVersion(c.older));
    }
    EXPECT_EQ(update::ReadVersion("1.1"), update::ReadVersion("1.100000"));
    EXPECT_EQ(update::ReadVersion(" 3.5abc"), 3.5);
}

// A comma-decimal locale, built from the system's locale sources into a folder of the test.
class CommaLocale {
  public:
    CommaLocale() {
        const std::string target = (dir_.path() / "de_DE.UTF-8").string();
        const std::string command = "localedef -i de_DE -f UTF-8 " + target + " >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0 && std::filesystem::exists(target)) {
            setenv("LOCPATH", dir_.path().c_str(), 1);
            active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        }
    }
    ~CommaLocale() {
        std::setlocale(LC_ALL, "C");
        unsetenv("LOCPATH");
    }
    bool active() const { return active_; }

  private:
    testing_support::TempDir dir_;
    bool active_ = false;
};

TEST(UpdateVersion, AVersionIsReadAndWrittenWithAPointUnderACommaDecimalLocale) {
    CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << "localedef cannot build de_DE here";
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");  // the locale is in force
    EXPECT_GT(update::ReadVersion("1.1"), update::ReadVersion("1.05"));
    EXPECT_EQ(update::WriteVersion(1.1), "1.100000");
    os::ManualClock clock;
    auto log = os::Log::Capturing(clock);
    const auto record = update::ParseUpdateLine("1;a;0;a;1.25;0", *log);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->version, 1.25);
}

}  // namespace
