// The room window under load, each against the reference of the same run:
// - 500 members coming into a temporary room one presence at a time, through the conference
//   centre (the member panel rebuilt and the "进入了多人聊天" line shown for each; target:
//   under 50 ms for the 500), against the floor of what is shown: the same 500 lines put once
//   into a tree and the same 500 system lines into a message view;
// - 1 000 room messages handed to the centre and rendered in the room's window, against the
//   same 1 000 messages appended straight to a message view.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "chat/chat_rich_view.h"
#include "core/client_world.h"
#include "core/idle_window_manager.h"
#include "os/controls/tree_control.h"
#include "os/text/cstring_ops.h"
#include "rooms/conference_center.h"
#include "rooms/dlg_room.h"
#include "rooms/room_rules.h"
#include "support/temp_dir.h"

namespace {

constexpr int kMembers = 500;
constexpr int kMessages = 1000;
const std::string kRoom = "team@conference.bench.invalid";

// A world with just enough of a window manager for the centre (no main panel: no rooms
// branch to keep).
struct World {
    class Manager final : public core::IdleWindowManager {
      public:
        explicit Manager(core::ClientContext& context) : context_(context) {
            context_.SetWindowManager(this);
        }
        ~Manager() override { context_.SetWindowManager(nullptr); }

      private:
        core::ClientContext& context_;
    };

    World() : world(core::WorldFolders{common.str(), app.str()}), manager(world.context()) {}
    core::ClientContext& context() { return world.context(); }

    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world;
    Manager manager;
};

std::string Nickname(int n) { return "成员" + std::to_string(n); }

rooms::MemberPresence Presence(int n) {
    const std::string nick = Nickname(n);
    return {kRoom + "/" + nick,
            "m" + std::to_string(n) + "@bench.invalid",
            "none",
            "participant",
            nick,
            ""};
}

// A temporary room with its window open.
CDlgRoom* OpenTemporaryRoom(CConferenceCenter& center) {
    center.OnInvitation({kRoom, "owner@bench.invalid", "temporary", "", "owner"});
    const auto room = center.Find(kRoom);
    return room == nullptr ? nullptr : room->window.get();
}

void BM_FiveHundredMembersJoinARoom(benchmark::State& state) {
    World w;
    std::vector<rooms::MemberPresence> presences;
    for (int n = 0; n < kMembers; ++n) presences.push_back(Presence(n));
    for (auto _ : state) {
        CConferenceCenter center(w.context(), nullptr);
        CDlgRoom* window = OpenTemporaryRoom(center);
        if (window == nullptr) {
            state.SkipWithError("no room window");
            break;
        }
        for (const rooms::MemberPresence& presence : presences) center.OnMemberPresence(presence);
        if (window->room().occupants.size() != kMembers) state.SkipWithError("members missing");
        state.PauseTiming();  // the windows go with the centre
        center.LeaveAllRooms();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kMembers);
}
BENCHMARK(BM_FiveHundredMembersJoinARoom)->Unit(benchmark::kMillisecond);

void BM_FiveHundredMemberLinesShownOnceReference(benchmark::State& state) {
    os::ManualClock clock;
    for (auto _ : state) {
        os::TreeControl tree(1711);
        const os::TreeItem group = tree.InsertItem("参与者");
        chat::CChatRichView view(1701, chat::ViewKind::ReadOnly, clock, "/nonexistent-app/",
                                 "/nonexistent-temp/");
        for (int n = 0; n < kMembers; ++n) {
            tree.InsertItem(Nickname(n), 0, 0, group);
            view.QueueNotice(rooms::SystemLine(Nickname(n) + " 进入了多人聊天"));
            view.RenderPendingNotices();
        }
        benchmark::DoNotOptimize(tree.GetCount());
    }
    state.SetItemsProcessed(state.iterations() * kMembers);
}
BENCHMARK(BM_FiveHundredMemberLinesShownOnceReference)->Unit(benchmark::kMillisecond);

core::QueuedMessage Message(int n) {
    core::QueuedMessage message;
    message.from = kRoom + "/" + Nickname(n % 20);
    message.fromName = Nickname(n % 20);
    message.font = "FONT(宋体,134,2,180,1,0,0,0,255,0,0)";
    message.content = "第" + std::to_string(n) + "条群消息，会议改到下午三点，请大家准时参加。";
    message.time = "2026-01-04 08:03:00";
    return message;
}

void BM_ThousandRoomMessagesRendered(benchmark::State& state) {
    World w;
    std::vector<core::QueuedMessage> messages;
    for (int n = 0; n < kMessages; ++n) messages.push_back(Message(n));
    for (auto _ : state) {
        state.PauseTiming();
        auto center = std::make_unique<CConferenceCenter>(w.context(), nullptr);
        CDlgRoom* window = OpenTemporaryRoom(*center);
        state.ResumeTiming();
        if (window == nullptr) {
            state.SkipWithError("no room window");
            break;
        }
        for (const core::QueuedMessage& message : messages) center->OnRoomMessage(message);
        benchmark::DoNotOptimize(window->view().GetTextLength());
        state.PauseTiming();
        center.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_ThousandRoomMessagesRendered)->Unit(benchmark::kMillisecond);

void BM_ThousandMessagesAppendedToAViewReference(benchmark::State& state) {
    std::vector<core::QueuedMessage> messages;
    for (int n = 0; n < kMessages; ++n) messages.push_back(Message(n));
    os::ManualClock clock;
    for (auto _ : state) {
        chat::CChatRichView view(1701, chat::ViewKind::ReadOnly, clock, "/nonexistent-app/",
                                 "/nonexistent-temp/");
        for (const core::QueuedMessage& message : messages) {
            view.AppendMessage(message.fromName, message.time, message.font + message.content);
        }
        benchmark::DoNotOptimize(view.GetTextLength());
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_ThousandMessagesAppendedToAViewReference)->Unit(benchmark::kMillisecond);

}  // namespace
