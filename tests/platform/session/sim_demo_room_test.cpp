// The demo world's room, as the demo user meets it from a session of its own: the room is on
// its list, the helper bot keeps it with a subject and a welcome, and answers once what is
// said there on the world's clock.

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "os/sys/event.h"
#include "os/ui/window_system.h"
#include "platform/jid/jid.h"
#include "platform/session/sim_bots.h"
#include "platform/session/sim_demo_world.h"
#include "platform/session/sim_session_core.h"
#include "sim_world.h"
#include "support/gbk_print.h"

namespace {

using platform::NotifyRecord;
using platform::SlotData;
namespace nt = platform::notify_type;

class SimDemoRoomTest : public ::testing::Test {
  protected:
    void SetUp() override {
        demo_ = platform::SimDemoWorld::Load(world_.server(), windows_);
        ASSERT_NE(demo_, nullptr);
        core_.Init(&lost_, &notify_, std::this_thread::get_id());
        ASSERT_EQ(core_.Login(platform::kDemoLogin, platform::kDemoPassword, 1, "", 0),
                  platform::kLoginAccepted);
        Drain();
    }

    std::vector<NotifyRecord> Drain() {
        std::vector<NotifyRecord> records;
        while (NotifyRecord* record = core_.GetNotify()) {
            records.push_back(*record);
            core_.FreeNotify(record);
        }
        return records;
    }
    // The live room messages among the queued records, as "nickname: text".
    std::vector<std::string> RoomLines(bool history) {
        std::vector<std::string> lines;
        for (const NotifyRecord& record : Drain()) {
            const auto* message = record.As<platform::MessageData>();
            if (record.type == nt::kRoomMessage && message != nullptr && message->flag == history) {
                lines.push_back(message->fromName + ": " + message->content);
            }
        }
        return lines;
    }

    sim_testing::SimWorld world_;
    os::WindowSystem windows_{world_.manualClock()};
    std::unique_ptr<platform::SimDemoWorld> demo_;
    os::Event lost_{world_.clock(), os::EventReset::Auto};
    os::Event notify_{world_.clock(), os::EventReset::Auto};
    platform::SimSessionCore core_{world_.serverPtr()};
};

TEST_F(SimDemoRoomTest, TheDemoUserIsAMemberOfARoomTheHelperBotKeeps) {
    const std::string room = demo_->demoRoomJid();
    EXPECT_EQ(room,
              std::string(platform::kDemoRoomLocal) + "@conference." + world_.server().HostName());
    ASSERT_EQ(core_.RefreshSelfConferenceList(0), 1);
    const std::vector<NotifyRecord> lists = Drain();
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(lists[0].type, nt::kRoomList);
    EXPECT_EQ(lists[0].As<SlotData>()->slots,
              (std::vector<std::string>{room, platform::kDemoRoomName, "member"}));

    ASSERT_EQ(core_.EnterConferenceRoom(room, ""), 1);
    const std::vector<NotifyRecord> entered = Drain();
    std::vector<std::string> present;
    std::string subject;
    std::vector<std::string> history;
    for (const NotifyRecord& record : entered) {
        if (record.type == nt::kRoomMemberPresence) {
            const auto& slots = record.As<SlotData>()->slots;
            present.push_back(slots[platform::room_slot::kMemberNick] + " " +
                              slots[platform::room_slot::kMemberRole]);
        } else if (record.type == nt::kRoomInfo) {
            subject = record.As<SlotData>()->slots[platform::room_slot::kInfoSubject];
        } else if (record.type == nt::kRoomMessage) {
            history.push_back(record.As<platform::MessageData>()->content);
        }
    }
    EXPECT_EQ(present, (std::vector<std::string>{"小助手 moderator", "体验用户 participant"}));
    EXPECT_FALSE(subject.empty());
    ASSERT_EQ(history.size(), 1u) << "the bot's welcome";
    EXPECT_EQ(world_.server().RoomAffiliation(room, demo_->BotJids()[0]), "owner");
    for (const std::string& buddy : demo_->BuddyJids()) {
        EXPECT_EQ(world_.server().RoomAffiliation(room, buddy), "member") << buddy;
    }
}

TEST_F(SimDemoRoomTest, TheHelperBotAnswersWhatIsSaidInTheRoomOnce) {
    const std::string room = demo_->demoRoomJid();
    ASSERT_EQ(core_.EnterConferenceRoom(room, ""), 1);
    Drain();
    ASSERT_EQ(core_.SendConferenceMessage(room, "大家好", "FONT(x)"), 1);
    EXPECT_EQ(RoomLines(false), (std::vector<std::string>{"体验用户: 大家好"}));

    // Nothing before the bot's time, then one answer that quotes the line.
    ASSERT_TRUE(windows_.AdvanceClock(platform::kBotAnswerAfterMs - 1));
    EXPECT_TRUE(RoomLines(false).empty());
    ASSERT_TRUE(windows_.AdvanceClock(1));
    const std::vector<std::string> answer = RoomLines(false);
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_TRUE(answer[0].starts_with("小助手: ")) << testing::PrintToString(answer[0]);
    EXPECT_NE(answer[0].find("大家好"), std::string::npos) << testing::PrintToString(answer[0]);

    // The bot does not answer itself.
    ASSERT_TRUE(windows_.AdvanceClock(10 * platform::kBotAnswerAfterMs));
    EXPECT_TRUE(RoomLines(false).empty());
}

}  // namespace
