#include "os/sys/file_ops.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace os {
namespace {

namespace fs = std::filesystem;

using testing_support::FileSizeLimit;
using testing_support::Put;
using testing_support::Slurp;
using testing_support::U8;

class FileOpsTest : public ::testing::Test {
  protected:
    // The temporary folder as a GBK path prefix (ASCII, so GBK and UTF-8 alike).
    std::string At(std::string_view gbkName) const { return dir_.str() + std::string(gbkName); }
    const fs::path& Dir() const { return dir_.path(); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        std::optional<std::vector<DirectoryEntry>> entries = ListDirectory(dir_.str());
        if (entries) {
            for (const DirectoryEntry& entry : *entries) names.push_back(entry.name);
        }
        return names;
    }

  private:
    testing_support::TempDir dir_;
};

TEST_F(FileOpsTest, ChineseNamesLandAsUtf8OnDisk) {
    ASSERT_TRUE(CreateDirectories(At("用户/消息")));
    ASSERT_TRUE(WriteFileAtomically(At("用户/消息/记录.txt"), "内容"));
    const fs::path onDisk = Dir() / U8(u8"用户") / U8(u8"消息") / U8(u8"记录.txt");
    EXPECT_TRUE(fs::is_regular_file(onDisk));
    EXPECT_EQ(Slurp(onDisk), "内容");  // the bytes themselves stay GBK

    std::string bytes;
    ASSERT_TRUE(ReadFile(At("用户\\消息\\记录.txt"), bytes));  // Windows separators work too
    EXPECT_GBK_EQ(bytes, "内容");
}

TEST_F(FileOpsTest, ExistenceAndSize) {
    Put(Dir() / "file", "12345");
    fs::create_directory(Dir() / "folder");
    fs::create_symlink(Dir() / "file", Dir() / "link");

    struct Case {
        std::string path;
        bool file;
        bool directory;
        std::optional<std::uint64_t> size;
    };
    const Case cases[] = {
        {At("file"), true, false, 5},
        {At("link"), true, false, 5},
        {At("folder"), false, true, std::nullopt},
        {At("folder/"), false, true, std::nullopt},
        {At("missing"), false, false, std::nullopt},
        {At("a\x81"), false, false, std::nullopt},  // not GBK: names nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileExists(c.path), c.file) << c.path;
        EXPECT_EQ(DirectoryExists(c.path), c.directory) << c.path;
        EXPECT_EQ(FileSize(c.path), c.size) << c.path;
    }
}

TEST_F(FileOpsTest, CreateDirectories) {
    EXPECT_TRUE(CreateDirectories(At("a/b/c")));
    EXPECT_TRUE(fs::is_directory(Dir() / "a/b/c"));
    EXPECT_TRUE(CreateDirectories(At("a/b/c/")));  // already there
    Put(Dir() / "plain", "x");
    EXPECT_FALSE(CreateDirectories(At("plain")));
    EXPECT_FALSE(CreateDirectories(At("plain/sub")));
    EXPECT_FALSE(CreateDirectories(""));
}

TEST_F(FileOpsTest, CopyFile) {
    Put(Dir() / "src", "source");
    fs::permissions(Dir() / "src", fs::perms(0640));
    Put(Dir() / "old", "old");

    EXPECT_TRUE(CopyFile(At("src"), At("new"), ExistingTarget::kFail));
    EXPECT_EQ(Slurp(Dir() / "new"), "source");
    EXPECT_EQ(fs::status(Dir() / "new").permissions(), fs::perms(0640));

    EXPECT_FALSE(CopyFile(At("src"), At("old"), ExistingTarget::kFail));
    EXPECT_EQ(Slurp(Dir() / "old"), "old");
    EXPECT_TRUE(CopyFile(At("src"), At("old"), ExistingTarget::kReplace));
    EXPECT_EQ(Slurp(Dir() / "old"), "source");

    EXPECT_TRUE(CopyFile(At("src"), At("src"), ExistingTarget::kReplace));  // onto itself
    EXPECT_EQ(Slurp(Dir() / "src"), "source");

    EXPECT_FALSE(CopyFile(At("missing"), At("x"), ExistingTarget::kReplace));
    fs::create_directory(Dir() / "folder");
    EXPECT_FALSE(CopyFile(At("folder"), At("x"), ExistingTarget::kReplace));
    EXPECT_FALSE(CopyFile(At("src"), At("nowhere/x"), ExistingTarget::kReplace));
    EXPECT_FALSE(CopyFile(At("src"), At("folder"), ExistingTarget::kReplace));
    EXPECT_EQ(Names(), (std::vector<std::string>{"folder", "new", "old", "src"}));  // no leftovers
}

TEST_F(FileOpsTest, MoveFile) {
    Put(Dir() / "a", "A");
    Put(Dir() / "b", "B");
    EXPECT_FALSE(MoveFile(At("a"), At("b")));  // an existing target is kept by default
    EXPECT_EQ(Slurp(Dir() / "a"), "A");
    EXPECT_EQ(Slurp(Dir() / "b"), "B");

    EXPECT_TRUE(MoveFile(At("a"), At("b"), ExistingTarget::kReplace));
    EXPECT_FALSE(fs::exists(Dir() / "a"));
    EXPECT_EQ(Slurp(Dir() / "b"), "A");

    EXPECT_TRUE(MoveFile(At("b"), At("文件")));
    EXPECT_EQ(Slurp(Dir() / U8(u8"文件")), "A");

    fs::create_directories(Dir() / "dir/inner");
    EXPECT_TRUE(MoveFile(At("dir"), At("moved")));
    EXPECT_TRUE(fs::is_directory(Dir() / "moved/inner"));

    EXPECT_FALSE(MoveFile(At("missing"), At("c")));
}

TEST_F(FileOpsTest, MoveFileAcrossFileSystems) {
    struct stat here {};
    struct stat shm {};
    if (stat(Dir().c_str(), &here) != 0 || stat("/dev/shm", &shm) != 0 ||
        here.st_dev == shm.st_dev) {
        GTEST_SKIP() << "needs /dev/shm on another file system";
    }
    char pattern[] = "/dev/shm/qorv-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string other = std::string(pattern) + "/";

    Put(Dir() / "far", "travels");
    EXPECT_TRUE(MoveFile(At("far"), other + "far"));
    EXPECT_FALSE(fs::exists(Dir() / "far"));
    EXPECT_EQ(Slurp(other + "far"), "travels");

    Put(Dir() / "taken", "stays");
    EXPECT_FALSE(MoveFile(At("taken"), other + "far"));
    EXPECT_EQ(Slurp(Dir() / "taken"), "stays");
    EXPECT_EQ(Slurp(other + "far"), "travels");
    fs::remove_all(pattern);
}

TEST_F(FileOpsTest, DeleteFile) {
    Put(Dir() / "file", "x");
    Put(Dir() / "target", "kept");
    fs::create_symlink(Dir() / "target", Dir() / "link");
    fs::create_directory(Dir() / "folder");

    EXPECT_TRUE(DeleteFile(At("file")));
    EXPECT_FALSE(fs::exists(Dir() / "file"));
    EXPECT_FALSE(DeleteFile(At("file")));
    EXPECT_FALSE(DeleteFile(At("folder")));
    EXPECT_TRUE(fs::is_directory(Dir() / "folder"));
    EXPECT_TRUE(DeleteFile(At("link")));
    EXPECT_EQ(Slurp(Dir() / "target"), "kept");
}

TEST_F(FileOpsTest, ReadFile) {
    const std::string binary("a\0\xFF\r\n", 5);
    Put(Dir() / "bin", binary);
    std::string bytes = "stale";
    ASSERT_TRUE(ReadFile(At("bin"), bytes));
    EXPECT_EQ(bytes, binary);

    bytes = "stale";
    EXPECT_FALSE(ReadFile(At("missing"), bytes));
    EXPECT_EQ(bytes, "");
    bytes = "stale";
    EXPECT_FALSE(ReadFile(At(""), bytes));
    EXPECT_EQ(bytes, "");
}

// Keeps the lines a read writes to its log.
struct RecordingSink final : LogSink {
    void WriteLog2(int level, std::string_view text) override {
        lines.push_back(std::to_string(level) + " " + std::string(text));
    }
    std::vector<std::string> lines;
};

TEST_F(FileOpsTest, ReadFileNamesWhatItRefusesAndWhy) {
    ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", Dir() / "zero");
    fs::create_directory(Dir() / "folder");
    Put(Dir() / "big", std::string(101, 'x'));
    Put(Dir() / "small", "fits");
    struct Case {
        const char* name;
        ReadResult result;
        std::string line;  // "" when nothing is logged
    };
    const Case cases[] = {
        {"fifo", ReadResult::kNotARegularFile,
         "1 File '" + At("fifo") + "' not read: not a regular file (a FIFO)"},
        {"zero", ReadResult::kNotARegularFile,
         "1 File '" + At("zero") + "' not read: not a regular file (a character device)"},
        {"folder", ReadResult::kNotARegularFile,
         "1 File '" + At("folder") + "' not read: not a regular file (a folder)"},
        {"big", ReadResult::kTooLarge,
         "1 File '" + At("big") + "' not read: too large (101 bytes, the limit is 100 bytes)"},
        {"missing", ReadResult::kCannotOpen, ""},
        {"small", ReadResult::kRead, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSink log;
        std::string bytes = "stale";
        EXPECT_EQ(ReadFileChecked(At(c.name), bytes, 100, &log), c.result);
        EXPECT_EQ(bytes, c.result == ReadResult::kRead ? "fits" : "");
        EXPECT_EQ(log.lines,
                  c.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.line});
    }
}

TEST_F(FileOpsTest, ReadFileNamesAFileItMayNotOpen) {
    if (geteuid() == 0) GTEST_SKIP() << "root opens any file";
    Put(Dir() / "locked", "secret");
    fs::permissions(Dir() / "locked", fs::perms::none);
    RecordingSink log;
    std::string bytes;
    EXPECT_EQ(ReadFileChecked(At("locked"), bytes, 100, &log), ReadResult::kCannotOpen);
    EXPECT_EQ(log.lines,
              std::vector<std::string>{"1 File '" + At("locked") +
                                       "' not read: cannot be opened (Permission denied)"});
}

TEST_F(FileOpsTest, WriteFileAtomicallyReplacesAndKeepsPermissions) {
    ASSERT_TRUE(WriteFileAtomically(At("f"), "first"));
    EXPECT_EQ(Slurp(Dir() / "f"), "first");
    fs::permissions(Dir() / "f", fs::perms(0600));
    ASSERT_TRUE(WriteFileAtomically(At("f"), "second"));
    EXPECT_EQ(Slurp(Dir() / "f"), "second");
    EXPECT_EQ(fs::status(Dir() / "f").permissions(), fs::perms(0600));
    ASSERT_TRUE(WriteFileAtomically(At("f"), ""));
    EXPECT_EQ(fs::file_size(Dir() / "f"), 0u);
    EXPECT_EQ(Names(), std::vector<std::string>{"f"});
}

TEST_F(FileOpsTest, WriteFileAtomicallyFollowsALink) {
    Put(Dir() / "real", "old");
    fs::create_symlink("real", Dir() / "link");
    ASSERT_TRUE(WriteFileAtomically(At("link"), "new"));
    EXPECT_TRUE(fs::is_symlink(Dir() / "link"));
    EXPECT_EQ(Slurp(Dir() / "real"), "new");
}

TEST_F(FileOpsTest, WriteFileAtomicallyFailsCleanly) {
    EXPECT_FALSE(WriteFileAtomically(At("no/such/folder/f"), "x"));
    fs::create_directory(Dir() / "folder");
    EXPECT_FALSE(WriteFileAtomically(At("folder"), "x"));
    EXPECT_TRUE(fs::is_directory(Dir() / "folder"));
    EXPECT_FALSE(WriteFileAtomically(At("bad\x81"), "x"));

    Put(Dir() / "f", "the old content");
    {
        FileSizeLimit diskFull(8);
        EXPECT_FALSE(WriteFileAtomically(At("f"), std::string(1000, 'n')));
    }
    EXPECT_EQ(Slurp(Dir() / "f"), "the old content");
    EXPECT_EQ(Names(), (std::vector<std::string>{"f", "folder"}));  // temporary file removed
}

TEST_F(FileOpsTest, FreeSpace) {
    std::optional<std::uint64_t> free = FreeSpace(At(""));
    ASSERT_TRUE(free.has_value());
    EXPECT_GT(*free, 0u);
    EXPECT_EQ(FreeSpace(At("missing/folder")), std::nullopt);
}

TEST_F(FileOpsTest, ListDirectory) {
    Put(Dir() / U8(u8"乙.txt"), "");
    Put(Dir() / "b.txt", "");
    fs::create_directory(Dir() / "a");
    Put(Dir() / U8(u8"😀"), "");  // no GBK name: left out
    const std::vector<DirectoryEntry> expected = {{"a", true}, {"b.txt", false}, {"乙.txt", false}};
    EXPECT_EQ(ListDirectory(At("")), expected);
    EXPECT_EQ(ListDirectory(At("missing")), std::nullopt);
}

}  // namespace
}  // namespace os
