#pragma once
// The contact cache files (".tree"): each contact tree is written to the user folder at
// log-out and read back at the next login, before the server is asked what changed.
//
// File: version 5 (DWORD), the tree's cacheStamp (string), the item count (DWORD), then per
// item its kind (DWORD: 0 group, 1 user) and its record (cache_archive.h has the encodings):
//   group  id, name, parentId, pathKey
//   user   industry, fax, groupId, jid, mail, shortNumber, name, aux2, unit, duty,
//          displayText, presence, subscription, mobile, extension, title, workPhone, phone2,
//          phone3, phone4, extra1, extra2, vcardText[0..12], signature, extra3, extra4,
//          photoType, photoData, groupKey (41 strings), then vcardFlags (DWORD).
// Items come in the tree's item-data order. A user is stored as offline (see SaveTree), so a
// tree read from its cache shows everyone but SMS recipients offline until the server speaks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "contacts/cache_archive.h"

namespace core {
class ClientContext;
}
namespace os {
class Clock;
}

namespace contacts {

class CGroup;
class CIMTree;
class CUser;

inline constexpr std::uint32_t kCacheVersion = 5;
inline constexpr std::string_view kCacheExtension = ".tree";

// One record each way (the archive says which). Loading a user sets its JID through SetJid.
void Serialize(CacheArchive& archive, CGroup& group);
void Serialize(CacheArchive& archive, CUser& user);

// The whole file of `tree`: header and every item with a payload (an item without one is
// logged and left out of the file and its count). Storing rewrites each non-SMS user as
// offline first: displayText "<name> [离线]", presence "offline". Throws BrokenCacheFile when
// the tree's data lock could not be had.
std::string StoreTree(CIMTree& tree, core::ClientContext& context);

// `folder` + `title` + ".tree"; nothing when the title cannot name a file in the folder.
std::optional<std::string> CacheFilePath(std::string_view folder, std::string_view title);
// The same in the logged-in user's folder; nothing without one.
std::optional<std::string> CacheFilePath(const core::ClientContext& context,
                                         std::string_view title);

// Writes the cache of `tree` to `path` in the user's folder, creating that folder when it is
// missing. Does nothing when the file exists and the tree is not dirty; dirty stays as it
// was. The file is replaced whole or not at all. A failure is logged; false then.
bool SaveTree(CIMTree& tree, core::ClientContext& context, const std::string& path);

// Replaces the item data of `tree` with the file's items (without nodes) and its cacheStamp
// with the file's. A file that cannot be read, has another version, an unknown item kind, no
// items or ends early leaves the tree empty with an empty cacheStamp and throws
// BrokenCacheFile.
void LoadTree(CIMTree& tree, core::ClientContext& context, const std::string& path);

}  // namespace contacts
