// The automatic update through the shipped wiring: InitWindows puts the files of the last run
// in place, the door's run after login fetches the server's list and tells the user, and the
// session's new-version notice leads to the program update at the next start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/client_config.h"
#include "core/doors.h"
#include "core/doors/update_service.h"
#include "os/services/log.h"
#include "os/services/recording_shell.h"
#include "os/sys/ini_file.h"
#include "platform/session/notify_record.h"
#include "subsystems_fixture.h"
#include "support/http/loopback_http_server.h"
#include "support/http/no_proxy.h"
#include "update/sha256.h"

namespace host_api_test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class UpdateEndToEndTest : public SubsystemsTest {
  protected:
    fs::path FileUpdateDir() const { return commonDir.path() / "update" / "fileupdate"; }

    testing_support::NoProxy noProxy;
    testing_support::LoopbackHttpServer server{
        [this](const testing_support::RecordedRequest& request) -> std::optional<std::string> {
            if (request.target == "/list.txt") return Response(200, list);
            if (request.target == "/files/cfg/page.html") return Response(200, "new page");
            if (request.target == "/pkg/update.up") return Response(200, package);
            return Response(404, "");
        }};
    static std::string Response(int status, const std::string& body) {
        return testing_support::LoopbackHttpServer::Response(status, body);
    }
    std::string list;
    std::string package = "package bytes";
};

TEST_F(UpdateEndToEndTest, InitWindowsPutsThePendingFilesInPlaceBeforeTheConfigurationIsRead) {
    WriteAll(appDir.path() / "template" / "page.html", "old page");
    WriteAll(FileUpdateDir() / "page.html", "new page");
    WriteAll(FileUpdateDir() / "currentlist.txt",
             "1;template/page.html;1;cfg/page.html;2.0;1;1\r\n"
             "2;../../outside.html;1;cfg/page.html;2.0;1;1\r\n");
    ASSERT_NO_FATAL_FAILURE(Init());
    EXPECT_EQ(ReadAll(appDir.path() / "template" / "page.html"), "new page");
    EXPECT_FALSE(fs::exists(appDir.path().parent_path().parent_path() / "outside.html"));
    EXPECT_TRUE(world.log().HasCaptured("更新文件路径越出其目录,已拒绝:2;../../outside.html"));
    EXPECT_EQ(ReadAll(FileUpdateDir() / "currentlist.txt"),
              "1;template/page.html;1;cfg/page.html;2.000000;0;0\r\n"
              "2;../../outside.html;1;cfg/page.html;2.000000;1;1\r\n");
}

TEST_F(UpdateEndToEndTest, TheRunAfterLoginDownloadsNewerFilesAndTellsTheUser) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    context.config.remotedir = server.Url("/files/");
    context.config.updatelisturl = server.Url("/list.txt");
    list =
        "1;template/page.html;1;cfg/page.html;1.1;0;0;8;" + update::Sha256Hex("new page") + "\r\n";

    context.doors().updates->StartFileUpdate();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return !world.tips().TipTexts().empty(); }));
    EXPECT_EQ(world.tips().TipTexts().back(), "下载配置文件1个,下次生效");
    EXPECT_TRUE(subsystems->updates().WaitFileUpdateEnded(os::kInfinite));
    EXPECT_EQ(ReadAll(FileUpdateDir() / "page.html"), "new page");
    EXPECT_FALSE(fs::exists(appDir.path() / "template" / "page.html"));  // at the next start
}

TEST_F(UpdateEndToEndTest, ANewVersionNoticeDownloadsThePackageForTheUpdaterOfTheNextStart) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    const std::string config = commonDir.str() + "config.ini";
    ASSERT_TRUE(os::WriteProfileString(config, "Common Setting", "Version", "1.05"));
    ASSERT_TRUE(os::WriteProfileString(config, "Common Setting", "Updater", "/opt/updater"));

    platform::UpdateNoticeData notice;
    notice.texts = {"must",
                    "SubVersionLiveUp",
                    "1.1",
                    server.Url("/pkg/update.up"),
                    "http://example.invalid/download",
                    update::Sha256Hex(package)};
    world.prompter().AnswerMessageBox(os::IDOK);
    world.simSession().Inject(platform::MakeNotify(platform::notify_type::kUpdateNotice, notice));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return !world.prompter().Texts().empty(); }));
    EXPECT_NE(world.prompter().Texts()[0].find("(该版本必须更新)"), std::string::npos);
    ASSERT_TRUE(subsystems->updates().programUpdate().WaitDownloadEnded(os::kInfinite));
    EXPECT_EQ(ReadAll(commonDir.path() / "update" / "Liveup" / "update.up"), package);
    EXPECT_FALSE(world.simSession().calls().Named("ChangePresence").empty());

    // The next start hands the package to the configured updater and records the version.
    context.doors().updates->CheckProgramUpdate();
    const auto started = world.shell().Requests();
    ASSERT_FALSE(started.empty());
    EXPECT_EQ(started.back().file, "/opt/updater");
    EXPECT_NE(
        started.back().parameters.find("/doc:\"" + commonDir.str() + "update/Liveup/update.up\""),
        std::string::npos);
    EXPECT_EQ(os::GetProfileString(config, "Common Setting", "Version", ""), "1.100000");
    // Started once: the installed version is now the waiting one.
    context.doors().updates->CheckProgramUpdate();
    EXPECT_EQ(world.shell().Requests().size(), started.size());
}

TEST_F(UpdateEndToEndTest, APackageThatDoesNotMatchItsChecksumIsNotKept) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    platform::UpdateNoticeData notice;
    notice.texts = {"", "SubVersionLiveUp",  "9.0", server.Url("/pkg/update.up"),
                    "", std::string(64, '0')};
    world.simSession().Inject(platform::MakeNotify(platform::notify_type::kUpdateNotice, notice));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return !world.simSession().calls().Named("ChangePresence").empty();
    }));
    ASSERT_TRUE(subsystems->updates().programUpdate().WaitDownloadEnded(os::kInfinite));
    EXPECT_FALSE(fs::exists(commonDir.path() / "update" / "Liveup" / "update.up"));
    EXPECT_TRUE(world.log().HasCaptured("下载升级文件出错！Url:" + server.Url("/pkg/update.up")));
}

}  // namespace
}  // namespace host_api_test
