// A file of the user's that never ends or is not a file at all (a FIFO, a link to a device)
// does not hold up the start: it is refused, and the log says which file and why.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "login/login_history.h"
#include "platform/services/login_server_table.h"
#include "subsystems_fixture.h"

namespace host_api_test {
namespace {

class RefusedFilesTest : public SubsystemsTest {};

TEST_F(RefusedFilesTest, ALoginHistoryThatIsNoFileIsRefusedAndNamedInTheLog) {
    const std::string history = commonDir.str() + login::kLoginHistoryFile;
    const std::string mobile = commonDir.str() + login::kMobileLoginHistoryFile;
    ASSERT_EQ(::mkfifo(history.c_str(), 0600), 0);  // no writer: a blocking read never ends
    std::filesystem::create_symlink("/dev/zero", mobile);

    ASSERT_NO_FATAL_FAILURE(Init());  // the login panel reads both at its start

    EXPECT_TRUE(world.windows().IsWindowVisible(manager->LoginPanel()));
    EXPECT_TRUE(
        world.log().HasCaptured("File '" + history + "' not read: not a regular file (a FIFO)"));
    EXPECT_TRUE(world.log().HasCaptured("File '" + mobile +
                                        "' not read: not a regular file (a character device)"));
}

TEST_F(RefusedFilesTest, AConfigurationThatIsNoFileIsRefusedAndNamedInTheLog) {
    const std::string config = commonDir.str() + platform::kDefaultConfigFile;
    std::filesystem::remove(config);
    ASSERT_EQ(::mkfifo(config.c_str(), 0600), 0);

    ASSERT_NO_FATAL_FAILURE(Init());  // InitWindows reads the configuration

    EXPECT_TRUE(world.windows().IsWindowVisible(manager->LoginPanel()));
    EXPECT_TRUE(
        world.log().HasCaptured("File '" + config + "' not read: not a regular file (a FIFO)"));
    EXPECT_TRUE(world.log().HasCaptured("配置文件无法读取, 使用默认配置:" + config));
}

}  // namespace
}  // namespace host_api_test
