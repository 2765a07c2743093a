#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "platform/store/client_db.h"
#include "store_test_support.h"

namespace store_test {
namespace {

class DurabilityTest : public StoreTest {};

// Reads one id from `fd`; false at end of file.
bool ReadId(int fd, long& id) {
    char* bytes = reinterpret_cast<char*>(&id);
    std::size_t got = 0;
    while (got < sizeof id) {
        ssize_t n = read(fd, bytes + got, sizeof id - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

TEST_F(DurabilityTest, EveryMessageReportedStoredSurvivesAKillMidWrite) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const std::string folder = Folder();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The writer: stores messages without end, reporting each stored id.
        close(pipeFds[0]);
        CClientDB db("alice", folder.c_str());
        std::string contents = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)" + std::string(200, 'm');
        for (;;) {
            long id = 0;
            if (!db.AddMsg("bob@h", "me@h", "2026-01-05 09:00:00", contents.c_str(), "", "", "", 0,
                           false, "", "", 1, &id)) {
                _exit(3);
            }
            if (write(pipeFds[1], &id, sizeof id) != static_cast<ssize_t>(sizeof id)) _exit(4);
        }
    }
    close(pipeFds[1]);
    std::set<long> reported;
    long id = 0;
    while (reported.size() < 150 && ReadId(pipeFds[0], id)) reported.insert(id);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    while (ReadId(pipeFds[0], id)) reported.insert(id);  // what it reported before dying
    close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status))
        << "the writer stopped on its own with " << WEXITSTATUS(status);
    ASSERT_GE(reported.size(), 150u);

    {
        RawDatabase raw(DatabaseFile());
        EXPECT_EQ(raw.Text("PRAGMA integrity_check"), "ok");
    }
    CClientDB db("alice", Folder().c_str());
    std::set<long> stored;
    ASSERT_TRUE(db.GetMsg(
        [&](const MsgFields& fields) {
            if (!IsMsgEndMark(fields)) stored.insert(std::stol(fields[msg_field::kId]));
        },
        -1))
        << db.GetErrorInfo();
    for (long reportedId : reported)
        EXPECT_TRUE(stored.count(reportedId)) << "lost id " << reportedId;
    EXPECT_TRUE(Add(db, "bob@h", "me@h", "after the crash") > *stored.rbegin());
}

}  // namespace
}  // namespace store_test
