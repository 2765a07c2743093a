// A start killed (SIGKILL) while it puts pending files in place leaves every file either
// old or new, and the list readable; the next start finishes the job. The child applies the
// updates and reports each step through a pipe; the parent kills it at a chosen step (held
// there) or just after one (left running), a hundred times.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "support/child_process.h"
#include "update/file_update_list.h"
#include "update/file_updates.h"
#include "update_fixture.h"

namespace update_test {
namespace {

namespace fs = std::filesystem;

constexpr char kDirVar[] = "QORV_UPDATE_CHILD_DIR";
constexpr char kStepVar[] = "QORV_UPDATE_CHILD_STEP";
constexpr char kHoldVar[] = "QORV_UPDATE_CHILD_HOLD";
constexpr int kFiles = 3;
// Per file "copy", "written", "replaced"; then "list".
constexpr int kSteps = kFiles * 3 + 1;

std::string OldBytes(int i) { return "old contents of file " + std::to_string(i); }
std::string NewBytes(int i) { return std::string(20000 + i, static_cast<char>('a' + i)); }

update::UpdateFolders FoldersIn(const fs::path& root) {
    return update::UpdateFolders{root.string() + "/common/", root.string() + "/app/", std::nullopt};
}

void Prepare(const fs::path& root) {
    const update::UpdateFolders folders = FoldersIn(root);
    std::string list;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "f" + std::to_string(i) + ".ini";
        WriteAll(fs::path(folders.commonDir) / "dir" / name, OldBytes(i));
        WriteAll(fs::path(update::FileUpdateFolder(folders)) / name, NewBytes(i));
        list += std::to_string(i) + ";dir/" + name + ";0;" + name + ";2.0;1;1\r\n";
    }
    WriteAll(fs::path(update::FileUpdateFolder(folders)) / update::kCurrentListFile, list);
}

// Each target holds its old bytes or its new ones, nothing else lies beside them, and the
// list still has every record.
void ExpectWhole(const fs::path& root, bool allNew) {
    const update::UpdateFolders folders = FoldersIn(root);
    for (int i = 0; i < kFiles; ++i) {
        SCOPED_TRACE(i);
        const std::string bytes =
            ReadAll(fs::path(folders.commonDir) / "dir" / ("f" + std::to_string(i) + ".ini"));
        if (allNew)
            EXPECT_EQ(bytes, NewBytes(i));
        else
            EXPECT_TRUE(bytes == OldBytes(i) || bytes == NewBytes(i)) << bytes.size();
    }
    os::ManualClock clock;
    auto log = os::Log::Capturing(clock);
    const std::string list =
        ReadAll(fs::path(update::FileUpdateFolder(folders)) / update::kCurrentListFile);
    EXPECT_EQ(update::ParseUpdateList(list, *log).size(), static_cast<std::size_t>(kFiles));
}

// Run only by the parent below, in a process of its own.
TEST(UpdateApplyChild, AppliesUntilKilled) {
    const char* dir = std::getenv(kDirVar);
    if (dir == nullptr) GTEST_SKIP() << "run by UpdateApplyInterrupted only";
    const int stopAt = std::atoi(std::getenv(kStepVar));
    const bool hold = std::getenv(kHoldVar) != nullptr;
    int steps = 0;
    os::ManualClock clock;
    auto log = os::Log::Capturing(clock);
    update::ApplyPendingFiles(FoldersIn(dir), *log, [&](std::string_view) {
        if (++steps != stopAt) return;
        testing_support::ReportReadyToParent();
        if (hold) testing_support::WaitUntilParentCloses();
    });
}

TEST(UpdateApplyInterrupted, AKillAtAnyStepLeavesEveryFileOldOrNew) {
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> step(1, kSteps);
    for (int run = 0; run < 100; ++run) {
        SCOPED_TRACE(run);
        testing_support::TempDir root;
        Prepare(root.path());
        const int stopAt = step(random);
        const bool hold = run % 2 == 0;
        std::vector<std::string> environment{std::string(kDirVar) + "=" + root.path().string(),
                                             std::string(kStepVar) + "=" + std::to_string(stopAt)};
        if (hold) environment.push_back(std::string(kHoldVar) + "=1");
        testing_support::ChildProcess child("UpdateApplyChild.AppliesUntilKilled", environment);
        ASSERT_TRUE(child.WaitReady());
        child.Kill();
        const int status = child.Wait();
        // A child left running may have finished before the signal came.
        EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) || !hold);
        ASSERT_NO_FATAL_FAILURE(ExpectWhole(root.path(), false));

        os::ManualClock clock;
        auto log = os::Log::Capturing(clock);
        update::ApplyPendingFiles(FoldersIn(root.path()), *log);
        ASSERT_NO_FATAL_FAILURE(ExpectWhole(root.path(), true));
        // A killed copy may leave its temporary file, never a file under another name.
        int named = 0;
        for (const auto& entry : fs::directory_iterator(root.path() / "common" / "dir"))
            named += entry.path().extension() == ".ini";
        EXPECT_EQ(named, kFiles);
    }
}

}  // namespace
}  // namespace update_test
