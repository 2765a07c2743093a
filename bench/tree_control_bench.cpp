// The organisation tree: 100 000 users under 1 000 groups must fill in well under 300 ms,
// and a large group must sort quickly.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "os/controls/tree_control.h"
#include "os/sys/clock.h"
#include "os/ui/window.h"
#include "os/ui/window_system.h"

namespace {

constexpr int kGroups = 1000;
constexpr int kUsersPerGroup = 100;

void FillOrganisation(os::TreeControl& tree) {
    std::uint32_t id = 0;
    for (int g = 0; g < kGroups; ++g) {
        os::TreeItem group = tree.InsertItem("部门" + std::to_string(g), 0, 0);
        tree.SetItemData(group, id++);
        for (int u = 0; u < kUsersPerGroup; ++u) {
            os::TreeItem user = tree.InsertItem("用户" + std::to_string(id), 1, 1, group);
            tree.SetItemData(user, id++);
        }
    }
}

void BM_InsertOrganisation(benchmark::State& state) {
    for (auto _ : state) {
        os::TreeControl tree(1);
        FillOrganisation(tree);
        benchmark::DoNotOptimize(tree.GetCount());
    }
    state.SetItemsProcessed(state.iterations() * kGroups * (kUsersPerGroup + 1));
}
BENCHMARK(BM_InsertOrganisation)->Unit(benchmark::kMillisecond);

// A refill of a tree its window holds, so every change is reported; compare with
// BM_RefillOrganisation (a tree of no window): nobody watching must cost a small fraction.
void RefillInWindow(benchmark::State& state, bool watched) {
    os::ManualClock clock;
    os::WindowSystem system(clock);
    os::Window window(system);
    window.Create(os::Window::CreateParams{});
    std::uint64_t changes = 0;
    const os::WindowSystem::ObserverId observer =
        watched ? system.AddObserver([&](const os::WindowSystem::WindowChange&) { ++changes; }) : 0;
    auto* tree =
        static_cast<os::TreeControl*>(window.AddControl(std::make_unique<os::TreeControl>(1)));
    for (auto _ : state) {
        tree->DeleteAllItems();
        FillOrganisation(*tree);
    }
    if (observer != 0) system.RemoveObserver(observer);
    benchmark::DoNotOptimize(changes);
    state.SetItemsProcessed(state.iterations() * kGroups * (kUsersPerGroup + 1));
}

void BM_RefillOrganisationInWindowUnwatched(benchmark::State& state) {
    RefillInWindow(state, false);
}
BENCHMARK(BM_RefillOrganisationInWindowUnwatched)->Unit(benchmark::kMillisecond);

void BM_RefillOrganisationInWindowWatched(benchmark::State& state) { RefillInWindow(state, true); }
BENCHMARK(BM_RefillOrganisationInWindowWatched)->Unit(benchmark::kMillisecond);

void BM_RefillOrganisation(benchmark::State& state) {
    // A refresh: the same control emptied and filled again.
    os::TreeControl tree(1);
    for (auto _ : state) {
        tree.DeleteAllItems();
        FillOrganisation(tree);
    }
    state.SetItemsProcessed(state.iterations() * kGroups * (kUsersPerGroup + 1));
}
BENCHMARK(BM_RefillOrganisation)->Unit(benchmark::kMillisecond);

void BM_SortGroupOf10000(benchmark::State& state) {
    constexpr int kChildren = 10000;
    os::TreeControl tree(1);
    os::TreeItem group = tree.InsertItem("部门");
    std::vector<os::TreeItem> children;
    for (int i = 0; i < kChildren; ++i) children.push_back(tree.InsertItem("用户", 1, 1, group));
    std::mt19937 random(7);
    auto byData = [](std::uint32_t a, std::uint32_t b) { return a < b ? -1 : a > b ? 1 : 0; };
    for (auto _ : state) {
        state.PauseTiming();
        for (os::TreeItem child : children) tree.SetItemData(child, random() % 5000);  // with ties
        state.ResumeTiming();
        tree.SortChildren(group, byData);
    }
    state.SetItemsProcessed(state.iterations() * kChildren);
}
BENCHMARK(BM_SortGroupOf10000)->Unit(benchmark::kMicrosecond);

void BM_WalkOrganisation(benchmark::State& state) {
    os::TreeControl tree(1);
    FillOrganisation(tree);
    for (auto _ : state) {
        std::uint64_t sum = 0;
        tree.ForEachItem([&](os::TreeItem item, int) { sum += tree.GetItemData(item); });
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_WalkOrganisation)->Unit(benchmark::kMillisecond);

void BM_DeleteGroups(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        os::TreeControl tree(1);
        FillOrganisation(tree);
        state.ResumeTiming();
        while (os::TreeItem group = tree.GetRoot()) tree.DeleteItem(group);
    }
}
BENCHMARK(BM_DeleteGroups)->Unit(benchmark::kMillisecond);

}  // namespace
