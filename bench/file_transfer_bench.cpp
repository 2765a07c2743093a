// A file sent between two sessions of the simulated server (offer, accept, every chunk with its
// progress records on a manual clock, the rename into place) against a plain copy of the same
// 20 MB file with os::CopyFile, in the same run. Target: the transfer's bytes per second at
// least 0.5 times the copy's (compare the two bytes_per_second figures).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <thread>

#include "os/sys/clock.h"
#include "os/sys/event.h"
#include "os/sys/file_ops.h"
#include "platform/session/sim_file_transfers.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "support/temp_dir.h"

namespace {

constexpr std::size_t kSize = 20 * 1024 * 1024;

struct Source {
    Source() {
        std::string bytes(kSize, '\0');
        for (std::size_t i = 0; i < kSize; ++i) bytes[i] = static_cast<char>(i * 131 % 251);
        path = folder.str() + "source.bin";
        os::WriteFileAtomically(path, bytes);
    }
    testing_support::TempDir folder;
    std::string path;
};

struct BenchSession {
    BenchSession(os::Clock& clock, const std::shared_ptr<platform::SimServer>& server,
                 const char* login)
        : lost(clock, os::EventReset::Auto), notify(clock, os::EventReset::Auto), core(server) {
        core.Init(&lost, &notify, std::this_thread::get_id());
        core.Login(login, "pw", 1, "", 0);
    }
    // Gives back every record; the key of the last offer, if one came.
    std::string Drain() {
        std::string key;
        while (platform::NotifyRecord* record = core.GetNotify()) {
            if (record->type == platform::notify_type::kFileOffer) {
                key = record->As<platform::FileTransferData>()->key;
            }
            core.FreeNotify(record);
        }
        return key;
    }
    os::Event lost;
    os::Event notify;
    platform::SimSessionCore core;
};

void BM_PlainCopy(benchmark::State& state) {
    Source source;
    const std::string target = source.folder.str() + "copy.bin";
    for (auto _ : state) {
        if (!os::CopyFile(source.path, target, os::ExistingTarget::kReplace)) {
            state.SkipWithError("copy failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SimulatedTransfer(benchmark::State& state) {
    Source source;
    os::ManualClock clock;
    auto server = std::make_shared<platform::SimServer>(clock);
    const std::string bob = server->AddAccount({.loginName = "bob", .password = "pw"});
    server->AddAccount({.loginName = "alice", .password = "pw"});
    BenchSession alice(clock, server, "alice");
    BenchSession receiver(clock, server, "bob");
    const std::string target = source.folder.str() + "received.bin";
    int round = 0;
    for (auto _ : state) {
        const std::string key = "K" + std::to_string(++round);
        alice.core.SendFile(bob, source.path, key, 0);
        alice.Drain();
        receiver.Drain();
        receiver.core.RecvFile(target, key);
        while (!std::filesystem::exists(target)) {
            clock.Advance(platform::SimFileTransfers::kChunkIntervalMs);
            alice.Drain();
            receiver.Drain();
        }
        state.PauseTiming();
        std::filesystem::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_SimulatedTransfer)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
