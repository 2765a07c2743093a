// Loading the contact trees from the server: BuildFromList of a 50 000-user roster (target
// under 300 ms) and opening a directory unit of 5 000 persons (target under 50 ms: the
// engine's store of the children, reading them back, the items and the nodes). Each is
// measured beside a reference of the same run: copying the roster's list record, and
// reading the unit's children from the store alone.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <thread>

#include "contacts/contact_group.h"
#include "contacts/directory_loader.h"
#include "contacts/im_tree.h"
#include "contacts/tree_builder.h"
#include "core/client_world.h"
#include "core/idle_window_manager.h"
#include "os/sys/event.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "platform/store/client_db.h"
#include "support/temp_dir.h"

namespace {

using contacts::CIMTree;

constexpr int kRosterUsers = 50000;
constexpr int kRosterGroups = 500;
constexpr int kUnitPersons = 5000;

struct World {
    World() {
        context().SetWindowManager(&manager);
        platform::SimServer& server = world.server();
        platform::SimAccount me;
        me.loginName = "me";
        me.password = "pw";
        server.AddAccount(me);
        platform::SimDirectory directory;
        directory.units.push_back({"big", "大部门", "", {}});
        for (int n = 0; n < kUnitPersons; ++n) {
            directory.units[0].persons.push_back(
                {"p" + std::to_string(n) + "$gov@" + server.HostName(),
                 "职员" + std::to_string(n)});
        }
        server.SetDirectory(std::move(directory));
        world.simSession().Init(nullptr, nullptr, std::this_thread::get_id());
        world.simSession().Login("me", "pw", 1, "", 0);
        while (platform::NotifyRecord* record = world.simSession().GetNotify()) {
            world.simSession().FreeNotify(record);
        }
        for (int n = 0; n < kRosterUsers; ++n) {
            const std::string group = "g" + std::to_string(n % kRosterGroups);
            roster.users.push_back({"user" + std::to_string(n) + "$gov@im.example",
                                    "用户" + std::to_string(n), "iqRosterTop," + group});
        }
        for (int g = 0; g < kRosterGroups; ++g) {
            const std::string id = "g" + std::to_string(g);
            roster.groups.push_back({id, "分组" + id, ""});
        }
        roster.nameSpace = std::string(platform::kRosterNameSpace);
    }
    ~World() {
        world.simSession().Logout();
        context().SetWindowManager(nullptr);
    }
    core::ClientContext& context() { return world.context(); }

    testing_support::TempDir common;
    testing_support::TempDir app;
    core::TestClientWorld world{core::WorldFolders{common.str(), app.str()}};
    core::IdleWindowManager manager;
    platform::ContactListData roster;
};

World& TheWorld() {
    static World world;
    return world;
}

void BM_CopyRosterList(benchmark::State& state) {
    const platform::ContactListData& roster = TheWorld().roster;
    for (auto _ : state) {
        platform::ContactListData copy = roster;
        benchmark::DoNotOptimize(copy.users.data());
    }
    state.SetItemsProcessed(state.iterations() * kRosterUsers);
}
BENCHMARK(BM_CopyRosterList)->Unit(benchmark::kMillisecond);

void BM_BuildFromListOf50000Users(benchmark::State& state) {
    World& world = TheWorld();
    for (auto _ : state) {
        CIMTree tree(world.context(), 1, "好友", 0);
        tree.topKind = std::string(contacts::kRosterTop);
        const contacts::BuildOutcome outcome =
            contacts::BuildFromList(world.context(), tree, world.roster, tree.topKind);
        benchmark::DoNotOptimize(outcome.nodesPlaced);
        state.PauseTiming();  // the tree's destruction is not the build
        tree.DeleteAllItemData();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRosterUsers);
}
BENCHMARK(BM_BuildFromListOf50000Users)->Unit(benchmark::kMillisecond);

void BM_ReadUnitOf5000FromStore(benchmark::State& state) {
    World& world = TheWorld();
    // The engine stores the unit once, as an opening does.
    os::Event done(world.context().clock, os::EventReset::Manual);
    world.context().session.RequestGroupChildren({}, "organizeTop,big", nullptr, 2000, &done, 0, 0);
    for (auto _ : state) {
        CGroupChildList children;
        std::unique_ptr<CClientDB> store = world.context().OpenUserStore();
        store->GetGroupChildren("organizeTop,big", children);
        benchmark::DoNotOptimize(children.data());
    }
    state.SetItemsProcessed(state.iterations() * kUnitPersons);
}
BENCHMARK(BM_ReadUnitOf5000FromStore)->Unit(benchmark::kMillisecond);

void BM_OpenUnitOf5000Persons(benchmark::State& state) {
    World& world = TheWorld();
    for (auto _ : state) {
        state.PauseTiming();
        CIMTree tree(world.context(), 1, "组织机构", 0);
        tree.topKind = "organizeTop";
        auto item = contacts::CIMTreeItemData::ForGroup(
            std::make_unique<contacts::CGroup>("big", "大部门", "", "organizeTop,big"));
        contacts::CIMTreeItemData* unit = tree.AddItemData(item);
        const os::TreeItem node = tree.InsertGroupItem(unit->group(), os::kTreeRoot, os::kTreeLast);
        state.ResumeTiming();
        benchmark::DoNotOptimize(contacts::ExpandDirectoryNode(world.context(), tree, node, 0, 0));
        state.PauseTiming();
        tree.DeleteAllItemData();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kUnitPersons);
}
BENCHMARK(BM_OpenUnitOf5000Persons)->Unit(benchmark::kMillisecond);

}  // namespace
