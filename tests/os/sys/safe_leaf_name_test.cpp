#include "os/sys/safe_leaf_name.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "os/sys/folder_file_writer.h"
#include "os/text/gbk_codec.h"
#include "support/case_name.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace os {
namespace {

namespace fs = std::filesystem;
using testing_support::Put;
using testing_support::Slurp;

struct HostileName {
    const char* what;
    std::string name;      // as the peer sent it (GBK)
    std::string expected;  // the leaf it becomes; empty: refused
};

std::string Repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

const std::vector<HostileName>& HostileNames() {
    static const std::vector<HostileName> names = {
        {"windows parent escape", "..\\..\\.bashrc", ".bashrc"},
        {"posix parent escape", "../../.bashrc", ".bashrc"},
        {"absolute posix", "/etc/x", "x"},
        {"absolute windows", "C:\\Windows\\win.ini", "win.ini"},
        {"drive relative", "C:win.ini", "C_win.ini"},
        {"unc path", "\\\\server\\share\\f.txt", "f.txt"},
        {"home path", "~/.ssh/authorized_keys", "authorized_keys"},
        {"dot", ".", ""},
        {"dot dot", "..", ""},
        {"three dots", "...", ""},
        {"empty", "", ""},
        {"blank dot blank", " . ", ""},
        {"trailing backslash", "abc\\", ""},
        {"trailing slash", "dir/", ""},
        {"lone slash", "/", ""},
        {"parent and backslash", "..\\", ""},
        {"dots as folders", "...\\...\\x", "x"},
        {"nul inside", std::string("a\0b.txt", 7), "a_b.txt"},
        {"line breaks", "evil\r\n.txt", "evil__.txt"},
        {"escape sequence", "\x7F\x1B[31m", "__[31m"},
        {"trail byte 0x5C", "誠.txt", "誠.txt"},
        {"trail byte 0x5C before a backslash", "誠\\誠.txt", "誠.txt"},
        {"lone lead byte", "\x81", "_"},
        {"lead byte at the end", "a\x81", "a_"},
        {"device name", "CON", "_CON"},
        {"device name with extension", "nul.txt", "_nul.txt"},
        {"serial port", "COM1.log", "_COM1.log"},
        {"printer port", "lpt9", "_lpt9"},
        {"colon", "file:name", "file_name"},
        {"windows reserved characters", "x*?\"<>|.doc", "x______.doc"},
        {"trailing dot", "report.txt.", "report.txt"},
        {"surrounding blanks", "  spaced.txt  ", "spaced.txt"},
        {"over long ascii", Repeat("a", 300) + ".txt", Repeat("a", 251) + ".txt"},
        {"over long device name", "AUX." + Repeat("a", 300), "_AUX." + Repeat("a", 250)},
        {"over long chinese", Repeat("文", 200), Repeat("文", 85)},
        {"percent encoded dots", "%2e%2e%2fpasswd", "%2e%2e%2fpasswd"},
        {"link waiting", "link.txt", "link.txt"},
        {"file waiting", "existing.txt", "existing.txt"},
        {"plain", "报告.docx", "报告.docx"},
    };
    return names;
}

class HostileNameTest : public ::testing::TestWithParam<HostileName> {
  protected:
    HostileNameTest() {
        folder = temp.path() / "downloads";
        fs::create_directory(folder);
        Put(temp.path() / ".bashrc", "outside");
        Put(temp.path() / "x", "outside");
        Put(temp.path() / "target.txt", "link target");
        Put(folder / "existing.txt", "mine");
        fs::create_symlink(temp.path() / "target.txt", folder / "link.txt");
    }

    // Every entry below the test folder with its content (links as their target).
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> entries;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(temp.path())) {
            const std::string key = entry.path().lexically_relative(temp.path()).string();
            if (entry.is_symlink()) {
                entries[key] = "-> " + fs::read_symlink(entry.path()).string();
            } else if (entry.is_regular_file()) {
                entries[key] = Slurp(entry.path());
            } else {
                entries[key] = "<folder>";
            }
        }
        return entries;
    }

    testing_support::TempDir temp;
    fs::path folder;
};

TEST_P(HostileNameTest, LandsInsideTheFolderUnderASafeNameAndOverwritesNothing) {
    const HostileName& c = GetParam();
    const std::optional<std::string> leaf = SafeLeafName(c.name);
    if (c.expected.empty()) {
        EXPECT_FALSE(leaf.has_value()) << testing_support::DisplayGbk(*leaf);
        return;
    }
    ASSERT_TRUE(leaf.has_value());
    EXPECT_GBK_EQ(*leaf, c.expected);
    std::string native;
    ASSERT_TRUE(GbkToUtf8(*leaf, native));
    EXPECT_LE(native.size(), kMaxLeafBytes);
    EXPECT_EQ(SafeLeafName(*leaf), leaf) << "a safe name is kept as it is";

    const std::map<std::string, std::string> before = Snapshot();
    const bool taken = before.contains("downloads/" + native);
    {
        std::unique_ptr<FolderFileWriter> writer =
            FolderFileWriter::Begin(folder.string() + "/", *leaf);
        ASSERT_NE(writer, nullptr);
        ASSERT_TRUE(writer->Write("from the peer"));
        // A name already taken (a link, a file of ours) is never replaced without being asked.
        EXPECT_EQ(writer->Commit(ExistingEntry::kKeep), !taken);
    }
    std::map<std::string, std::string> expected = before;
    if (!taken) expected["downloads/" + native] = "from the peer";
    EXPECT_EQ(Snapshot(), expected);
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNameTest, ::testing::ValuesIn(HostileNames()),
                         [](const auto& info) {
                             return testing_support::IndexedName(info.index, info.param.what);
                         });

TEST(FolderFileWriterTest, NoPartialFileIsLeftAndAReplaceTakesTheLinkNotItsTarget) {
    testing_support::TempDir temp;
    Put(temp.path() / "target.txt", "link target");
    fs::create_symlink(temp.path() / "target.txt", temp.path() / "got.txt");
    {
        // Abandoned half way (a cancelled transfer): nothing stays behind.
        auto writer = FolderFileWriter::Begin(temp.str(), "half.bin");
        ASSERT_NE(writer, nullptr);
        ASSERT_TRUE(writer->Write("half"));
    }
    {
        auto writer = FolderFileWriter::Begin(temp.str(), "got.txt");
        ASSERT_NE(writer, nullptr);
        ASSERT_TRUE(writer->Write("new"));
        ASSERT_TRUE(writer->Commit(ExistingEntry::kReplace));
    }
    EXPECT_FALSE(fs::is_symlink(temp.path() / "got.txt"));
    EXPECT_EQ(Slurp(temp.path() / "got.txt"), "new");
    EXPECT_EQ(Slurp(temp.path() / "target.txt"), "link target");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(temp.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"got.txt", "target.txt"}));
}

TEST(FolderFileWriterTest, OnlyAWritableRegularFileIsReplaceable) {
    testing_support::TempDir temp;
    Put(temp.path() / "mine.txt", "x");
    Put(temp.path() / "readonly.txt", "x");
    fs::permissions(temp.path() / "readonly.txt", fs::perms::owner_read);
    fs::create_symlink(temp.path() / "mine.txt", temp.path() / "link.txt");
    fs::create_directory(temp.path() / "sub");
    EXPECT_EQ(InspectLeaf(temp.str(), "free.txt"), LeafState::kFree);
    EXPECT_EQ(InspectLeaf(temp.str(), "mine.txt"), LeafState::kReplaceableFile);
    EXPECT_EQ(InspectLeaf(temp.str(), "readonly.txt"), LeafState::kNotReplaceable);
    EXPECT_EQ(InspectLeaf(temp.str(), "link.txt"), LeafState::kNotReplaceable);
    EXPECT_EQ(InspectLeaf(temp.str(), "sub"), LeafState::kNotReplaceable);
    EXPECT_EQ(InspectLeaf(temp.str(), "../mine.txt"), LeafState::kNotReplaceable);
}

}  // namespace
}  // namespace os
