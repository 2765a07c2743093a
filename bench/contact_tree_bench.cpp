// The contact tree on an organisation directory: 100 000 users arriving one by one (each
// looked up first, as the loaders do) must fill in well under 300 ms, and a presence change
// in a group of 10 000 users must take well under 1 ms.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "contacts/contact_trees.h"
#include "contacts/im_tree.h"
#include "core/client_world.h"
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
};

World& TheWorld() {
    static World world;
    return world;
}

std::string UserJid(int n) { return "user" + std::to_string(n) + "$gov@im.example"; }
std::string GroupKey(int g) { return "org,unit" + std::to_string(g); }

// What the directory loader does per person: look for it, and add it when missing.
void FillItems(CIMTree& tree, core::ClientContext& context) {
    int n = 0;
    for (int g = 0; g < kGroups; ++g) {
        const std::string groupKey = GroupKey(g);
        for (int u = 0; u < kUsersPerGroup; ++u, ++n) {
            const std::string jid = UserJid(n);
            if (tree.FindUser(jid, groupKey, platform::JidMatch::Exact) != nullptr) continue;
            auto user = std::make_unique<CUser>(context.clock, jid, "用户" + std::to_string(n),
                                                "unit" + std::to_string(g), "");
            user->groupKey = groupKey;
            user->orderIndex = u;
            auto item = CIMTreeItemData::ForUser(std::move(user));
            tree.AddItemData(item);
        }
    }
}

void BM_FillDirectoryItems(benchmark::State& state) {
    core::ClientContext& context = TheWorld().world.context();
    for (auto _ : state) {
        CIMTree tree(context, 1, "org", 0);
        FillItems(tree, context);
        benchmark::DoNotOptimize(tree.ItemDataCount());
        state.PauseTiming();  // the tree's destruction is not the fill
        tree.DeleteAllItemData();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kGroups * kUsersPerGroup);
}
BENCHMARK(BM_FillDirectoryItems)->Unit(benchmark::kMillisecond);

// The whole build: items, then a node per group and user with every ancestor's count, then
// each group sorted.
void BM_FillAndPlaceDirectory(benchmark::State& state) {
    core::ClientContext& context = TheWorld().world.context();
    for (auto _ : state) {
        CIMTree tree(context, 1, "org", 0);
        tree.topSortMode = contacts::kSortByPresence;
        auto rootItem =
            CIMTreeItemData::ForGroup(std::make_unique<CGroup>("org", "组织", "02", "org"));
        CGroup* root = tree.AddItemData(rootItem)->group();
        const os::TreeItem rootNode = tree.InsertGroupItem(root, os::kTreeRoot, os::kTreeLast);
        FillItems(tree, context);
        std::vector<CUser*> users;
        tree.ForEachItemData([&](CIMTreeItemData& item) { users.push_back(item.user()); });
        std::size_t next = 0;
        for (int g = 0; g < kGroups; ++g) {
            auto groupItem = CIMTreeItemData::ForGroup(std::make_unique<CGroup>(
                "unit" + std::to_string(g), "单位" + std::to_string(g), "org", GroupKey(g)));
            CGroup* group = tree.AddItemData(groupItem)->group();
            const os::TreeItem node = tree.InsertGroupItem(group, rootNode, os::kTreeLast);
            for (int u = 0; u < kUsersPerGroup; ++u) {
                while (users[next] == nullptr) ++next;
                tree.InsertUserItem(users[next++], node, os::kTreeLast);
            }
            tree.SortChildren(node);
        }
        benchmark::DoNotOptimize(tree.GetCount());
        state.PauseTiming();
        tree.DeleteAllItemData();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kGroups * kUsersPerGroup);
}
BENCHMARK(BM_FillAndPlaceDirectory)->Unit(benchmark::kMillisecond);

// A unit of 10 000 people ordered by presence, inside a parent unit; random people come
// online and go offline.
void BM_PresenceChangeInGroupOf10000(benchmark::State& state) {
    constexpr int kMembers = 10000;
    core::ClientContext& context = TheWorld().world.context();
    CIMTree tree(context, 1, "org", 0);
    tree.topSortMode = contacts::kSortByPresence;
    auto parentItem =
        CIMTreeItemData::ForGroup(std::make_unique<CGroup>("top", "总部", "", "org,top"));
    const os::TreeItem parent =
        tree.InsertGroupItem(tree.AddItemData(parentItem)->group(), os::kTreeRoot, os::kTreeLast);
    auto groupItem =
        CIMTreeItemData::ForGroup(std::make_unique<CGroup>("big", "大单位", "top", "org,top,big"));
    const os::TreeItem group =
        tree.InsertGroupItem(tree.AddItemData(groupItem)->group(), parent, os::kTreeLast);
    std::vector<CUser*> members;
    std::mt19937 random(1);
    for (int i = 0; i < kMembers; ++i) {
        auto user = std::make_unique<CUser>(context.clock, UserJid(i), "用户" + std::to_string(i),
                                            "big", "");
        user->SetPresence(random() % 4 == 0 ? "online" : "offline");
        auto item = CIMTreeItemData::ForUser(std::move(user));
        members.push_back(tree.AddItemData(item)->user());
        tree.InsertUserItem(members.back(), group, os::kTreeLast);
    }
    tree.SortChildren(group);
    for (auto _ : state) {
        CUser* user = members[random() % members.size()];
        tree.SetUserPresence(user, user->IsOffline() ? "online" : "offline");
    }
    benchmark::DoNotOptimize(tree.GetItemText(group));
}
BENCHMARK(BM_PresenceChangeInGroupOf10000)->Unit(benchmark::kMicrosecond);

// The same change arriving as a notification, found by the loose rule in the tree.
void BM_PresenceNotifyInGroupOf10000(benchmark::State& state) {
    constexpr int kMembers = 10000;
    core::ClientContext& context = TheWorld().world.context();
    CIMTree tree(context, 1, "org", 0);
    tree.topSortMode = contacts::kSortByPresence;
    auto groupItem =
        CIMTreeItemData::ForGroup(std::make_unique<CGroup>("big", "大单位", "", "org,big"));
    const os::TreeItem group =
        tree.InsertGroupItem(tree.AddItemData(groupItem)->group(), os::kTreeRoot, os::kTreeLast);
    for (int i = 0; i < kMembers; ++i) {
        auto item = CIMTreeItemData::ForUser(std::make_unique<CUser>(
            context.clock, UserJid(i), "用户" + std::to_string(i), "big", ""));
        tree.InsertUserItem(tree.AddItemData(item)->user(), group, os::kTreeLast);
    }
    tree.SortChildren(group);
    contacts::ContactTrees trees(context);
    trees.Add(tree);
    std::mt19937 random(2);
    std::vector<bool> online(kMembers, false);
    for (auto _ : state) {
        const auto who = static_cast<int>(random() % kMembers);
        online[who] = !online[who];
        platform::PresenceData data;
        data.jid = UserJid(who);
        data.presence = online[who] ? "online" : "offline";
        benchmark::DoNotOptimize(trees.OnPresenceNotify(
            platform::MakeNotify(platform::notify_type::kPresenceAvailable, data)));
    }
}
BENCHMARK(BM_PresenceNotifyInGroupOf10000)->Unit(benchmark::kMicrosecond);

}  // namespace
