// Feeds arbitrary bytes to LoadTree as a contact cache file. No input may crash; a file that
// is refused leaves the tree empty without a stamp, and one that is taken holds at least one
// item and reads back equal after it is written again.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "contacts/contact_cache.h"
#include "contacts/im_tree.h"
#include "core/client_world.h"

namespace {

// A folder of its own for the one file each run writes.
std::string FuzzFolder() {
    char pattern[] = "/tmp/qorv_load_tree_fuzz_XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    return std::string(pattern) + "/";
}

struct World {
    std::string folder = FuzzFolder();
    core::TestClientWorld world{core::WorldFolders{folder, folder}};
    std::string path = folder + "fuzz.tree";
    // Made once: a tree opens the shared data mutex, which costs more than a load. LoadTree
    // empties the tree first.
    contacts::CIMTree tree{world.context(), 1, "fuzz", 0};
    contacts::CIMTree again{world.context(), 2, "again", 0};
};

World& TheWorld() {
    static World* world = new World;  // outlives every run; never destroyed mid-exit
    return *world;
}

// A plain write: the atomic writer's flush to the disk would make every run slow.
bool WriteFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    World& w = TheWorld();
    core::ClientContext& context = w.world.context();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!WriteFile(w.path, bytes)) std::abort();

    contacts::CIMTree& tree = w.tree;
    try {
        contacts::LoadTree(tree, context, w.path);
    } catch (const contacts::BrokenCacheFile&) {
        if (tree.ItemDataCount() != 0 || !tree.cacheStamp.empty()) std::abort();
        return 0;
    }
    if (tree.ItemDataCount() == 0) std::abort();

    // What was taken is written again and read back the same (a store of a store is stable).
    const std::string once = contacts::StoreTree(tree, context);
    if (!WriteFile(w.path, once)) std::abort();
    contacts::CIMTree& again = w.again;
    contacts::LoadTree(again, context, w.path);
    if (again.ItemDataCount() != tree.ItemDataCount()) std::abort();
    if (contacts::StoreTree(again, context) != once) std::abort();
    return 0;
}
