// The file-update run against a server on 127.0.0.1, and the replacement at the next start.
#include "update/file_updates.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "update/file_update_list.h"
#include "update/sha256.h"
#include "update_fixture.h"

namespace update_test {
namespace {

namespace fs = std::filesystem;
using update::FileUpdateRecord;

std::vector<FileUpdateRecord> ReadList(const fs::path& path, os::LogSink& log) {
    return update::ParseUpdateList(ReadAll(path), log);
}

const FileUpdateRecord* ById(const std::vector<FileUpdateRecord>& records, int id) {
    for (const FileUpdateRecord& record : records)
        if (record.id == id) return &record;
    return nullptr;
}

TEST_F(UpdateTest, AnUnconfiguredAddressEndsTheRunAndTouchesNoFile) {
    for (const bool listUnset : {true, false}) {
        update::FileUpdateSettings settings = Settings();
        (listUnset ? settings.updatelisturl : settings.remotedir) = "NONE";
        log->ClearCaptured();
        EXPECT_FALSE(update::RunFileUpdate(settings, *log));
        EXPECT_TRUE(log->HasCaptured("文件更新地址未配置,更新线程退出"));
        EXPECT_FALSE(fs::exists(common.path() / "update"));
        EXPECT_EQ(server.Asked("/list.txt"), 0);
    }
}

TEST_F(UpdateTest, AFailedListDownloadEndsTheRunWithItsLogLine) {
    EXPECT_FALSE(update::RunFileUpdate(Settings(), *log));
    EXPECT_TRUE(log->HasCaptured("下载更新列表文件失败:服务器地址:" + server.Url("/list.txt")));
    EXPECT_FALSE(fs::exists(CurrentList()));
}

TEST_F(UpdateTest, OnlyANewerVersionOrANewRecordIsDownloaded) {
    WriteAll(CurrentList(),
             "1;a.ini;0;cfg/a.ini;1.05;0;0\r\n"
             "2;b.ini;0;cfg/b.ini;2.0;0;0\r\n"
             "9;kept.ini;0;kept.ini;1.0;0;0\r\n");
    server.Serve("/list.txt",
                 "1;a-new.ini;0;cfg/a.ini;1.1;0\r\n"   // greater: taken, with its new name
                 "2;b.ini;0;cfg/b.ini;2.000000;0\r\n"  // equal: left alone
                 "3;c.ini;1;c.ini;1.0;0\r\n");         // new, and no '/' in its path
    server.Serve("/files/cfg/a.ini", "new a");
    server.Serve("/files/cfg/b.ini", "new b");
    server.Serve("/files/c.ini", "new c");

    const std::optional<int> ready = update::RunFileUpdate(Settings(), *log);
    ASSERT_TRUE(ready);
    EXPECT_EQ(*ready, 2);
    EXPECT_EQ(server.Asked("/files/cfg/a.ini"), 1);
    EXPECT_EQ(server.Asked("/files/cfg/b.ini"), 0);
    EXPECT_EQ(server.Asked("/files/c.ini"), 1);
    EXPECT_EQ(ReadAll(FileUpdateDir() / "a.ini"), "new a");
    EXPECT_EQ(ReadAll(FileUpdateDir() / "c.ini"), "new c");
    EXPECT_EQ(update::PendingFilesNotice(*ready), "下载配置文件2个,下次生效");

    const auto list = ReadList(CurrentList(), *log);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(ById(list, 1)->localName, "a-new.ini");
    EXPECT_EQ(ById(list, 1)->version, 1.1);
    EXPECT_TRUE(ById(list, 1)->pending);
    EXPECT_FALSE(ById(list, 2)->pending);
    EXPECT_TRUE(ById(list, 3)->pending);
    EXPECT_EQ(ById(list, 3)->dirType, 1);
    EXPECT_EQ(update::FormatUpdateRecord(*ById(list, 9)), "9;kept.ini;0;kept.ini;1.000000;0;0");
}

TEST_F(UpdateTest, ADownloadThatDoesNotMatchItsSizeOrChecksumIsDiscarded) {
    const std::string body = "the real bytes";
    const std::string good = update::Sha256Hex(body);
    EXPECT_EQ(update::Sha256Hex("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    server.Serve("/list.txt", "1;good.ini;0;good.ini;1.0;0;0;" + std::to_string(body.size()) + ";" +
                                  good +
                                  "\r\n"
                                  "2;badsum.ini;0;badsum.ini;1.0;0;0;;" +
                                  std::string(64, '0') +
                                  "\r\n"
                                  "3;badsize.ini;0;badsize.ini;1.0;0;0;3;\r\n");
    for (const char* name : {"/files/good.ini", "/files/badsum.ini", "/files/badsize.ini"})
        server.Serve(name, body);

    EXPECT_EQ(update::RunFileUpdate(Settings(), *log), 1);
    EXPECT_EQ(ReadAll(FileUpdateDir() / "good.ini"), body);
    EXPECT_FALSE(fs::exists(FileUpdateDir() / "badsum.ini"));
    EXPECT_FALSE(fs::exists(FileUpdateDir() / "badsize.ini"));
    EXPECT_TRUE(log->HasCaptured("已丢弃:" + server.Url("/files/badsum.ini")));
    const auto list = ReadList(CurrentList(), *log);
    EXPECT_TRUE(ById(list, 1)->pending);
    EXPECT_FALSE(ById(list, 2)->pending);
    EXPECT_TRUE(ById(list, 2)->changed);  // tried again by the next run
    EXPECT_FALSE(ById(list, 3)->pending);
}

TEST_F(UpdateTest, HostileRecordsAreRefusedAndNeitherAskedForNorWritten) {
    const char* hostile[] = {
        "1;../escape.ini;0;x.ini;1.0;0",
        "2;/tmp/escape.ini;0;x.ini;1.0;0",
        "3;ok.ini;0;../../etc/passwd;1.0;0",
        "4;ok.ini;0;/abs/x.ini;1.0;0",
        "5;ok.ini;0;http://elsewhere/x.ini;1.0;0",
        "6;sub\\..\\..\\escape.ini;0;x.ini;1.0;0",
        "7;ok.ini;0;cfg/..;1.0;0",
    };
    std::string list;
    for (const char* line : hostile) list += std::string(line) + "\r\n";
    server.Serve("/list.txt", list);
    server.Serve("/files/x.ini", "x");

    EXPECT_EQ(update::RunFileUpdate(Settings(), *log), 0);
    EXPECT_EQ(server.Asked("/files/x.ini"), 0);
    for (const char* line : hostile) {
        SCOPED_TRACE(line);
        const auto record = update::ParseUpdateLine(line, *log);
        ASSERT_TRUE(record);
        FileUpdateRecord changed = *record;
        changed.changed = true;
        EXPECT_TRUE(log->HasCaptured("更新文件路径越出其目录,已拒绝:" +
                                     update::FormatUpdateRecord(changed)));
    }
    EXPECT_FALSE(fs::exists(common.path() / "escape.ini"));
    EXPECT_FALSE(fs::exists(common.path() / "update" / "escape.ini"));
}

// ---- At the next start

TEST_F(UpdateTest, PendingFilesReplaceTheirTargetsInEachKindOfFolder) {
    WriteAll(app.path() / "template" / "page.html", "old page");
    WriteAll(common.path() / "config.ini", "old config");
    WriteAll(FileUpdateDir() / "page.html", "new page");
    WriteAll(FileUpdateDir() / "config.ini", "new config");
    WriteAll(FileUpdateDir() / "user.ini", "new user");
    WriteAll(FileUpdateDir() / "left.ini", "never");
    WriteAll(CurrentList(),
             "1;template/page.html;1;web/page.html;2.0;1;1\r\n"
             "2;config.ini;0;config.ini;2.0;1;1\r\n"
             "3;settings/user.ini;2;user.ini;2.0;1;1\r\n"
             "4;left.ini;0;left.ini;2.0;0;0\r\n");

    EXPECT_EQ(update::ApplyPendingFiles(folders, *log), 3);
    EXPECT_EQ(ReadAll(app.path() / "template" / "page.html"), "new page");
    EXPECT_EQ(ReadAll(common.path() / "config.ini"), "new config");
    EXPECT_EQ(ReadAll(common.path() / "me" / "settings" / "user.ini"), "new user");
    EXPECT_FALSE(fs::exists(common.path() / "left.ini"));
    for (const FileUpdateRecord& record : ReadList(CurrentList(), *log)) {
        EXPECT_FALSE(record.pending) << record.id;
    }
    EXPECT_TRUE(
        log->HasCaptured("更新文件成功:源文件:" + (FileUpdateDir() / "page.html").string()));

    log->ClearCaptured();
    EXPECT_EQ(update::ApplyPendingFiles(folders, *log), 0);
    EXPECT_TRUE(log->HasCaptured("文件更新替换0个"));
}

TEST_F(UpdateTest, AFailedCopyStaysPendingAndIsTriedAgainAtTheNextStart) {
    WriteAll(common.path() / "a.ini", "old");
    WriteAll(CurrentList(), "1;a.ini;0;a.ini;2.0;1;1\r\n7;b.ini;7;b.ini;2.0;1;1\r\n");

    EXPECT_EQ(update::ApplyPendingFiles(folders, *log), 0);  // the download is missing
    EXPECT_TRUE(log->HasCaptured("更新文件失败:源文件:" + (FileUpdateDir() / "a.ini").string()));
    EXPECT_TRUE(log->HasCaptured("更新文件本地目录类型错误,类型=7"));
    EXPECT_EQ(ReadAll(common.path() / "a.ini"), "old");
    EXPECT_TRUE(ById(ReadList(CurrentList(), *log), 1)->pending);

    WriteAll(FileUpdateDir() / "a.ini", "new");
    EXPECT_EQ(update::ApplyPendingFiles(folders, *log), 1);
    EXPECT_EQ(ReadAll(common.path() / "a.ini"), "new");
    EXPECT_TRUE(ById(ReadList(CurrentList(), *log), 7)->pending);
}

TEST_F(UpdateTest, APendingFileIsNotPutThroughALinkNorWhenItNoLongerMatchesItsChecksum) {
    testing_support::TempDir outside;
    fs::create_directory_symlink(outside.path(), common.path() / "linked");
    fs::create_symlink(outside.path() / "victim", common.path() / "victim.ini");
    WriteAll(FileUpdateDir() / "x.ini", "payload");
    WriteAll(CurrentList(),
             "1;linked/x.ini;0;x.ini;2.0;1;1\r\n"
             "2;victim.ini;0;x.ini;2.0;1;1\r\n"
             "3;../../x.ini;0;x.ini;2.0;1;1\r\n"
             "4;sum.ini;0;x.ini;2.0;1;1;;" +
                 std::string(64, '0') + "\r\n");

    EXPECT_EQ(update::ApplyPendingFiles(folders, *log), 0);
    EXPECT_TRUE(fs::is_empty(outside.path()));
    EXPECT_TRUE(fs::is_symlink(common.path() / "victim.ini"));
    EXPECT_FALSE(fs::exists(common.path() / "sum.ini"));
    EXPECT_FALSE(fs::exists(common.path().parent_path() / "x.ini"));
    for (const FileUpdateRecord& record : ReadList(CurrentList(), *log)) {
        EXPECT_TRUE(record.pending) << record.id;
    }
}

}  // namespace
}  // namespace update_test
