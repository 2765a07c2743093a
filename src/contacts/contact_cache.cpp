#include "contacts/contact_cache.h"

#include <algorithm>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "contacts/tree_item_data.h"
#include "core/client_context.h"
#include "core/user_folder.h"
#include "os/services/log.h"
#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"

namespace contacts {

namespace {

constexpr std::uint32_t kGroupRecord = 0;
constexpr std::uint32_t kUserRecord = 1;
constexpr int kMissingPayloadLogLevel = 7;
constexpr int kUnknownKindLogLevel = 0;
constexpr const char* kSaveFailedText = "保存树信息异常！CIMTree::SaveTree.Serialize";

// A user record's texts in file order: `own(field)` for each text of the user itself,
// `detail(field)` for each of its details, `jid()` and `presence()` where those two stand.
template <typename User, typename Details, typename Own, typename Detail, typename Jid,
          typename Presence>
void ForEachUserText(User& user, Details& d, Own own, Detail detail, Jid jid, Presence presence) {
    detail(d.industry);
    detail(d.fax);
    own(user.groupId);
    jid();
    detail(d.mail);
    detail(d.shortNumber);
    own(user.name);
    detail(d.aux2);
    detail(d.unit);
    detail(d.duty);
    own(user.displayText);
    presence();
    own(user.subscription);
    detail(d.mobile);
    detail(d.extension);
    detail(d.title);
    detail(d.workPhone);
    detail(d.phone2);
    detail(d.phone3);
    detail(d.phone4);
    detail(d.extra1);
    detail(d.extra2);
    for (auto& vcardText : d.vcardText) detail(vcardText);
    detail(d.signature);
    detail(d.extra3);
    detail(d.extra4);
    detail(d.photoType);
    detail(d.photoData);
    own(user.groupKey);
}

void StoreUser(CacheArchive& archive, const CUser& user) {
    const auto put = [&](const auto& field) { archive.Put(std::string_view(field)); };
    ForEachUserText(
        user, user.details(), put, put, [&] { archive.Put(user.GetJid()); },
        [&] { archive.Put(user.presence()); });
    archive.Put(static_cast<std::uint32_t>(user.vcardFlags));
}

// The texts of one user record, as views of the file's bytes, in file order.
struct UserRecordTexts {
    static constexpr std::size_t kCount = 41;
    std::string_view texts[kCount];
    bool anyDetail = false;
};

// The texts of the record read before, by field. The users of one unit come one after
// another with the unit's key, id and often more alike (the unit's name, a duty): a text
// equal to the one the previous record had in the same field shares its buffer, for the
// cost of one comparison.
class PreviousRecordTexts {
  public:
    SharedText Share(std::size_t field, std::string_view text) {
        if (text.empty()) return SharedText();
        SharedText& kept = kept_[field];
        if (kept != text) kept = SharedText(text);
        return kept;
    }

  private:
    SharedText kept_[UserRecordTexts::kCount];
};

// Reads the record's texts and its DWORD; nothing is made yet.
std::uint32_t TakeUserRecord(CacheArchive& archive, UserRecordTexts& record) {
    std::size_t next = 0;
    const auto take = [&](const auto&) { record.texts[next++] = archive.TakeText(); };
    const auto detail = [&](const SharedText&) {
        record.texts[next] = archive.TakeText();
        record.anyDetail = record.anyDetail || !record.texts[next].empty();
        ++next;
    };
    // Only the order of the fields is walked: empty stand-ins of the user's own and of its
    // details.
    struct OwnTexts {
        SharedText groupId, subscription, groupKey;
        std::string name, displayText;
    };
    static const OwnTexts kOwn;
    static const UserDetails kDetails;
    const auto place = [&] { record.texts[next++] = archive.TakeText(); };
    ForEachUserText(kOwn, kDetails, take, detail, place, place);
    return archive.TakeDword();
}

// Builds the user from its record. The block of details is made only when one of them is
// set, so a user whose record has none stays as small as a new one.
void FillUser(const UserRecordTexts& record, std::uint32_t flags, CUser& user,
              PreviousRecordTexts& previous) {
    std::size_t next = 0;
    const auto own = [&](auto& field) {
        const std::string_view text = record.texts[next];
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(field)>, SharedText>) {
            field = previous.Share(next, text);
        } else {
            field.assign(text);
        }
        ++next;
    };
    const auto detail = [&](SharedText& field) {
        field = previous.Share(next, record.texts[next]);
        ++next;
    };
    const auto skip = [&](const SharedText&) { ++next; };
    const auto jid = [&] { user.SetJid(std::string(record.texts[next++])); };
    const auto presence = [&] { user.SetPresence(record.texts[next++]); };
    if (record.anyDetail) {
        // A block of its own, whatever the user held before: fields a file does not hold
        // read empty.
        UserDetails& d = user.ResetDetails();
        ForEachUserText(user, d, own, detail, jid, presence);
        // The mobile is kept without trailing blanks.
        const std::string_view mobile = d.mobile.view();
        const std::size_t kept = mobile.find_last_not_of(' ');
        if (kept + 1 != mobile.size()) {
            d.mobile =
                kept == std::string_view::npos ? std::string_view() : mobile.substr(0, kept + 1);
        }
    } else {
        ForEachUserText(user, user.details(), own, skip, jid, presence);
    }
    user.vcardFlags = static_cast<std::int32_t>(flags);
}

void LoadUser(CacheArchive& archive, CUser& user, PreviousRecordTexts& previous) {
    UserRecordTexts record;
    const std::uint32_t flags = TakeUserRecord(archive, record);
    FillUser(record, flags, user, previous);
}

// One item record of a file being read.
std::unique_ptr<CIMTreeItemData> LoadItem(CacheArchive& archive, core::ClientContext& context,
                                          PreviousRecordTexts& previous) {
    std::uint32_t kind = 0;
    archive.Exchange(kind);
    if (kind == kUserRecord) {
        std::unique_ptr<CUser> user = CUser::ForRecord(context.clock);
        LoadUser(archive, *user, previous);
        return CIMTreeItemData::ForUser(std::move(user));
    }
    if (kind == kGroupRecord) {
        auto group = std::make_unique<CGroup>("", "", "", "");
        Serialize(archive, *group);
        return CIMTreeItemData::ForGroup(std::move(group));
    }
    context.log.WriteLog2(kUnknownKindLogLevel,
                          "读取本地联系人时未知类型: CIMTreeItemData::Serialize ");
    throw BrokenCacheFile("unknown item kind");
}

}  // namespace

void Serialize(CacheArchive& archive, CGroup& group) {
    archive.Exchange(group.id);
    archive.Exchange(group.name);
    archive.Exchange(group.parentId);
    std::string pathKey = archive.IsStoring() ? group.pathKey() : std::string();
    archive.Exchange(pathKey);
    if (!archive.IsStoring()) group.SetPathKey(std::move(pathKey));
}

void Serialize(CacheArchive& archive, CUser& user) {
    if (archive.IsStoring()) {
        StoreUser(archive, user);
        return;
    }
    PreviousRecordTexts previous;
    LoadUser(archive, user, previous);
}

std::string StoreTree(CIMTree& tree, core::ClientContext& context) {
    CacheArchive items = CacheArchive::ForStoring();
    std::uint32_t count = 0;
    const bool visited = tree.ForEachItemData([&](CIMTreeItemData& item) {
        if (!item.hasPayload()) {
            context.log.WriteLog2(kMissingPayloadLogLevel,
                                  "CIMTreeItemData::Serialize param is NULL!");
            return;
        }
        std::uint32_t kind = kGroupRecord;
        if (CUser* user = item.user()) {
            kind = kUserRecord;
            if (!tree.IsSmsRecipient(*user)) {
                // The setter lets the holding tree retitle the node, so the text comes after.
                user->SetPresence("offline");
                user->displayText = os::Format("%s [%s]", user->name.c_str(), "离线");
            }
            items.Exchange(kind);
            Serialize(items, *user);
        } else {
            items.Exchange(kind);
            Serialize(items, *item.group());
        }
        ++count;
    });
    if (!visited) throw BrokenCacheFile("the tree's data lock was not had");

    CacheArchive file = CacheArchive::ForStoring();
    std::uint32_t version = kCacheVersion;
    file.Exchange(version);
    std::string stamp = tree.cacheStamp;
    file.Exchange(stamp);
    file.Exchange(count);
    std::string bytes = file.TakeBytes();
    bytes += items.bytes();
    return bytes;
}

std::optional<std::string> CacheFilePath(std::string_view folder, std::string_view title) {
    std::string name(title);
    name += kCacheExtension;
    // The same rule as for the folder: the title must name a file inside it.
    if (folder.empty() || !core::IsUsableFolderName(name)) return std::nullopt;
    return std::string(folder) + name;
}

std::optional<std::string> CacheFilePath(const core::ClientContext& context,
                                         std::string_view title) {
    const std::optional<std::string> folder = context.CurrentUserFolder();
    if (!folder) return std::nullopt;
    return CacheFilePath(*folder, title);
}

bool SaveTree(CIMTree& tree, core::ClientContext& context, const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    if (!folder.empty() && !os::DirectoryExists(folder) && !os::CreateDirectories(folder)) {
        context.log.WriteLog(kSaveFailedText);
        return false;
    }
    if (os::FileExists(path) && !tree.dirty()) return true;
    try {
        // Written beside the old file and renamed over it: a failed save keeps the old cache.
        if (os::WriteFileAtomically(path, StoreTree(tree, context))) return true;
    } catch (const std::exception&) {
    }
    context.log.WriteLog(kSaveFailedText);
    return false;
}

void LoadTree(CIMTree& tree, core::ClientContext& context, const std::string& path) {
    tree.DeleteAllItemData();
    auto fail = [&](const char* why) {
        tree.DeleteAllItemData();
        tree.cacheStamp.clear();
        throw BrokenCacheFile(why);
    };

    std::string bytes;
    if (!os::ReadFile(path, bytes)) fail("cache file unreadable");

    // Every record is read before the tree takes any, so a broken file adds nothing.
    std::string stamp;
    std::vector<std::unique_ptr<CIMTreeItemData>> items;
    try {
        CacheArchive archive = CacheArchive::ForLoading(bytes);
        std::uint32_t version = 0;
        archive.Exchange(version);
        if (version != kCacheVersion) throw BrokenCacheFile("unknown cache version");
        archive.Exchange(stamp);
        std::uint32_t count = 0;
        archive.Exchange(count);
        // Never more records than bytes: a damaged count reserves nothing absurd.
        items.reserve(std::min<std::size_t>(count, archive.remaining()));
        PreviousRecordTexts previous;
        for (std::uint32_t i = 0; i < count; ++i) {
            items.push_back(LoadItem(archive, context, previous));
        }
    } catch (const BrokenCacheFile& broken) {
        items.clear();
        fail(broken.what());
    }
    if (items.empty()) fail("cache file holds no items");

    // Held across every add, so no other thread sees half a cache.
    const CIMTree::ItemDataLock lock(tree);
    if (!lock.owns()) fail("the tree's data lock was not had");
    tree.ReserveItemData(items.size());
    for (std::unique_ptr<CIMTreeItemData>& item : items) {
        if (tree.AddItemData(item) == nullptr) fail("the tree's data lock was not had");
    }
    tree.cacheStamp = std::move(stamp);
    tree.loadedCount = static_cast<std::int32_t>(items.size());
}

}  // namespace contacts
