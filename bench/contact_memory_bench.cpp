// The memory an organisation tree takes for a directory of 100 000 persons (100 units of
// 1 000), filled the way a person fills it: the top loaded, then every unit opened. The
// counter "bytes_per_user" is the heap the tree holds once filled (glibc's count of bytes in
// use, chunk overhead included, before the tree is made and after it is full), divided by
// the number of persons: the users, their item data, their nodes, the indexes and every
// group's user list. The target is at most 400 bytes per user. The time is the filling.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "contacts/contact_group.h"
#include "contacts/directory_loader.h"
#include "contacts/im_tree.h"
#include "core/client_world.h"
#include "core/idle_window_manager.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "support/temp_dir.h"

namespace {

using contacts::CIMTree;

constexpr int kRoots = 10;
constexpr int kSubUnits = 9;    // per root: 10 roots + 90 sub-units = 100 units
constexpr int kPersons = 1000;  // per unit
constexpr int kUsers = (kRoots + kRoots * kSubUnits) * kPersons;

struct World {
    World() {
        context().SetWindowManager(&manager);
        platform::SimServer& server = world.server();
        platform::SimAccount me;
        me.loginName = "me";
        me.password = "pw";
        server.AddAccount(me);
        server.SetDirectory(
            platform::SimDirectory::Generate(server.HostName(), kRoots, 2, kSubUnits, kPersons));
        world.simSession().Init(nullptr, nullptr, std::this_thread::get_id());
        world.simSession().Login("me", "pw", 1, "", 0);
        while (platform::NotifyRecord* record = world.simSession().GetNotify()) {
            world.simSession().FreeNotify(record);
        }
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
};

World& TheWorld() {
    static World world;
    return world;
}

// Bytes the process's heap has handed out and not taken back, large blocks included.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Opens every unit below `node`, level by level, as a person expanding the whole tree.
void OpenAll(core::ClientContext& context, CIMTree& tree, os::TreeItem node) {
    std::vector<os::TreeItem> units;
    for (os::TreeItem child = node == os::kTreeRoot ? tree.GetRoot() : tree.GetChild(node);
         child != os::kNoTreeItem; child = tree.GetNextSibling(child)) {
        if (tree.GroupOf(child) != nullptr) units.push_back(child);
    }
    for (os::TreeItem unit : units) {
        contacts::ExpandDirectoryNode(context, tree, unit, 0, 0);
        OpenAll(context, tree, unit);
    }
}

void BM_DirectoryOf100000Users(benchmark::State& state) {
    World& world = TheWorld();
    double bytesPerUser = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const std::size_t before = HeapInUse();
        auto tree = std::make_unique<CIMTree>(world.context(), 1, "公共通讯录", 0);
        tree->topKind = "organizeTop";
        contacts::LoadDirectoryTop(world.context(), *tree, 0);
        OpenAll(world.context(), *tree, os::kTreeRoot);
        state.PauseTiming();
        const std::size_t after = HeapInUse();
        if (tree->ItemDataCount() != static_cast<std::size_t>(kUsers + kRoots * (kSubUnits + 1))) {
            state.SkipWithError("the directory did not fill");
        }
        bytesPerUser = static_cast<double>(after - before) / kUsers;
        tree.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_user"] = bytesPerUser;
    state.SetItemsProcessed(state.iterations() * kUsers);
}
BENCHMARK(BM_DirectoryOf100000Users)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
