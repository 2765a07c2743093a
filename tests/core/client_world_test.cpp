#include "core/client_world.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "os/services/log.h"
#include "os/services/sound_player.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"
#include "platform/services/shared_util.h"
#include "platform/session/sim_session_core.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

TEST(ClientWorld, ATestWorldWiresItsStandInsIntoTheContext) {
    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world({common.str(), app.str()});
    core::ClientContext& context = world.context();

    EXPECT_EQ(&context.clock, &world.clock());
    EXPECT_EQ(&context.windows.clock(), &world.clock());
    EXPECT_EQ(&context.prompter, &world.prompter());
    EXPECT_EQ(&context.noticePop, &world.tips());
    EXPECT_EQ(&world.session(), &world.simSession());
    EXPECT_EQ(context.folders.commonDir, common.str());
    EXPECT_EQ(context.folders.appDir, app.str());
    EXPECT_EQ(context.sharedUtil.GetCommanDir(), common.str());
    EXPECT_EQ(world.simSession().GetAppPath(), app.str());
    EXPECT_FALSE(context.hasWindowManager());

    // Time stands still until the test moves it.
    const os::Millis before = context.clock.Now();
    world.clock().Advance(20000);
    EXPECT_EQ(context.clock.Now(), before + 20000);
}

TEST(ClientWorld, FoldersWithoutATrailingSlashGetOne) {
    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world({common.path().string(), app.path().string()});
    EXPECT_EQ(world.context().folders.commonDir, common.str());
    EXPECT_EQ(world.context().folders.appDir, app.str());
}

TEST(ClientWorld, TheLibraryWorldLogsIntoTheSharedDirectory) {
    testing_support::TempDir common;
    testing_support::TempDir app;
    auto world = core::ClientWorld::ForLibrary({common.str(), app.str()},
                                               std::make_unique<os::ScriptedPrompter>());
    world->context().log.WriteLog("hello");
    EXPECT_TRUE(std::filesystem::exists(common.path() / os::kLogFileName));
    world->context().noticePop.ShowTip("tip");
    EXPECT_GT(std::filesystem::file_size(common.path() / os::kLogFileName), 0u);
}

TEST(ClientWorld, TheLibraryWorldSaysOnceInItsLogThatNoSoundPlayerIsInstalled) {
    testing_support::TempDir common;
    testing_support::TempDir app;
    testing_support::TempDir emptyBin;
    std::filesystem::create_directories(app.path() / "sound");
    { std::ofstream(app.path() / "sound" / "message.wav") << "RIFF"; }
    auto log = [&] {
        std::ifstream in(common.path() / os::kLogFileName);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string line = "neither paplay nor aplay is installed";
    {
        testing_support::ScopedEnv path("PATH", emptyBin.str());
        auto world = core::ClientWorld::ForLibrary({common.str(), app.str()},
                                                   std::make_unique<os::ScriptedPrompter>());
        const std::string sound = world->context().folders.appDir + "sound/message.wav";
        EXPECT_FALSE(world->context().sound.PlaySoundFile(sound));
        EXPECT_FALSE(world->context().sound.PlaySoundFile(sound));
    }
    const std::string text = log();
    const std::size_t first = text.find(line);
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_EQ(text.find(line, first + 1), std::string::npos) << "told once: " << text;
}

}  // namespace
