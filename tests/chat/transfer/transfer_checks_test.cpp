#include "chat/transfer/transfer_checks.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "chat/transfer/transfer_list.h"
#include "config/client_config.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

// A file of `size` bytes that takes no room (a hole).
std::string Sized(const testing_support::TempDir& temp, const std::string& name,
                  std::int64_t size) {
    const fs::path path = temp.path() / name;
    testing_support::Put(path, "");
    fs::resize_file(path, static_cast<std::uintmax_t>(size));
    return path.string();
}

TEST(TransferChecksTest, WindowChecksRunInOrder) {
    config::ClientConfig config;
    config.SelfRoomTitle = "群";
    struct Case {
        const char* what;
        chat::TransferWindowFacts facts;
        int offlineRoute;
        std::optional<std::string> refusal;
    };
    const Case cases[] = {
        {"may send", {}, 0, std::nullopt},
        {"send disabled", {.sendEnabled = false, .participants = 3}, 0, ""},
        {"several participants", {.participants = 2, .toSelf = true}, 0, "群状态下不能发送文件"},
        {"to oneself", {.toSelf = true, .peerOnline = false}, 0, "您不能给自己发送文件"},
        {"peer offline",
         {.peerOnline = false, .audioChat = true},
         0,
         "对方不在线，不能接收文件传输请求"},
        {"peer offline with the offline route", {.peerOnline = false}, 1, std::nullopt},
        {"video chat", {.videoChat = true, .running = 4}, 0, "在音视频聊天模式中，不能传输文件!"},
        {"fifth transfer", {.running = 4}, 0, "同一对话中文件传输总数不能超过 4 个"},
        {"fourth transfer", {.running = 3}, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        config.EnableOfflineFileTrans = c.offlineRoute;
        EXPECT_EQ(chat::CheckWindowForFile(c.facts, config), c.refusal);
    }
}

TEST(TransferChecksTest, FileChecksRefuseWithTheirMessages) {
    testing_support::TempDir temp;
    const std::string small = Sized(temp, "ok.bin", 10);
    const std::string empty = Sized(temp, "empty.bin", 0);
    const std::string huge = Sized(temp, "huge.bin", 3ll << 30);
    const std::string largest = Sized(temp, "largest.bin", (1ll << 31) - 1);
    const std::string twoGb = Sized(temp, "two.bin", 1ll << 31);
    const std::string equals = Sized(temp, "=x.bin", 5);
    const std::string amp = Sized(temp, "a&b.bin", 5);
    // Paths of exactly 128 and 129 bytes.
    const std::string prefix = temp.path().string() + "/";
    const std::string at128 = Sized(temp, std::string(128 - prefix.size(), 'p'), 5);
    const std::string at129 = Sized(temp, std::string(129 - prefix.size(), 'q'), 5);
    ASSERT_EQ(at128.size(), 128u);

    struct Case {
        std::string path;
        std::optional<std::string> refusal;
        std::uint64_t size;
    };
    const Case cases[] = {
        {small, std::nullopt, 10},
        {largest, std::nullopt, (1ull << 31) - 1},
        {at128, std::nullopt, 5},
        {at129, "文件名\"" + at129 + "\" 过长，不能被传输,建议把文件名改短。", 0},
        {empty, empty + " 文件尺寸为0或者大于2G,不能被传输", 0},
        {huge, huge + " 文件尺寸为0或者大于2G,不能被传输", 0},
        {twoGb, twoGb + " 文件尺寸为0或者大于2G,不能被传输", 0},
        {equals, "文件名或路径包含非法字符 " + equals + ",不能被传输", 0},
        {amp, "文件名或路径包含非法字符 " + amp + ",不能被传输", 0},
        {prefix + "missing.bin", prefix + "missing.bin  正被其他程序占用, 不能被传输", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const chat::FileCheck check = chat::CheckFileToSend(c.path);
        EXPECT_EQ(check.refusal, c.refusal);
        EXPECT_EQ(check.size, c.size);
    }

    // Held by another program for writing (an exclusive lock): in use.
    const int holder = ::open(small.c_str(), O_RDWR);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    EXPECT_EQ(chat::CheckFileToSend(small).refusal, small + "  正被其他程序占用, 不能被传输");
    ::close(holder);
}

TEST(TransferListTest, KeysAreUuidsWithoutDashesAndRecordsAreFoundByKeyOrPath) {
    const std::string a = chat::NewTransferKey();
    const std::string b = chat::NewTransferKey();
    EXPECT_EQ(a.size(), 32u);
    EXPECT_EQ(a.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(a[12], '4') << "version 4";
    EXPECT_NE(a, b);

    chat::TransferList list;
    chat::TransferRecord record{.key = a, .fileName = "x", .path = "/tmp/x", .window = os::HWND(7)};
    EXPECT_TRUE(list.Add(record));
    EXPECT_FALSE(list.Add(record)) << "one record per key";
    EXPECT_TRUE(list.HasPath("/tmp/x"));
    EXPECT_EQ(list.CountOfWindow(os::HWND(7)), 1);
    EXPECT_TRUE(list.Update(a, [](chat::TransferRecord& r) { r.progress.done = 5; }));
    EXPECT_EQ(list.Find(a)->progress.done, 5u);
    EXPECT_TRUE(list.Remove(a));
    EXPECT_FALSE(list.Find(a).has_value());
    EXPECT_EQ(list.CountOfWindow(os::HWND(7)), 0);
}

}  // namespace
