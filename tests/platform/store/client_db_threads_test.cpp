#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/store/client_db.h"
#include "store_test_support.h"
#include "support/wait_for.h"

namespace store_test {
namespace {

class ThreadsTest : public StoreTest {};

// The notification thread and the UI thread store at the same time while a third reads and a
// fourth closes the cache now and then: every message is stored once, no thread fails. Each
// round starts on a new database, so connections open while others close and checkpoint the
// log (the moment a journal-mode switch used to fail at once with "locked").
TEST_F(ThreadsTest, ConcurrentWritersReadersAndCloseAll) {
    constexpr int kRounds = 4;
    constexpr int kPerWriter = 60;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string folder = dir_.str() + "round" + std::to_string(round) + "/";
        std::atomic<bool> writing{true};

        auto writer = [&](const char* sender) {
            for (int i = 0; i < kPerWriter; ++i) {
                CClientDB db("alice", folder.c_str());
                std::string text = std::string(sender) + std::to_string(i);
                EXPECT_TRUE(db.AddMsg(sender, "me@h", "2026-01-05 09:00:00", text.c_str(), "", "",
                                      "", 0, false, "", "", 1, nullptr))
                    << db.GetErrorInfo();
            }
        };
        auto reader = [&] {
            while (writing.load()) {
                CClientDB db("alice", folder.c_str());
                long previous = 0;
                bool ordered = true;
                EXPECT_TRUE(db.GetMsg(
                    [&](const MsgFields& fields) {
                        if (IsMsgEndMark(fields)) return;
                        long id = std::stol(fields[msg_field::kId]);
                        if (id <= previous) ordered = false;  // store order holds in every snapshot
                        previous = id;
                    },
                    -1))
                    << db.GetErrorInfo();
                EXPECT_TRUE(ordered);
            }
        };
        auto closer = [&] {
            EXPECT_TRUE(testing_support::WaitFor(
                [&] {
                    if (!writing.load()) return true;
                    CClientDB::CloseAll();
                    return false;
                },
                "the writers to finish"));
        };

        std::thread readerThread(reader);
        std::thread closerThread(closer);
        std::thread first(writer, "ui@h");
        std::thread second(writer, "notify@h");
        first.join();
        second.join();
        writing = false;
        readerThread.join();
        closerThread.join();

        CClientDB db("alice", folder.c_str());
        std::set<std::string> contents;
        int records = 0;
        ASSERT_TRUE(db.GetMsg(
            [&](const MsgFields& fields) {
                if (IsMsgEndMark(fields)) return;
                ++records;
                contents.insert(fields[msg_field::kContents]);
            },
            -1));
        EXPECT_EQ(records, 2 * kPerWriter);
        EXPECT_EQ(contents.size(), static_cast<std::size_t>(2 * kPerWriter));
        EXPECT_TRUE(contents.count("ui@h0") && contents.count("notify@h59"));
    }
}

TEST_F(ThreadsTest, DifferentUsersDatabasesAreIndependent) {
    const std::string alice = dir_.str() + "alice/";
    const std::string bob = dir_.str() + "bob/";
    auto store = [](const std::string& folder, const char* text) {
        for (int i = 0; i < 20; ++i) {
            CClientDB db("x", folder.c_str());
            EXPECT_TRUE(
                db.AddMsg("a@h", "b@h", "t", text, "", "", "", 0, false, "", "", 1, nullptr))
                << db.GetErrorInfo();
        }
    };
    std::thread first(store, alice, "for alice");
    std::thread second(store, bob, "for bob");
    first.join();
    second.join();
    for (const auto& [folder, text] : {std::pair{alice, "for alice"}, std::pair{bob, "for bob"}}) {
        CClientDB db("x", folder.c_str());
        Delivery got = Collect([&](const MsgCallback& cb) { return db.GetMsg(cb, -1); });
        EXPECT_EQ(got.records.size(), 20u);
        for (const std::string& contents : got.Contents()) EXPECT_EQ(contents, text);
    }
}

}  // namespace
}  // namespace store_test
