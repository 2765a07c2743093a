// The offline file tasks over real HTTP on 127.0.0.1: an upload posts the file as a form and
// learns the key from the answer; a download writes the answer's bytes inside its folder, never
// through a link waiting under the name, and leaves nothing for an answer that is no file.

#include "platform/offline/offline_file_lib.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "os/sys/clock.h"
#include "support/http/loopback_http_server.h"
#include "support/http/no_proxy.h"
#include "support/temp_dir.h"
#include "support/test_files.h"
#include "support/wait_for.h"

namespace {

namespace fs = std::filesystem;
using testing_support::LoopbackHttpServer;
using testing_support::RecordedRequest;

class OfflineFileLibTest : public ::testing::Test {
  protected:
    // Runs the task to its end; the last event.
    platform::OfflineEvent Run(platform::OfflineTask task, platform::OfflineTask* ended = nullptr) {
        std::atomic<int> last{0};
        platform::OfflineTask result;
        EXPECT_TRUE(lib.AddOfflineFileTask(
            std::move(task), [&](platform::OfflineEvent event, const platform::OfflineTask& t) {
                if (event == platform::OfflineEvent::Started) return;
                result = t;
                last = static_cast<int>(event);
            }));
        EXPECT_TRUE(testing_support::WaitFor([&] { return last != 0; }, "the task's end"));
        if (ended != nullptr) *ended = result;
        return static_cast<platform::OfflineEvent>(last.load());
    }

    testing_support::NoProxy noProxy;
    os::ManualClock clock;
    testing_support::TempDir folder;
    platform::OfflineFileLib lib{clock};
};

TEST_F(OfflineFileLibTest, AnUploadPostsTheFileAsAFormAndLearnsItsKey) {
    LoopbackHttpServer server(
        [](const RecordedRequest&) { return LoopbackHttpServer::Response(200, "  5EC0FFEE\r\n"); });
    const fs::path file = folder.path() / "a.bin";
    testing_support::Put(file, "file bytes");
    platform::OfflineTask task;
    task.key = "K1";
    task.localPath = file.string();
    task.url = server.Url("/up/a.bin");
    task.size = 10;
    platform::OfflineTask ended;
    ASSERT_EQ(Run(task, &ended), platform::OfflineEvent::Finished);
    EXPECT_EQ(ended.serverKey, "5EC0FFEE");
    std::uint64_t count = 0;
    ASSERT_TRUE(lib.GetCompleteCount("K1", count));
    EXPECT_EQ(count, 10u);

    ASSERT_EQ(server.RequestCount(), 1u);
    const RecordedRequest request = server.Requests()[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/up/a.bin");
    EXPECT_NE(request.body.find("name=\"key\"\r\n\r\nK1\r\n"), std::string::npos);
    EXPECT_NE(request.body.find("\r\n\r\nfile bytes\r\n"), std::string::npos);
}

TEST_F(OfflineFileLibTest, AnUploadThatIsRefusedOrUnansweredFails) {
    LoopbackHttpServer refusing(
        [](const RecordedRequest&) { return LoopbackHttpServer::Response(413, "too big"); });
    const fs::path file = folder.path() / "a.bin";
    testing_support::Put(file, "x");
    platform::OfflineTask task;
    task.key = "K2";
    task.localPath = file.string();
    task.url = refusing.Url("/up/a.bin");
    platform::OfflineTask ended;
    ASSERT_EQ(Run(task, &ended), platform::OfflineEvent::Failed);
    EXPECT_EQ(ended.failure, platform::OfflineFailure::Refused);
    EXPECT_EQ(ended.httpStatus, 413);

    task.key = "K3";
    task.url = "http://127.0.0.1:1/up/a.bin";
    ASSERT_EQ(Run(task, &ended), platform::OfflineEvent::Failed);
    EXPECT_EQ(ended.failure, platform::OfflineFailure::Unreachable);
}

TEST_F(OfflineFileLibTest, ADownloadReplacesALinkUnderItsNameNotTheLinksTarget) {
    LoopbackHttpServer server([](const RecordedRequest& request) {
        if (request.target == "/down/a.txt?key=K") {
            return LoopbackHttpServer::Response(200, "stored bytes");
        }
        return LoopbackHttpServer::Response(404, "no such file");
    });
    const fs::path outside = folder.path() / "outside.txt";
    testing_support::Put(outside, "keep me");
    fs::create_directory(folder.path() / "in");
    fs::create_symlink(outside, folder.path() / "in" / "a.txt");

    platform::OfflineTask task;
    task.key = "K";
    task.direction = platform::OfflineDirection::Download;
    task.localPath = (folder.path() / "in" / "a.txt").string();
    task.url = server.Url("/down/a.txt?key=K");
    task.size = 12;
    ASSERT_EQ(Run(task), platform::OfflineEvent::Finished);
    EXPECT_FALSE(fs::is_symlink(folder.path() / "in" / "a.txt"));
    EXPECT_EQ(testing_support::Slurp(folder.path() / "in" / "a.txt"), "stored bytes");
    EXPECT_EQ(testing_support::Slurp(outside), "keep me");

    // A 404 answer is no file: nothing is written under the name.
    task.key = "K4";
    task.localPath = (folder.path() / "in" / "b.txt").string();
    task.url = server.Url("/down/b.txt?key=K");
    platform::OfflineTask ended;
    ASSERT_EQ(Run(task, &ended), platform::OfflineEvent::Failed);
    EXPECT_EQ(ended.failure, platform::OfflineFailure::Refused);
    EXPECT_FALSE(fs::exists(folder.path() / "in" / "b.txt"));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.path() / "in")) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u) << "no temporary file is left";
}

TEST_F(OfflineFileLibTest, TasksWithoutAFileOrAnAddressOrWithARunningKeyAreRefused) {
    platform::OfflineTask task;
    task.key = "K";
    task.localPath = (folder.path() / "x").string();
    EXPECT_FALSE(lib.AddOfflineFileTask(task, {})) << "no address";
    task.url = "http://127.0.0.1:1/x";
    task.localPath.clear();
    EXPECT_FALSE(lib.AddOfflineFileTask(task, {})) << "no file";
    std::uint64_t count = 0;
    EXPECT_FALSE(lib.GetCompleteCount("K", count));
}

}  // namespace
