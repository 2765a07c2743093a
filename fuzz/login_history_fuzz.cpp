// Feeds arbitrary bytes to the login history reader as the file "user.dat" (the first byte
// picks the layout: the full one or the mobile one of "usermobile.dat"). No input may crash
// or hang, what is read must keep the file's rules, and what is read must be saved and read
// back as itself. Run with -max_len=2097152 so slow growth on long files shows as slow units.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include "login/login_history.h"
#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"

namespace {

// A folder of its own on a memory file system, made once.
const std::string& Folder() {
    static const std::string folder = [] {
        char pattern[] = "/dev/shm/qorv-fuzz-history-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        return std::string(pattern) + "/";
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const login::HistoryLayout layout =
        size > 0 && (data[0] & 1) != 0 ? login::HistoryLayout::Mobile : login::HistoryLayout::Full;
    const std::string path = Folder() + "user.dat";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!os::WriteFileAtomically(path, bytes)) std::abort();

    login::LoginHistory history(path, layout);
    if (!history.Load()) std::abort();  // a regular file below the limit is always read
    std::set<std::string> names;
    for (const login::SavedAccount& account : history.accounts()) {
        if (account.name.empty()) std::abort();
        if (!names.insert(os::MakeLower(account.name)).second) std::abort();  // one per name
        if (account.aliases.size() > login::kMaxAliases) std::abort();
        if (layout == login::HistoryLayout::Mobile && account.aliases.size() > 1) std::abort();
        if (account.userKind != 1 && account.userKind != 2) std::abort();
        for (const std::string& alias : account.aliases) {
            if (alias.empty()) std::abort();
        }
    }

    // Saved and read again, every account comes back as it was read.
    if (!history.Save()) std::abort();
    login::LoginHistory again(path, layout);
    if (!again.Load() || again.accounts() != history.accounts()) std::abort();
    unlink(path.c_str());
    return 0;
}
