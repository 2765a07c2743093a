#include "os/sys/ini_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <filesystem>
#include <fstream>
#include <thread>

#include "os/text/cstring_ops.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "support/test_files.h"
#include "support/wait_for.h"

namespace os {
namespace {

namespace fs = std::filesystem;

using testing_support::FileSizeLimit;
using testing_support::Put;
using testing_support::Slurp;
using testing_support::U8;

// 乚 is 0x81 ']': the header "[乚]" must end at the second ']' only.
constexpr std::string_view kSample =
    "; deployment settings\r\n"
    "orphan=before any section\r\n"
    "\r\n"
    "[Common Setting]\r\n"
    "Version = 1.25 \r\n"
    "Title=\"  quoted  \"\r\n"
    "Single='x'\r\n"
    "Half=\"x\r\n"
    "Empty=\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    "Room=网上咨询室\r\n"
    ";Commented=1\r\n"
    "no equals sign\r\n"
    "\r\n"
    "[Plugin Setting]\n"
    "IPMSG =1\n"
    "[乚]\r\n"
    "key=v\r\n"
    "[common setting]\r\n"
    "Version=9\r\n"
    "Late=x\r\n";

TEST(IniFile, Reads) {
    const IniFile ini = IniFile::Parse(kSample);
    struct Case {
        std::string_view section;
        std::string_view key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"Common Setting", "Version", "1.25"},
        {"COMMON SETTING", "version", "1.25"},
        {"  Common Setting ", " Version ", "1.25"},
        {"Common Setting", "Title", "  quoted  "},
        {"Common Setting", "Single", "x"},
        {"Common Setting", "Half", "\"x"},
        {"Common Setting", "Empty", ""},
        {"Common Setting", "Dup", "first"},
        {"Common Setting", "Room", "网上咨询室"},
        {"Common Setting", "orphan", std::nullopt},
        {"Common Setting", ";Commented", std::nullopt},
        {"Common Setting", "Commented", std::nullopt},
        {"Common Setting", "no equals sign", std::nullopt},
        {"Common Setting", "Late", std::nullopt},  // only the first of two sections is read
        {"Common Setting", "", std::nullopt},
        {"Plugin Setting", "IPMSG ", "1"},
        {"Plugin Setting", "IPMSG", "1"},
        {"plugin setting", "ipmsg", "1"},
        {"乚", "key", "v"},
        {"Missing", "Version", std::nullopt},
        {"", "orphan", std::nullopt},
    };
    for (const Case& c : cases) {
        std::optional<std::string> value = ini.Get(c.section, c.key);
        ASSERT_EQ(value.has_value(), c.value.has_value()) << "[" << c.section << "] " << c.key;
        if (value) {
            EXPECT_GBK_EQ(*value, *c.value) << "[" << c.section << "] " << c.key;
        }
    }
    EXPECT_EQ(ini.SectionNames(),
              (std::vector<std::string>{"Common Setting", "Plugin Setting", "乚"}));
    EXPECT_EQ(
        ini.KeyNames("common setting"),
        (std::vector<std::string>{"Version", "Title", "Single", "Half", "Empty", "Dup", "Room"}));
}

TEST(IniFile, StringDefaultsLoseTrailingBlanks) {
    const IniFile ini = IniFile::Parse("[S]\r\nempty=\r\n");
    EXPECT_EQ(ini.GetString("S", "missing", "def  "), "def");
    EXPECT_EQ(ini.GetString("S", "missing", "  def"), "  def");
    EXPECT_EQ(ini.GetString("S", "empty", "def"), "");  // present but empty is not missing
}

TEST(IniFile, IntegerReads) {
    struct Case {
        std::string_view value;
        int expected;
    };
    const Case cases[] = {
        {"12", 12},
        {"12abc", 12},
        {"abc", 0},
        {" -5", -5},
        {"+7", 7},
        {"-", 0},
        {"0x10", 0},
        {"\"42\"", 42},
        {"", -99},  // empty: the default
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
        {"-2147483648", INT_MIN},
    };
    for (const Case& c : cases) {
        const IniFile ini =
            IniFile::Parse(Format("[S]\r\nkey=%.*s\r\n", int(c.value.size()), c.value.data()));
        EXPECT_EQ(ini.GetInt("S", "key", -99), c.expected) << c.value;
    }
    EXPECT_EQ(IniFile::Parse("").GetInt("S", "key", 300), 300);
}

TEST(IniFile, ParseAndSaveKeepTheFileByteForByte) {
    std::string crlf(kSample);
    Replace(crlf, "\r\n", "\n");
    Replace(crlf, "\n", "\r\n");
    EXPECT_GBK_EQ(IniFile::Parse(crlf).ToText(), crlf);
    // Lines ending in "\n" only are written with "\r\n"; a last line without an end gets one.
    EXPECT_GBK_EQ(IniFile::Parse("[A]\nk=1\nlast=2").ToText(), "[A]\r\nk=1\r\nlast=2\r\n");
}

TEST(IniFile, EditsTouchOnlyTheirLines) {
    IniFile ini = IniFile::Parse(
        "; top comment\r\n"
        "[Common Setting]\r\n"
        "Version = 1.25\r\n"
        "; about the key below\r\n"
        "AutoRun=0\r\n"
        "\r\n"
        "[Plugin Setting]\r\n"
        "IPMSG =1\r\n");
    EXPECT_TRUE(ini.Set("common setting", "VERSION", "2.0"));
    EXPECT_TRUE(ini.Set("Common Setting", "Layout", "3"));
    EXPECT_TRUE(ini.Set("Plugin Setting", "IPMSG", "0"));
    EXPECT_TRUE(ini.SetInt("Proxy Setting", "Port", -1));
    EXPECT_TRUE(ini.Set("Proxy Setting", "Server", "代理服务器"));
    EXPECT_GBK_EQ(ini.ToText(),
                  "; top comment\r\n"
                  "[Common Setting]\r\n"
                  "Version =2.0\r\n"
                  "; about the key below\r\n"
                  "AutoRun=0\r\n"
                  "Layout=3\r\n"
                  "\r\n"
                  "[Plugin Setting]\r\n"
                  "IPMSG =0\r\n"
                  "[Proxy Setting]\r\n"
                  "Port=-1\r\n"
                  "Server=代理服务器\r\n");
}

TEST(IniFile, Deletes) {
    IniFile ini = IniFile::Parse("[A]\r\nk=1\r\nother=2\r\nK=3\r\n[B]\r\nk=4\r\n[a]\r\nk=5\r\n");
    EXPECT_TRUE(ini.DeleteKey("a", "k"));
    EXPECT_EQ(ini.Get("A", "k"), std::nullopt);  // the duplicate went too
    EXPECT_FALSE(ini.DeleteKey("A", "k"));
    EXPECT_FALSE(ini.DeleteKey("Missing", "k"));
    EXPECT_EQ(ini.Get("B", "k"), "4");

    EXPECT_TRUE(ini.DeleteSection("A"));  // both sections named a/A
    EXPECT_FALSE(ini.DeleteSection("A"));
    EXPECT_GBK_EQ(ini.ToText(), "[B]\r\nk=4\r\n");
}

TEST(IniFile, RefusesWritesThatCouldNotBeReadBack) {
    IniFile ini = IniFile::Parse("[S]\r\nk=1\r\n");
    struct Case {
        std::string_view section;
        std::string_view key;
        std::string_view value;
    };
    const Case cases[] = {
        {"S", "k", "1\r\n[Evil]\r\nx=1"},
        {"S", "k", "a\nb"},
        {"S", "k", std::string_view("a\0b", 3)},
        {"S\n", "k", "v"},
        {"S", "a=b", "v"},
        {"S", "[k", "v"},
        {"S", ";k", "v"},
        {"S\x81", "k", "v"},  // "\x81]" is one GBK character: the header would not close
        {"名\xFE", "k", "v"},
        {"S", " ", "v"},
        {"", "k", "v"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(ini.Set(c.section, c.key, c.value)) << c.section << " / " << c.key;
    }
    EXPECT_EQ(ini.ToText(), "[S]\r\nk=1\r\n");
}

TEST(IniFile, Utf8FileWithByteOrderMark) {
    const std::string utf8 = "\xEF\xBB\xBF" + U8(u8"[窗口]\r\ntitle=网上值班室\r\n");
    IniFile ini = IniFile::Parse(utf8);
    EXPECT_GBK_EQ(ini.GetString("窗口", "title", ""), "网上值班室");

    testing_support::TempDir dir;
    Put(dir.path() / "u.ini", utf8);
    const std::string path = dir.str() + "u.ini";
    ASSERT_TRUE(WriteProfileString(path, "窗口", "extra", "值"));
    EXPECT_EQ(Slurp(dir.path() / "u.ini"), utf8 + U8(u8"extra=值\r\n"));

    // A mark before bytes that are not UTF-8: read as they are, mark kept.
    IniFile raw = IniFile::Parse("\xEF\xBB\xBF[S]\r\nk=\x81\r\n");
    EXPECT_EQ(raw.GetString("S", "k", ""), "\x81");
}

class ProfileTest : public ::testing::Test {
  protected:
    std::string Path(std::string_view name = "config.ini") const {
        return dir_.str() + std::string(name);
    }
    fs::path Native(std::string_view name = "config.ini") const { return dir_.path() / name; }

    testing_support::TempDir dir_;
};

TEST_F(ProfileTest, MissingFileReadsDefaultsAndWriteCreatesIt) {
    EXPECT_EQ(GetProfileInt(Path(), "Server Setting", "LoginTimeOut", 20), 20);
    EXPECT_EQ(GetProfileString(Path(), "Server Setting", "Host", "default"), "default");
    EXPECT_TRUE(DeleteProfileKey(Path(), "S", "k"));
    EXPECT_TRUE(DeleteProfileSection(Path(), "S"));
    EXPECT_FALSE(fs::exists(Native()));  // deleting from nothing writes nothing

    ASSERT_TRUE(WriteProfileString(Path(), "Server Setting", "Host", "im.example"));
    ASSERT_TRUE(WriteProfileInt(Path(), "Server Setting", "LoginTimeOut", 30));
    EXPECT_EQ(Slurp(Native()), "[Server Setting]\r\nHost=im.example\r\nLoginTimeOut=30\r\n");
    EXPECT_EQ(GetProfileInt(Path(), "server setting", "logintimeout", 20), 30);

    EXPECT_TRUE(DeleteProfileKey(Path(), "Server Setting", "Host"));
    EXPECT_EQ(Slurp(Native()), "[Server Setting]\r\nLoginTimeOut=30\r\n");
    EXPECT_TRUE(DeleteProfileSection(Path(), "SERVER SETTING"));
    EXPECT_EQ(Slurp(Native()), "");
}

TEST_F(ProfileTest, SectionNameThatCannotBeReadBackIsRefusedAndWritesNothing) {
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(WriteProfileString(Path(), "S\x81", "k", "v"));
    EXPECT_EQ(GetProfileString(Path(), "S\x81", "k", "default"), "default");
    EXPECT_FALSE(fs::exists(Native()));
    // A name that ends in a whole GBK character whose trail byte is ']' is no such name.
    ASSERT_TRUE(WriteProfileString(Path(), "\x81]", "k", "v"));
    EXPECT_EQ(GetProfileString(Path(), "\x81]", "k", "default"), "v");
}

TEST_F(ProfileTest, FilesThatNeverEndReadAsDefaults) {
    // A FIFO would block the read until a writer came; the read runs on a thread so that a
    // blocked one fails the test and is then released by opening the FIFO for writing.
    const fs::path fifo = Native("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> done{false};
    std::string value;
    std::thread reader([&] {
        value = GetProfileString(Path("fifo.ini"), "S", "k", "default");
        done = true;
    });
    bool finished = testing_support::WaitFor([&] { return done.load(); }, "the FIFO read",
                                             std::chrono::seconds(10));
    if (!finished) ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
    reader.join();
    EXPECT_TRUE(finished);
    EXPECT_EQ(value, "default");
    EXPECT_FALSE(WriteProfileString(Path("fifo.ini"), "S", "k", "v")) << "never replaced";

    // A device that never ends, and a regular file past the size cap.
    fs::create_symlink("/dev/zero", Native("zero.ini"));
    EXPECT_EQ(GetProfileString(Path("zero.ini"), "S", "k", "default"), "default");
    {
        std::ofstream big(Native("big.ini"), std::ios::binary);
        big << "[S]\r\nk=v\r\n" << std::string(kIniReadLimit, ';');
    }
    EXPECT_EQ(GetProfileString(Path("big.ini"), "S", "k", "default"), "default");
    EXPECT_FALSE(WriteProfileString(Path("big.ini"), "S", "k", "w"));
}

TEST_F(ProfileTest, KeyWithTrailingBlankIsTheSameKey) {
    // The plug-in switch is named "IPMSG " with a trailing blank. Names are trimmed on both
    // sides, so a file written either way answers to either spelling, and a write updates the
    // existing line instead of adding a second key.
    Put(Native(), "[Plugin Setting]\r\nIPMSG=1\r\n");
    EXPECT_EQ(GetProfileInt(Path(), "Plugin Setting", "IPMSG ", 0), 1);
    Put(Native(), "[Plugin Setting]\r\nIPMSG =1\r\n");
    EXPECT_EQ(GetProfileInt(Path(), "Plugin Setting", "IPMSG", 0), 1);
    ASSERT_TRUE(WriteProfileInt(Path(), "Plugin Setting", "IPMSG ", 0));
    EXPECT_EQ(Slurp(Native()), "[Plugin Setting]\r\nIPMSG =0\r\n");
}

TEST_F(ProfileTest, ChineseFileNameAndContent) {
    const std::string path = Path("服务器一.ini");
    ASSERT_TRUE(WriteProfileString(path, "Window Setting", "ConsultationRoomTitle", "网上咨询室"));
    EXPECT_TRUE(fs::exists(dir_.path() / U8(u8"服务器一.ini")));
    EXPECT_GBK_EQ(GetProfileString(path, "Window Setting", "ConsultationRoomTitle", ""),
                  "网上咨询室");
}

TEST_F(ProfileTest, FailedWriteLeavesTheOldFileIntact) {
    const std::string original = "; keep me\r\n[S]\r\nk=old\r\n";
    Put(Native(), original);
    {
        FileSizeLimit diskFull(8);
        EXPECT_FALSE(WriteProfileString(Path(), "S", "k", std::string(1000, 'n')));
    }
    EXPECT_EQ(Slurp(Native()), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);

    EXPECT_FALSE(WriteProfileString(Path("missing/folder/x.ini"), "S", "k", "v"));
    EXPECT_FALSE(WriteProfileString(Path(), "S", "bad=key", "v"));
    EXPECT_EQ(Slurp(Native()), original);
}

TEST_F(ProfileTest, UnreadableFileIsNeverOverwritten) {
    // A folder where the file should be: it exists but cannot be read as a file.
    fs::create_directory(Native("taken.ini"));
    EXPECT_FALSE(IniFile::Load(Path("taken.ini")).readable());
    EXPECT_EQ(GetProfileInt(Path("taken.ini"), "S", "k", 5), 5);
    EXPECT_FALSE(WriteProfileString(Path("taken.ini"), "S", "k", "v"));
    EXPECT_FALSE(DeleteProfileKey(Path("taken.ini"), "S", "k"));
    EXPECT_TRUE(fs::is_directory(Native("taken.ini")));
}

TEST_F(ProfileTest, ConcurrentWritersLoseNothing) {
    constexpr int kThreads = 4;
    constexpr int kKeysEach = 15;
    std::vector<std::thread> threads;
    std::vector<int> failures(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kKeysEach; ++i) {
                if (!WriteProfileInt(Path(), Format("T%d", t).c_str(), Format("k%d", i).c_str(),
                                     i)) {
                    ++failures[t];
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
    const IniFile ini = IniFile::Load(Path());
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kKeysEach; ++i) {
            EXPECT_EQ(ini.GetInt(Format("T%d", t), Format("k%d", i), -1), i) << t << "/" << i;
        }
    }
}

}  // namespace
}  // namespace os
