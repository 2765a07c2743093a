#pragma once
// The client's three contact caches around the tree's own SaveTree / LoadTree: which tree
// writes which file, the fallback when a cache cannot be read, the save at log-out and the
// clearing of the cache files from the settings dialog.
//
//   tree          file (in the user folder)                      a broken cache asks for
//   buddy list    PrivateContactFloderGovTitle + ".tree"          RefreshRoster(2)
//   phone book    TelContactTitle + ".tree"                       RefreshTelContactTop(2)
//   directory     WorkContactFloderOrganizeTitle + ".tree"        RequestOrganizeList(kind, 2)

#include <optional>
#include <string>
#include <string_view>

namespace config {
struct ClientConfig;
}
namespace core {
class ClientContext;
}

namespace contacts {

class CIMTree;
class ContactTrees;

enum class CachedTree { BuddyList, PhoneBook, Directory };

// The title that names the tree's cache file.
const std::string& CacheTitle(CachedTree which, const config::ClientConfig& config);
// The tree's cache file in the logged-in user's folder; nothing without one.
std::optional<std::string> CacheFileOf(CachedTree which, const core::ClientContext& context);

// Reads the tree from its cache file when the file exists. True when the tree now holds the
// cache (the caller builds its nodes and asks the server whether it is current). A file that
// cannot be read is logged with the tree's text and deleted, the tree is emptied and the
// server is asked for the whole list (`organizeListKind` is passed through for the
// directory); false then, as when there is no file.
bool LoadCachedTree(CIMTree& tree, CachedTree which, core::ClientContext& context,
                    int organizeListKind = 0);

// The trees that have cache files: the first buddy list and phone book by their top kind, the
// directory by its name (WorkContactFloderOrganizeTitle). Null where the client has none.
struct CachedTrees {
    CIMTree* buddyList = nullptr;
    CIMTree* phoneBook = nullptr;
    CIMTree* directory = nullptr;
};
CachedTrees FindCachedTrees(const ContactTrees& trees, const config::ClientConfig& config);

// Saves the buddy list, the phone book and the directory, in that order, each to its file
// (SaveTree: only what changed or has no file yet). Nothing without a user folder.
void SaveContactCaches(const CachedTrees& trees, core::ClientContext& context);

// The settings dialog's choice of caches to delete.
struct CacheClearChoice {
    bool loginHistory = false;  // "登录用户信息": the login history in the shared directory
    bool publicDirectories = false;  // "公共通讯录缓存": business, department, organisation
    bool personalContacts = false;   // "个人通讯录缓存": buddy list and phone book
};
// Deletes the chosen files (missing ones are skipped; the login history is the file
// `loginHistoryFile` of the shared directory) and answers the chosen boxes' labels, one after
// another; empty when nothing was chosen.
std::string ClearCacheFiles(const CacheClearChoice& choice, const core::ClientContext& context,
                            std::string_view loginHistoryFile);

}  // namespace contacts
