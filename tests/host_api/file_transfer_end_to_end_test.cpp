// Files between the user's client and a contact's session on one embedded server, driven as a
// person does it: "发送文件" and the file chooser, the prompts' links, the progress panel on
// the manual clock, a cancel from either side, and a received file whose name tried to leave
// its folder.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "chat/transfer/chat_transfers.h"
#include "core/user_folder.h"
#include "platform/session/sim_file_transfers.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace host_api_test {
namespace {

namespace fs = std::filesystem;
namespace nt = platform::notify_type;
using platform::SimFileTransfers;

// A file of `size` bytes that is mostly a hole, with marked bytes spread over it.
void MakeFile(const fs::path& path, std::int64_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    for (std::int64_t at = 0; at < size; at += 777777) {
        const std::string mark = std::to_string(at);
        ASSERT_EQ(::pwrite(fd, mark.data(), mark.size(), at), static_cast<ssize_t>(mark.size()));
    }
    ::close(fd);
}

class FileTransferEndToEndTest : public SubsystemsTest {
  protected:
    // Logged in, Bob online, and the chat with Bob open from the contact tree.
    void OpenChatWithBob() {
        ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
        remote = Remote("bob");
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));
        BobFileEvents();
        ASSERT_TRUE(driver.ExpandTreeItem(manager->MainPanel().value(), 5001, groupNode));
        ASSERT_TRUE(driver.SelectTreeItem(manager->MainPanel().value(), 5001,
                                          tree->FindUserNode(groupNode, bob)));
        manager->CallUserChat();
        chat = dynamic_cast<CDlgChat*>(manager->FindChatWindow(bob, platform::JidMatch::Loose));
        ASSERT_NE(chat, nullptr);
        window = chat->hwnd().value();
        fs::create_directory(files.path() / "bob");
    }

    // The file records Bob's session got since the last call.
    std::vector<std::pair<std::uint32_t, platform::FileTransferData>> BobFileEvents() {
        std::vector<std::pair<std::uint32_t, platform::FileTransferData>> events;
        while (platform::NotifyRecord* record = remote->GetNotify()) {
            if (const auto* data = record->As<platform::FileTransferData>()) {
                events.emplace_back(record->type, *data);
            }
            remote->FreeNotify(record);
        }
        return events;
    }

    std::string View() {
        const auto text = driver.ReadRichText(window, chat::control::kView);
        return text ? text->plainText : std::string();
    }
    ::testing::AssertionResult ViewShows(const std::string& part) {
        if (PumpUntil(world.windows(), [&] { return View().find(part) != std::string::npos; })) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "the view never showed " << testing_support::DisplayGbk(part) << " in "
               << testing_support::DisplayGbk(View());
    }

    // Chooses `path` in the file chooser of "发送文件" and waits for Bob's offer; its key.
    std::string SendToBob(const fs::path& path) {
        world.prompter().AnswerOpenFile(path.string());
        EXPECT_TRUE(driver.Click(window, chat::control::kSendFile)) << driver.LastError();
        EXPECT_TRUE(ViewShows("等待对方回应文件传输请求( 文件:" + path.filename().string()));
        for (const auto& [type, data] : BobFileEvents()) {
            if (type == nt::kFileOffer) return data.key;
        }
        ADD_FAILURE() << "Bob was offered nothing";
        return {};
    }

    // Advances the clock one chunk interval at a time, `chunks` times.
    void MoveChunks(int chunks) {
        for (int i = 0; i < chunks; ++i) {
            ASSERT_TRUE(driver.AdvanceClock(SimFileTransfers::kChunkIntervalMs));
            driver.Pump();
        }
    }

    std::vector<std::string> Entries(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    qorvdesk::automation::Driver driver{world.windows(), &world.prompter()};
    testing_support::TempDir files;
    CDlgChat* chat = nullptr;
    qorvdesk::automation::WindowHandle window{};
};

TEST_F(FileTransferEndToEndTest, AFiftyMegabyteFileGoesWithProgressAndCancelledOnesLeaveNothing) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
    const fs::path big = files.path() / "big.bin";
    const std::int64_t size = 50 * 1048576;
    ASSERT_NO_FATAL_FAILURE(MakeFile(big, size));

    const std::string key = SendToBob(big);
    ASSERT_EQ(key.size(), 32u);
    EXPECT_EQ(key.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    const fs::path received = files.path() / "bob" / "big.bin";
    ASSERT_EQ(remote->RecvFile(received.string(), key), 1);
    ASSERT_TRUE(ViewShows("开始发送文件 big.bin ..."));
    EXPECT_EQ(View().find("等待对方回应"), std::string::npos) << "the prompt line was replaced";

    // 30 of 50 chunks: 60 %.
    ASSERT_NO_FATAL_FAILURE(MoveChunks(30));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        const auto panel = chat->transfers().Panel();
        return panel.size() == 1 && panel[0].percent == "60%";
    }));
    const chat::TransferPanelLine line = chat->transfers().Panel().at(0);
    EXPECT_GBK_EQ(line.size, "大小:30.00/50.00 MB");
    EXPECT_GBK_EQ(line.speed, "速度:10 MB/秒");
    EXPECT_FALSE(fs::exists(received)) << "no partial file under the final name";

    ASSERT_NO_FATAL_FAILURE(MoveChunks(20));
    ASSERT_TRUE(ViewShows("文件 big.bin 发送成功"));
    EXPECT_TRUE(chat->transfers().Panel().empty());
    ASSERT_EQ(fs::file_size(received), static_cast<std::uintmax_t>(size));
    EXPECT_TRUE(testing_support::Slurp(received) == testing_support::Slurp(big));

    // Bob cancels a file half way: the user is told, and Bob's folder keeps no part of it.
    const fs::path second = files.path() / "second.bin";
    ASSERT_NO_FATAL_FAILURE(MakeFile(second, 5 * 1048576));
    const std::string secondKey = SendToBob(second);
    ASSERT_EQ(remote->RecvFile((files.path() / "bob" / "second.bin").string(), secondKey), 1);
    ASSERT_TRUE(ViewShows("开始发送文件 second.bin ..."));
    ASSERT_NO_FATAL_FAILURE(MoveChunks(2));
    // No new data for 30 s: one stall notice, at 15 s.
    world.server().StallFileTransfers(true);
    const std::string stall = "可能由于网络问题，文件 《second.bin》 已经有一段时间未获得新数据";
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(driver.AdvanceClock(chat::kStallCheckMs));
        driver.Pump();
    }
    ASSERT_TRUE(ViewShows(stall));
    const std::string shown = View();
    EXPECT_EQ(shown.find(stall), shown.rfind(stall)) << "the notice is shown once";
    world.server().StallFileTransfers(false);
    ASSERT_EQ(remote->CancelFile(secondKey), 1);
    ASSERT_TRUE(ViewShows("对方取消了文件 second.bin 传输"));
    EXPECT_EQ(Entries(files.path() / "bob"), (std::vector<std::string>{"big.bin"}));

    // The user cancels a waiting offer through its "取消" link: Bob hears of it.
    BobFileEvents();
    const std::string thirdKey = SendToBob(second);
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "取消")) << driver.LastError();
    ASSERT_TRUE(ViewShows("您取消了文件传输"));
    const auto events = BobFileEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].first, nt::kFileTransferCancelled);
    EXPECT_EQ(events[0].second.key, thirdKey);
    EXPECT_EQ(chat->transfers().Count(), 0);
}

TEST_F(FileTransferEndToEndTest, AReceivedNameThatLeavesItsFolderLandsInsideItUnderItsLeaf) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
    // A name a Windows peer may send for its file.
    const fs::path sent = files.path() / "evil.txt";
    testing_support::Put(sent, "from bob");
    ASSERT_EQ(world.server().OfferFileNamed(*remote, me, sent.string(),
                                            "0123456789ABCDEF0123456789ABCDEF", "..\\..\\evil.txt"),
              1);
    ASSERT_TRUE(ViewShows("要发送文件 evil.txt(8 字节)给您, 您可以接收、另存、拒绝该文件"));

    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "接收")) << driver.LastError();
    ASSERT_TRUE(ViewShows("开始接收文件 evil.txt ..."));
    ASSERT_NO_FATAL_FAILURE(MoveChunks(1));
    ASSERT_TRUE(ViewShows("接收文件 evil.txt 成功"));

    const std::string account = world.simSession().GetCurrentUserLimitName();
    const fs::path folder =
        fs::path(core::UserFolder(commonDir.str(), account).value_or("")) / "File";
    EXPECT_EQ(testing_support::Slurp(folder / "evil.txt"), "from bob");
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"evil.txt"}));
}

// Bob's file cut by the network after 3 of its 5 chunks, as the user's folder has it then.
class ResumedFileTest : public FileTransferEndToEndTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
        sent = files.path() / "part.bin";
        ASSERT_NO_FATAL_FAILURE(MakeFile(sent, 5 * 1048576));
        const std::string account = world.simSession().GetCurrentUserLimitName();
        folder = fs::path(core::UserFolder(commonDir.str(), account).value_or("")) / "File";
        received = folder / "part.bin";

        ASSERT_EQ(remote->SendFile(me, sent.string(), "00000000000000000000000000000001", 0), 1);
        ASSERT_TRUE(ViewShows("要发送文件 part.bin(5120 KB)给您, 您可以接收、另存、拒绝该文件"));
        ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "接收")) << driver.LastError();
        ASSERT_TRUE(ViewShows("开始接收文件 part.bin ..."));
        ASSERT_NO_FATAL_FAILURE(MoveChunks(3));
        world.server().CutFileTransfers();
        ASSERT_TRUE(ViewShows("由于网络原因,接收文件part.bin失败"));
        EXPECT_EQ(chat->transfers().Count(), 0);
        // The part waits under a temporary name of its own, never the file's.
        const std::vector<std::string> entries = Entries(folder);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_NE(entries[0], "part.bin");
        EXPECT_EQ(fs::file_size(folder / entries[0]), 3u * 1048576);
    }

    // Bob offers the same file again; the offer says how much arrived.
    void OfferAgain(const char* key) {
        ASSERT_EQ(remote->SendFile(me, sent.string(), key, 0), 1);
        ASSERT_TRUE(
            ViewShows("要发送文件 part.bin(5120 KB/已接收60%)给您, 您可以续传、另存、拒绝该文件"));
    }

    int TimesShown(const std::string& part) {
        const std::string view = View();
        int count = 0;
        for (std::size_t at = view.find(part); at != std::string::npos;
             at = view.find(part, at + part.size())) {
            ++count;
        }
        return count;
    }

    fs::path sent;
    fs::path folder;
    fs::path received;
};

TEST_F(ResumedFileTest, APartlyReceivedFileGoesOnFromWhereItWasCutAndEqualsTheSentOne) {
    ASSERT_NO_FATAL_FAILURE(OfferAgain("00000000000000000000000000000002"));
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "续传")) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return TimesShown("开始接收文件 part.bin ...") == 2 &&
               world.simSession().QueuedCount() == 0 && world.simSession().IssuedCount() == 0;
    }));
    // It starts at the 60 % that arrived, and two chunks end it.
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        const auto panel = chat->transfers().Panel();
        return panel.size() == 1 && panel[0].percent == "60%";
    }));
    ASSERT_NO_FATAL_FAILURE(MoveChunks(1));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        const auto panel = chat->transfers().Panel();
        return panel.size() == 1 && panel[0].percent == "80%";
    }));
    EXPECT_GBK_EQ(chat->transfers().Panel().at(0).speed, "速度:10 MB/秒")
        << "the bytes of before are no part of the speed";
    EXPECT_FALSE(fs::exists(received));
    ASSERT_NO_FATAL_FAILURE(MoveChunks(1));
    ASSERT_TRUE(ViewShows("接收文件 part.bin 成功"));
    EXPECT_TRUE(testing_support::Slurp(received) == testing_support::Slurp(sent));
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"part.bin"}));
    EXPECT_EQ(TimesShown("开始接收文件 part.bin ..."), 2) << "one start line for each start";
}

TEST_F(ResumedFileTest, RefusingTheResumedOfferRemovesThePart) {
    ASSERT_NO_FATAL_FAILURE(OfferAgain("00000000000000000000000000000002"));
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "拒绝")) << driver.LastError();
    ASSERT_TRUE(ViewShows("您拒绝了文件传输"));
    EXPECT_TRUE(Entries(folder).empty());
    // Offered once more, the file starts from nothing.
    ASSERT_EQ(remote->SendFile(me, sent.string(), "00000000000000000000000000000003", 0), 1);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        // The first offer's line became its start line; this one is new.
        return TimesShown("要发送文件 part.bin(5120 KB)给您, 您可以接收、另存、拒绝该文件") == 1;
    }));
}

TEST_F(ResumedFileTest, CancelledOrSavedElsewhereTheFileLeavesNoPart) {
    // Bob cancels the resumed file: its part goes, and the next offer starts from nothing.
    ASSERT_NO_FATAL_FAILURE(OfferAgain("00000000000000000000000000000002"));
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "续传")) << driver.LastError();
    ASSERT_NO_FATAL_FAILURE(MoveChunks(1));
    ASSERT_EQ(remote->CancelFile("00000000000000000000000000000002"), 1);
    ASSERT_TRUE(ViewShows("对方取消了文件 part.bin 传输"));
    EXPECT_TRUE(Entries(folder).empty());

    // Cut once more at 40 %, then saved elsewhere: it starts again from its first byte there,
    // and the part goes.
    ASSERT_EQ(remote->SendFile(me, sent.string(), "00000000000000000000000000000003", 0), 1);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return TimesShown("要发送文件 part.bin(5120 KB)给您, 您可以接收") == 1;
    }));
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "接收")) << driver.LastError();
    ASSERT_NO_FATAL_FAILURE(MoveChunks(2));
    world.server().CutFileTransfers();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return chat->transfers().Count() == 0; }));
    ASSERT_EQ(remote->SendFile(me, sent.string(), "00000000000000000000000000000004", 0), 1);
    ASSERT_TRUE(ViewShows("要发送文件 part.bin(5120 KB/已接收40%)给您"));
    const fs::path elsewhere = files.path() / "elsewhere.bin";
    world.prompter().AnswerSaveFile(elsewhere.string());
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "另存")) << driver.LastError();
    ASSERT_NO_FATAL_FAILURE(MoveChunks(5));
    ASSERT_TRUE(ViewShows("接收文件 part.bin 成功"));
    EXPECT_TRUE(testing_support::Slurp(elsewhere) == testing_support::Slurp(sent));
    EXPECT_TRUE(Entries(folder).empty());

    // The user closes the window during a file: nothing stays behind. (Saved into the user's
    // folder again: the last folder used is the other one now.)
    ASSERT_EQ(remote->SendFile(me, sent.string(), "00000000000000000000000000000005", 0), 1);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return TimesShown("要发送文件 part.bin(5120 KB)给您, 您可以接收") == 1;
    }));
    world.prompter().AnswerSaveFile(received.string());
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "另存")) << driver.LastError();
    ASSERT_NO_FATAL_FAILURE(MoveChunks(2));
    world.prompter().AnswerMessageBox(os::IDYES);
    ASSERT_TRUE(driver.Close(window)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return manager->FindChatWindow(bob, platform::JidMatch::Loose) == nullptr;
    }));
    chat = nullptr;
    EXPECT_TRUE(Entries(folder).empty());
}

TEST_F(FileTransferEndToEndTest, DroppedFilesAreSentLikeChosenOnesUpToFourAtOnce) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
    std::vector<std::string> paths;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) {
        testing_support::Put(files.path() / name, name);
        paths.push_back((files.path() / name).string());
    }
    // Five at once: refused as a whole.
    ASSERT_TRUE(driver.DropFiles(window, paths)) << driver.LastError();
    ASSERT_TRUE(ViewShows("同一对话中文件传输总数不能超过 4 个"));
    EXPECT_EQ(chat->transfers().Count(), 0);

    // A folder among them is passed over; the files are offered in order.
    const std::vector<std::string> dropped{paths[0], (files.path() / "bob").string(), paths[1]};
    ASSERT_TRUE(driver.DropFiles(window, dropped)) << driver.LastError();
    ASSERT_TRUE(ViewShows("等待对方回应文件传输请求( 文件:b.txt"));
    std::vector<std::string> offered;
    for (const auto& [type, data] : BobFileEvents()) {
        if (type == nt::kFileOffer) offered.push_back(data.fileName);
    }
    EXPECT_EQ(offered, (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(chat->transfers().Count(), 2);

    // The same path again is in the queue already.
    ASSERT_TRUE(driver.DropFiles(window, {paths[0]})) << driver.LastError();
    ASSERT_TRUE(ViewShows("( " + paths[0] + " )已在当前传输队列,不能被传输"));
    EXPECT_EQ(chat->transfers().Count(), 2);
}

}  // namespace
}  // namespace host_api_test
