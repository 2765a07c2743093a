// The batch composer's send of 300 SMS recipients (parse the recipient text, check, hand the
// batch to the gateway of the embedded server, store a copy per recipient; under 100 ms)
// against what storing alone costs: the same 300 copies stored straight into the user's store
// one AddMsg each (a sync each), and in one AddMsgs (one sync, the floor of the send).

#include <benchmark/benchmark.h>

#include <string>
#include <thread>
#include <vector>

#include "batch/batch_sender.h"
#include "batch/sms_quota.h"
#include "config/client_config.h"
#include "core/client_world.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "platform/store/client_db.h"
#include "support/temp_dir.h"

namespace {

constexpr int kRecipients = 300;
constexpr const char* kContents = "明天上午十点在三楼会议室开会，请准时参加。";

// A logged-in user on the embedded server, with a store of its own.
struct World {
    World() : world({common.str(), app.str()}), context(world.context()) {
        platform::SimAccount me;
        me.loginName = "me";
        me.password = "pw";
        me.nickname = "我";
        world.server().AddAccount(me);
        world.simSession().Init(nullptr, nullptr, std::this_thread::get_id());
        world.simSession().Login("me", "pw", 1, "", 0);
        context.config.MaxGroupSMSCount = kRecipients;
        context.config.SmsHasNickName = 1;
    }
    std::string Numbers() const {
        std::string text;
        for (int i = 0; i < kRecipients; ++i) text += std::to_string(13900000000LL + i) + "；";
        return text;
    }
    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world;
    core::ClientContext& context;
};

void BM_BatchSendOf300Recipients(benchmark::State& state) {
    World w;
    batch::SmsQuota quota;
    batch::BatchSender sender(w.context, quota);
    batch::BatchDraft draft;
    draft.mode = core::kComposerSms;
    draft.recipientText = w.Numbers();
    draft.contents = kContents;
    for (auto _ : state) {
        const batch::BatchOutcome outcome = sender.Send(draft);
        if (!outcome.smsTaken || outcome.smsRecipients.size() != kRecipients) {
            state.SkipWithError("the batch did not go");
            break;
        }
    }
}
BENCHMARK(BM_BatchSendOf300Recipients)->Unit(benchmark::kMillisecond);

// The reference: 300 copies through one handle, as the store takes them.
void BM_Store300CopiesDirectly(benchmark::State& state) {
    World w;
    const std::string own = w.context.session.GetCurrentUserJID();
    const std::string host = w.world.server().HostName();
    for (auto _ : state) {
        const auto db = w.context.OpenUserStore();
        for (int i = 0; i < kRecipients; ++i) {
            const std::string to = std::to_string(13900000000LL + i) + "@sms." + host;
            if (!db->AddMsg(own.c_str(), to.c_str(), "2026-01-05 09:00:00", kContents, "", "", "",
                            CClientDB::kTypeSms, false, "", "", CClientDB::kStateUnhandled,
                            nullptr)) {
                state.SkipWithError(db->GetErrorInfo().c_str());
                return;
            }
        }
    }
}
BENCHMARK(BM_Store300CopiesDirectly)->Unit(benchmark::kMillisecond);

void BM_Store300CopiesInOneGo(benchmark::State& state) {
    World w;
    const std::string own = w.context.session.GetCurrentUserJID();
    const std::string host = w.world.server().HostName();
    std::vector<CClientDB::NewMessage> copies;
    for (int i = 0; i < kRecipients; ++i) {
        copies.push_back({own, std::to_string(13900000000LL + i) + "@sms." + host,
                          "2026-01-05 09:00:00", kContents, "", CClientDB::kTypeSms,
                          CClientDB::kStateUnhandled});
    }
    for (auto _ : state) {
        const auto db = w.context.OpenUserStore();
        if (!db->AddMsgs(copies)) {
            state.SkipWithError(db->GetErrorInfo().c_str());
            return;
        }
    }
}
BENCHMARK(BM_Store300CopiesInOneGo)->Unit(benchmark::kMillisecond);

}  // namespace
