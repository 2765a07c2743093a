#include "os/services/sound_player.h"

#include <gtest/gtest.h>

#include <thread>

#include "os/services/log.h"
#include "os/sys/clock.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "test_files.h"

namespace {

using services_test::ReadLines;
using services_test::U8;
using services_test::WriteScript;

TEST(RecordingSoundPlayerTest, RecordsEachRequest) {
    os::RecordingSoundPlayer player;
    EXPECT_TRUE(player.PlaySoundFile("/app/sound/welcome.wav"));
    player.SetAnswer(false);
    EXPECT_FALSE(player.PlaySoundFile("/app/sound/message.wav"));
    player.Stop();
    EXPECT_EQ(player.Played(),
              (std::vector<std::string>{"/app/sound/welcome.wav", "/app/sound/message.wav"}));
    EXPECT_EQ(player.StopCount(), 1);
}

class SystemSoundPlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path() / "bin");
        std::filesystem::create_directories(dir.path() / U8(u8"声音"));
        services_test::WriteFile(dir.path() / U8(u8"声音") / "message.wav", "RIFF");
    }
    std::string Bin() const { return (dir.path() / "bin").string(); }
    // A player that notes its arguments, then plays until it is stopped.
    void FakePlayer(const std::string& name) {
        WriteScript(dir.path() / "bin" / name,
                    "echo " + name + " \"$@\" >> '" + Log() + "'\ntrap 'echo stopped >> " + Log() +
                        "; exit 0' TERM\nwhile :; do sleep 0.01; done\n");
    }
    std::string Log() const { return (dir.path() / "played.txt").string(); }
    std::string Sound() const { return dir.str() + "声音/message.wav"; }
    // Waits (bounded, as a guard) until the fake players wrote `count` lines.
    std::vector<std::string> LinesWhenThere(size_t count) {
        for (int i = 0; i < 3000; ++i) {
            auto lines = ReadLines(Log());
            if (lines.size() >= count) return lines;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return ReadLines(Log());
    }

    testing_support::TempDir dir;
};

TEST_F(SystemSoundPlayerTest, PrefersPaplayOverAplay) {
    FakePlayer("aplay");
    FakePlayer("paplay");
    os::SystemSoundPlayer player(Bin());
    EXPECT_EQ(player.player(), Bin() + "/paplay");
    ASSERT_TRUE(player.PlaySoundFile(Sound()));
    EXPECT_EQ(LinesWhenThere(1),
              std::vector<std::string>{"paplay -- " + dir.str() + U8(u8"声音/message.wav")});
}

TEST_F(SystemSoundPlayerTest, ANewSoundStopsTheOneStillPlaying) {
    FakePlayer("aplay");
    os::SystemSoundPlayer player(Bin());
    ASSERT_TRUE(player.PlaySoundFile(Sound()));
    LinesWhenThere(1);  // the first is playing before the second starts
    ASSERT_TRUE(player.PlaySoundFile(Sound()));
    auto lines = LinesWhenThere(3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "stopped"), 1);
    player.Stop();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("aplay", 0) == 0; }),
              2);
    lines = LinesWhenThere(4);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "stopped"), 2);
}

TEST_F(SystemSoundPlayerTest, NothingToPlayAnswersFalse) {
    os::SystemSoundPlayer silent(Bin());  // no player installed
    EXPECT_EQ(silent.player(), "");
    EXPECT_FALSE(silent.PlaySoundFile(Sound()));
    silent.Stop();

    // With a log, the missing player is named there once, not at every sound.
    os::ManualClock clock;
    auto log = os::Log::Capturing(clock);
    os::SystemSoundPlayer told(Bin(), log.get());
    EXPECT_FALSE(told.PlaySoundFile(Sound()));
    EXPECT_FALSE(told.PlaySoundFile(Sound()));
    EXPECT_EQ(
        log->CapturedTexts(),
        (std::vector<std::string>{"sounds are not played: neither paplay nor aplay is installed"}));

    FakePlayer("aplay");
    os::SystemSoundPlayer player(Bin(), log.get());
    EXPECT_FALSE(player.PlaySoundFile(dir.str() + "missing.wav"));
    EXPECT_FALSE(player.PlaySoundFile(dir.str() + "声音"));  // a folder
    EXPECT_FALSE(std::filesystem::exists(Log()));
}

}  // namespace
