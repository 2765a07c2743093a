#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "os/sys/event.h"
#include "os/sys/file_ops.h"
#include "platform/session/sim_file_transfers.h"
#include "platform/session/sim_session_core.h"
#include "sim_world.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
namespace nt = platform::notify_type;
using platform::FileStage;
using platform::FileTransferData;
using Files = platform::SimFileTransfers;

// A logged-in session that keeps the file records it is sent.
struct FileSession {
    explicit FileSession(sim_testing::SimWorld& world)
        : lost(world.clock(), os::EventReset::Auto),
          notify(world.clock(), os::EventReset::Auto),
          core(world.serverPtr()) {
        core.Init(&lost, &notify, std::this_thread::get_id());
    }

    // The file records delivered since the last call, as "type:transferred".
    std::vector<std::string> Events() {
        std::vector<std::string> events;
        while (platform::NotifyRecord* record = core.GetNotify()) {
            if (const auto* data = record->As<FileTransferData>()) {
                last = *data;
                std::string event =
                    std::to_string(record->type) + ":" + std::to_string(data->transferred);
                if (data->stage == FileStage::Negotiated) event = "negotiated";
                if (data->stage == FileStage::NegotiationFailed) event = "unreached";
                events.push_back(event);
            }
            core.FreeNotify(record);
        }
        return events;
    }

    os::Event lost;
    os::Event notify;
    platform::SimSessionCore core;
    FileTransferData last;
};

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class SimFileTransferTest : public ::testing::Test {
  protected:
    SimFileTransferTest() {
        aliceJid = world.server().AddAccount({.loginName = "alice", .password = "pw"});
        bobJid = world.server().AddAccount({.loginName = "bob", .password = "pw"});
        fs::create_directory(temp.path() / "out");
        fs::create_directory(temp.path() / "in");
        // Two and a half chunks of bytes that differ from place to place.
        std::string bytes(Files::kChunkBytes * 5 / 2, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 % 251);
        source = temp.str() + "out/报告.bin";
        EXPECT_TRUE(os::WriteFileAtomically(source, bytes));
        content = bytes;
        EXPECT_EQ(alice.core.Login("alice", "pw", 1, "", 0), platform::kLoginAccepted);
        EXPECT_EQ(bob.core.Login("bob", "pw", 1, "", 0), platform::kLoginAccepted);
        alice.Events();
        bob.Events();
    }

    // Alice offers the file to Bob and Bob accepts it into "in/".
    void StartTransfer() {
        ASSERT_EQ(alice.core.SendFile(bobJid, source, "k1", 0), 1);
        EXPECT_EQ(alice.Events(), (std::vector<std::string>{"negotiated"}));
        EXPECT_EQ(bob.Events(), (std::vector<std::string>{"32:0"}));
        EXPECT_GBK_EQ(bob.last.fileName, "报告.bin");
        EXPECT_EQ(bob.last.size, static_cast<std::int64_t>(content.size()));
        EXPECT_EQ(bob.last.peerJid, aliceJid);
        ASSERT_EQ(bob.core.RecvFile(temp.str() + "in/报告.bin", "k1"), 1);
        EXPECT_EQ(alice.Events(), (std::vector<std::string>{"26:0"}));
        EXPECT_EQ(bob.Events(), (std::vector<std::string>{"26:0"}));
    }

    sim_testing::SimWorld world;
    testing_support::TempDir temp;
    std::string aliceJid, bobJid, source, content;
    FileSession alice{world};
    FileSession bob{world};
};

TEST_F(SimFileTransferTest, BytesMoveInChunksOnTheClockAndTakeTheirNameWhenComplete) {
    ASSERT_NO_FATAL_FAILURE(StartTransfer());
    const std::string chunk = std::to_string(Files::kChunkBytes);
    world.manualClock().Advance(Files::kChunkIntervalMs - 1);
    EXPECT_TRUE(bob.Events().empty());
    world.manualClock().Advance(1);
    EXPECT_EQ(bob.Events(), (std::vector<std::string>{"27:" + chunk}));
    EXPECT_EQ(alice.Events(), (std::vector<std::string>{"27:" + chunk}));
    EXPECT_FALSE(fs::exists(temp.path() / "in" / u8"报告.bin")) << "no partial file";

    world.manualClock().Advance(2 * Files::kChunkIntervalMs);
    const std::string all = std::to_string(content.size());
    const std::vector<std::string> end{"27:" + std::to_string(2 * Files::kChunkBytes), "27:" + all,
                                       "30:" + all};
    EXPECT_EQ(bob.Events(), end);
    EXPECT_EQ(alice.Events(), end);
    EXPECT_EQ(testing_support::Slurp(temp.path() / "in" / u8"报告.bin"), content);
    EXPECT_EQ(FolderEntries(temp.path() / "in"),
              (std::vector<std::string>{testing_support::U8(u8"报告.bin")}));
}

TEST_F(SimFileTransferTest, EitherSideCancelsAndNoFileIsLeft) {
    for (const bool senderCancels : {true, false}) {
        SCOPED_TRACE(senderCancels ? "sender cancels" : "receiver cancels");
        ASSERT_NO_FATAL_FAILURE(StartTransfer());
        world.manualClock().Advance(Files::kChunkIntervalMs);
        alice.Events();
        bob.Events();
        FileSession& canceller = senderCancels ? alice : bob;
        FileSession& other = senderCancels ? bob : alice;
        EXPECT_EQ(canceller.core.CancelFile("k1"), 1);
        EXPECT_EQ(other.Events(),
                  (std::vector<std::string>{"29:" + std::to_string(Files::kChunkBytes)}));
        EXPECT_TRUE(canceller.Events().empty());
        world.manualClock().Advance(10 * Files::kChunkIntervalMs);
        EXPECT_TRUE(other.Events().empty()) << "nothing moves after a cancel";
        EXPECT_TRUE(FolderEntries(temp.path() / "in").empty());
    }
}

TEST_F(SimFileTransferTest, RefusalUnreachedPeerAndALeavingSession) {
    ASSERT_EQ(alice.core.SendFile(bobJid, source, "k1", 0), 1);
    alice.Events();
    bob.Events();
    EXPECT_EQ(alice.core.DenyFile("k1"), 0) << "only the receiver refuses";
    EXPECT_EQ(bob.core.DenyFile("k1"), 1);
    EXPECT_EQ(alice.Events(), (std::vector<std::string>{"28:0"}));
    EXPECT_EQ(bob.core.RecvFile(temp.str() + "in/x.bin", "k1"), 0) << "the offer is gone";

    EXPECT_EQ(alice.core.SendFile(bobJid, temp.str() + "out/missing.bin", "k2", 0),
              platform::kSendFileFailed);

    ASSERT_NO_FATAL_FAILURE(StartTransfer());
    bob.core.Logout();
    EXPECT_EQ(alice.Events(), (std::vector<std::string>{"29:0"}));
    EXPECT_TRUE(FolderEntries(temp.path() / "in").empty());
    ASSERT_EQ(alice.core.SendFile(bobJid, source, "k3", 0), 1);
    EXPECT_EQ(alice.Events(), (std::vector<std::string>{"unreached"}));
}

TEST_F(SimFileTransferTest, AFileCutByTheNetworkGoesOnWhenOfferedAgain) {
    ASSERT_NO_FATAL_FAILURE(StartTransfer());
    world.manualClock().Advance(Files::kChunkIntervalMs);
    world.server().CutFileTransfers();
    const std::string chunk = std::to_string(Files::kChunkBytes);
    EXPECT_EQ(bob.Events(), (std::vector<std::string>{"27:" + chunk, "31:" + chunk}));
    EXPECT_EQ(bob.last.reason, platform::kFileFailureNetwork);
    // The part waits under a name of its own.
    ASSERT_EQ(FolderEntries(temp.path() / "in").size(), 1u);
    EXPECT_FALSE(fs::exists(temp.path() / "in" / u8"报告.bin"));

    // Another file, or the file to someone else, is no continuation.
    const std::string other = temp.str() + "out/other.bin";
    ASSERT_TRUE(os::WriteFileAtomically(other, content));
    alice.Events();
    ASSERT_EQ(alice.core.SendFile(bobJid, other, "k2", 0), 1);
    EXPECT_EQ(bob.Events(), (std::vector<std::string>{"32:0"}));
    ASSERT_EQ(bob.core.DenyFile("k2"), 1);

    // The same file again: the offer says what arrived, and it goes on from there.
    ASSERT_EQ(alice.core.SendFile(bobJid, source, "k3", 0), 1);
    EXPECT_EQ(bob.Events(), (std::vector<std::string>{"32:" + chunk}));
    alice.Events();
    ASSERT_EQ(bob.core.RecvFile(temp.str() + "in/报告.bin", "k3"), 1);
    EXPECT_EQ(bob.Events(), (std::vector<std::string>{"26:" + chunk}));
    world.manualClock().Advance(2 * Files::kChunkIntervalMs);
    const std::string all = std::to_string(content.size());
    EXPECT_EQ(bob.Events(),
              (std::vector<std::string>{"27:" + std::to_string(2 * Files::kChunkBytes), "27:" + all,
                                        "30:" + all}));
    EXPECT_EQ(testing_support::Slurp(temp.path() / "in" / u8"报告.bin"), content);
    EXPECT_EQ(FolderEntries(temp.path() / "in"),
              (std::vector<std::string>{testing_support::U8(u8"报告.bin")}));
}

TEST_F(SimFileTransferTest, KeptPartsAreBoundedAndARefusedResumeRemovesItsPart) {
    // More cut files than the server keeps: the oldest parts go.
    for (std::size_t i = 0; i <= Files::kMaxPartials; ++i) {
        const std::string key = "c" + std::to_string(i);
        const std::string path = temp.str() + "out/f" + std::to_string(i) + ".bin";
        ASSERT_TRUE(os::WriteFileAtomically(path, content));
        ASSERT_EQ(alice.core.SendFile(bobJid, path, key, 0), 1);
        ASSERT_EQ(bob.core.RecvFile(temp.str() + "in/f" + std::to_string(i) + ".bin", key), 1);
        world.manualClock().Advance(Files::kChunkIntervalMs);
        world.server().CutFileTransfers();
    }
    EXPECT_EQ(FolderEntries(temp.path() / "in").size(), Files::kMaxPartials);
    alice.Events();
    bob.Events();
    ASSERT_EQ(alice.core.SendFile(bobJid, temp.str() + "out/f0.bin", "r0", 0), 1);
    EXPECT_EQ(bob.Events(), (std::vector<std::string>{"32:0"})) << "the oldest part went";
    ASSERT_EQ(alice.core.SendFile(bobJid, temp.str() + "out/f1.bin", "r1", 0), 1);
    EXPECT_EQ(bob.Events(), (std::vector<std::string>{"32:" + std::to_string(Files::kChunkBytes)}));
    ASSERT_EQ(bob.core.DenyFile("r1"), 1);
    EXPECT_EQ(FolderEntries(temp.path() / "in").size(), Files::kMaxPartials - 1);
}

}  // namespace

namespace {

TEST_F(SimFileTransferTest, TheSenderSwitchesAnOfferNotYetStartedToTheOfflineRoute) {
    ASSERT_EQ(alice.core.SendFile(bobJid, source, "k2", 0), 1);
    alice.Events();
    bob.Events();
    EXPECT_EQ(bob.core.UseOfflineFileTrans("k2"), 0) << "only the sender switches";
    ASSERT_EQ(alice.core.UseOfflineFileTrans("k2"), 1);
    EXPECT_EQ(bob.Events(), (std::vector<std::string>{"104:0"}));
    EXPECT_EQ(bob.last.key, "k2");
    EXPECT_GBK_EQ(bob.last.fileName, "报告.bin");
    EXPECT_TRUE(alice.Events().empty());
    EXPECT_EQ(bob.core.RecvFile(temp.str() + "in/报告.bin", "k2"), 0) << "the offer is over";

    // A started file goes on online.
    ASSERT_NO_FATAL_FAILURE(StartTransfer());
    EXPECT_EQ(alice.core.UseOfflineFileTrans("k1"), 0);
    EXPECT_TRUE(bob.Events().empty());
}

}  // namespace
