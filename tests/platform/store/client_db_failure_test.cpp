#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/store/client_db.h"
#include "store_test_support.h"

namespace store_test {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

class FailureTest : public StoreTest {
  protected:
    bool TryAdd(CClientDB& db) {
        return db.AddMsg("bob@h", "me@h", "2026-01-05 09:00:00", "hello", "", "", "", 0, false, "",
                         "", 1, nullptr);
    }
};

TEST_F(FailureTest, FolderThatCannotBeCreatedIsNamedInTheMessage) {
    WriteFile(dir_.str() + "plain-file", "x");
    std::string folder = dir_.str() + "plain-file/alice/";
    CClientDB db("alice", folder.c_str());
    EXPECT_FALSE(TryAdd(db));
    EXPECT_TRUE(Contains(db.GetErrorInfo(), "用户目录")) << db.GetErrorInfo();
    EXPECT_TRUE(Contains(db.GetErrorInfo(), folder.c_str())) << db.GetErrorInfo();
    Delivery got = Collect([&](const MsgCallback& cb) { return db.GetMsg(cb, -1); });
    EXPECT_FALSE(got.ok);
    EXPECT_EQ(got.endMarks, 0);
}

TEST_F(FailureTest, ReadOnlyFolderIsNamedInTheMessage) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    fs::create_directories(Folder());
    fs::permissions(Folder(), fs::perms::owner_read | fs::perms::owner_exec);
    CClientDB db("alice", Folder().c_str());
    EXPECT_FALSE(TryAdd(db));
    EXPECT_TRUE(Contains(db.GetErrorInfo(), "用户目录")) << db.GetErrorInfo();
    fs::permissions(Folder(), fs::perms::owner_all);
}

TEST_F(FailureTest, EmptyFolderIsRefused) {
    CClientDB db("alice", "");
    EXPECT_FALSE(TryAdd(db));
    EXPECT_TRUE(Contains(db.GetErrorInfo(), "用户目录")) << db.GetErrorInfo();
}

TEST_F(FailureTest, FileThatIsNotADatabaseIsReportedAndLeftAlone) {
    fs::create_directories(Folder());
    const std::string garbage(4096, 'G');
    WriteFile(DatabaseFile(), garbage);
    CClientDB db("alice", Folder().c_str());
    EXPECT_FALSE(TryAdd(db));
    EXPECT_TRUE(Contains(db.GetErrorInfo(), "不是有效的数据库文件")) << db.GetErrorInfo();
    Delivery got = Collect([&](const MsgCallback& cb) { return db.GetMsg(cb, -1); });
    EXPECT_FALSE(got.ok);
    EXPECT_EQ(ReadFile(DatabaseFile()), garbage);
}

TEST_F(FailureTest, MalformedDatabaseIsReportedAndLeftAlone) {
    {
        CClientDB db("alice", Folder().c_str());
        std::string filler(300, 'x');
        for (int i = 0; i < 100; ++i) Add(db, "bob@h", "me@h", filler.c_str());
    }
    CClientDB::CloseAll();  // checkpoints: every page is in the main file now
    std::string bytes = ReadFile(DatabaseFile());
    const std::size_t pageSize = 4096;
    ASSERT_GT(bytes.size(), 4 * pageSize);
    // Keep the header page, scribble over the pages behind it.
    std::memset(bytes.data() + pageSize, 0x5A, bytes.size() - pageSize);
    WriteFile(DatabaseFile(), bytes);

    CClientDB db("alice", Folder().c_str());
    Delivery got = Collect([&](const MsgCallback& cb) { return db.GetMsg(cb, -1); });
    EXPECT_FALSE(got.ok);
    EXPECT_EQ(got.endMarks, 0);
    EXPECT_TRUE(Contains(db.GetErrorInfo(), "数据结构错误")) << db.GetErrorInfo();
    EXPECT_FALSE(TryAdd(db));
    EXPECT_TRUE(Contains(db.GetErrorInfo(), "已损坏")) << db.GetErrorInfo();
    CClientDB::CloseAll();
    EXPECT_EQ(ReadFile(DatabaseFile()), bytes);
}

TEST_F(FailureTest, DatabaseLockedByAnotherConnectionFailsAfterTheBusyTimeout) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "bob@h", "me@h", "before");
    CClientDB::SetBusyTimeout(0);  // fail at once instead of waiting out the default 5 s

    RawDatabase other(DatabaseFile());
    ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    ASSERT_EQ(other.Exec("INSERT INTO rtoa (app_id, app_desc, sender_name, tip_type, count,"
                         " description, jump_url, jump_url_param, display_url, send_time,"
                         " offline_tip, status) VALUES ('','','','','','','','','','','','1')"),
              SQLITE_OK);

    EXPECT_FALSE(TryAdd(db));
    EXPECT_TRUE(Contains(db.GetErrorInfo(), "锁定")) << db.GetErrorInfo();
    EXPECT_FALSE(db.DeleteAllMsgs());
    EXPECT_FALSE(db.RefreshGroupChildren("k", {{1, "a", "A", "p"}}));
    EXPECT_TRUE(Contains(db.GetErrorInfo(), "锁定")) << db.GetErrorInfo();

    ASSERT_EQ(other.Exec("ROLLBACK"), SQLITE_OK);
    Delivery got = Collect([&](const MsgCallback& cb) { return db.GetMsg(cb, -1); });
    EXPECT_EQ(got.Contents(), (std::vector<std::string>{"before"}));
    EXPECT_TRUE(TryAdd(db)) << db.GetErrorInfo();
}

TEST_F(FailureTest, DatabaseOfANewerProgramIsRefusedUntouched) {
    {
        CClientDB db("alice", Folder().c_str());
        Add(db, "bob@h", "me@h", "kept");
    }
    CClientDB::CloseAll();
    {
        RawDatabase raw(DatabaseFile());
        ASSERT_EQ(raw.Exec("PRAGMA user_version=99"), SQLITE_OK);
    }
    CClientDB db("alice", Folder().c_str());
    EXPECT_FALSE(TryAdd(db));
    EXPECT_TRUE(Contains(db.GetErrorInfo(), "更高版本")) << db.GetErrorInfo();
    RawDatabase raw(DatabaseFile());
    EXPECT_EQ(raw.Text("PRAGMA user_version"), "99");
    EXPECT_EQ(raw.Text("SELECT group_concat(contents) FROM message"), "kept");
}

TEST_F(FailureTest, ErrorTextFitsAnyBufferWithoutHalfACharacter) {
    fs::create_directories(Folder());
    WriteFile(DatabaseFile(), std::string(4096, 'G'));
    CClientDB db("alice", Folder().c_str());
    ASSERT_FALSE(TryAdd(db));
    const std::string& full = db.GetErrorInfo();
    ASSERT_GT(full.size(), 8u);

    char large[1024];
    db.GetErrorInfo(large, sizeof large);
    EXPECT_EQ(std::string(large), full);

    // "消息数据库..." starts with two-byte characters: 4 bytes of room hold one character.
    char small[4];
    std::memset(small, '?', sizeof small);
    db.GetErrorInfo(small, sizeof small);
    EXPECT_EQ(std::string(small), full.substr(0, 2));
    char one[1] = {'?'};
    db.GetErrorInfo(one, 1);
    EXPECT_EQ(one[0], '\0');
    db.GetErrorInfo(nullptr, 10);  // no buffer: nothing to write, no crash
}

TEST_F(FailureTest, DatabaseFileReplacedBehindTheCacheGetsTheNewMessages) {
    CClientDB db("alice", Folder().c_str());
    Add(db, "bob@h", "me@h", "old file");
    // Someone removes the user folder while a connection to it is cached.
    fs::remove_all(Folder());
    Add(db, "bob@h", "me@h", "new file");
    CClientDB::CloseAll();
    RawDatabase raw(DatabaseFile());
    EXPECT_EQ(raw.Text("SELECT group_concat(contents) FROM message"), "new file");
}

}  // namespace
}  // namespace store_test
