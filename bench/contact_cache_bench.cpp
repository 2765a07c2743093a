// The cache file of a directory of 100 000 users: saving it and loading it, against a plain
// sequential read of the same file in the same run (the reference). The load should stay
// within 3x the read: the load benchmark reports that ratio as its counter "x_read", timing a
// plain read of the file beside every load.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "contacts/contact_cache.h"
#include "contacts/im_tree.h"
#include "core/client_world.h"
#include "os/sys/file_ops.h"
#include "support/temp_dir.h"

namespace {

using contacts::CGroup;
using contacts::CIMTree;
using contacts::CIMTreeItemData;
using contacts::CUser;

constexpr int kGroups = 1000;
constexpr int kUsersPerGroup = 100;

struct World {
    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world{core::WorldFolders{common.str(), app.str()}};
    // ASCII: the reference opens it with fopen, which takes no GBK path.
    std::string path = common.str() + "directory.tree";
};

World& TheWorld() {
    static World world;
    return world;
}

// A directory as the loaders leave it: units, then people with the fields a directory fills.
std::unique_ptr<CIMTree> MakeDirectory(core::ClientContext& context) {
    auto tree = std::make_unique<CIMTree>(context, 1, "公共通讯录", 0);
    tree->topKind = "org";
    tree->cacheStamp = "2026-01-05 09:00:00";
    for (int g = 0; g < kGroups; ++g) {
        const std::string id = "unit" + std::to_string(g);
        auto group = CIMTreeItemData::ForGroup(
            std::make_unique<CGroup>(id, "单位" + std::to_string(g), "org", "org," + id));
        tree->AddItemData(group);
    }
    int n = 0;
    for (int g = 0; g < kGroups; ++g) {
        for (int u = 0; u < kUsersPerGroup; ++u, ++n) {
            auto user = std::make_unique<CUser>(
                context.clock, "user" + std::to_string(n) + "$gov@im.example",
                "用户" + std::to_string(n), "unit" + std::to_string(g), "");
            user->groupKey = "org,unit" + std::to_string(g);
            user->EditDetails().mobile = "138" + std::to_string(10000000 + n);
            user->EditDetails().workPhone = "010-" + std::to_string(60000000 + n);
            user->EditDetails().mail = "user" + std::to_string(n) + "@example.cn";
            user->EditDetails().unit = "单位" + std::to_string(g);
            user->EditDetails().duty = "科员";
            auto item = CIMTreeItemData::ForUser(std::move(user));
            tree->AddItemData(item);
        }
    }
    return tree;
}

// Seconds of this thread's CPU time (<chrono> does not build with the GBK execution charset):
// the machine's other work does not enter the ratio.
double Now() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The reference: the file's bytes read front to back in 64 KiB blocks.
std::size_t ReadSequentially(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return 0;
    std::vector<char> block(64 * 1024);
    std::size_t total = 0;
    for (std::size_t got; (got = std::fread(block.data(), 1, block.size(), file)) > 0;)
        total += got;
    std::fclose(file);
    return total;
}

// Writes the file once, so load and read have it.
const std::string& CacheFile() {
    static const std::string path = [] {
        World& w = TheWorld();
        auto tree = MakeDirectory(w.world.context());
        tree->SetDirty(true);
        contacts::SaveTree(*tree, w.world.context(), w.path);
        tree->DeleteAllItemData();
        return w.path;
    }();
    return path;
}

void BM_SaveCache100k(benchmark::State& state) {
    core::ClientContext& context = TheWorld().world.context();
    auto tree = MakeDirectory(context);
    tree->SetDirty(true);
    const std::string path = TheWorld().common.str() + "save.tree";
    for (auto _ : state) {
        if (!contacts::SaveTree(*tree, context, path)) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(os::FileSize(path).value_or(0)));
    state.SetItemsProcessed(state.iterations() * kGroups * (kUsersPerGroup + 1));
    tree->DeleteAllItemData();
}
BENCHMARK(BM_SaveCache100k)->Unit(benchmark::kMillisecond);

void BM_ReadCacheFilePlain(benchmark::State& state) {
    const std::string& path = CacheFile();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = ReadSequentially(path);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_ReadCacheFilePlain)->Unit(benchmark::kMillisecond);

void BM_LoadCache100k(benchmark::State& state) {
    core::ClientContext& context = TheWorld().world.context();
    const std::string& path = CacheFile();
    double loadSeconds = 0;
    double readSeconds = 0;
    for (auto _ : state) {
        const auto started = Now();
        CIMTree tree(context, 1, "公共通讯录", 0);
        contacts::LoadTree(tree, context, path);
        benchmark::DoNotOptimize(tree.ItemDataCount());
        const auto loaded = Now();
        state.PauseTiming();  // neither the tree's destruction nor the reference is the load
        tree.DeleteAllItemData();
        const auto readStarted = Now();
        benchmark::DoNotOptimize(ReadSequentially(path));
        const auto read = Now();
        loadSeconds += loaded - started;
        readSeconds += read - readStarted;
        state.ResumeTiming();
    }
    state.counters["x_read"] = readSeconds > 0 ? loadSeconds / readSeconds : 0;
    state.SetItemsProcessed(state.iterations() * kGroups * (kUsersPerGroup + 1));
}
BENCHMARK(BM_LoadCache100k)->Unit(benchmark::kMillisecond);

}  // namespace
