#pragma once
// CIMTree: a tree control holding one list of people (the buddy list, the private phone
// book, an organisation directory) with the model behind its nodes.
//
// Model. The tree owns its item data (CIMTreeItemData, each owning a CGroup or a CUser) in
// arrival order. Items are created first and given nodes afterwards: InsertGroupItem and
// InsertUserItem make the node of an item the tree holds, and the node's item parameter
// leads back to it (GetItemData). Group nodes carry titles with counts; user nodes the
// user's display text and presence icon.
//
// Counting. With groupCounting set, every user node is listed in every ancestor group
// (CGroup's user list), so each group title counts the users anywhere below it. Adding or
// removing a user touches only its ancestors. A presence word changes in one place,
// CUser::SetPresence, whichever path it takes (a notification, an assigned copy, a cache
// save setting users offline): each group listing the user recounts its entry there, and the
// tree retitles the user's ancestors, so every count equals a full recount. Roots whose parentId is
// "02" or "07" are titled from the server's root query while QueryRootOnlineNumInterval is not -1,
// so local counting leaves their titles alone.
//
// Locking. Every tree of the process shares the one named mutex "IMTRee_data_Mutex" that
// guards the item data. Each operation that reads or changes item data takes it, waiting at
// most 1000 ms; on a time-out the operation changes nothing, logs and answers failure (null,
// 0, false). The lock is recursive, so ItemDataLock lets a caller hold it across several
// calls. Nodes, like every window's model, belong to the UI thread.
//
// The JID and path-key indexes find users and groups without walking the list (FindUser keeps
// its meaning: the first match in item-data order). They follow every add, remove and clear,
// and the JID or path-key changes made through CUser::SetJid and CGroup::SetPathKey.
// FindUserNode finds the nodes made by InsertUserItem.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "contacts/contact_group.h"
#include "contacts/contact_user.h"
#include "contacts/item_data_list.h"
#include "contacts/presence_table.h"
#include "contacts/tree_item_data.h"
#include "contacts/tree_order.h"
#include "os/controls/tree_control.h"
#include "os/sys/clock.h"
#include "platform/jid/jid.h"
#include "platform/session/notify_record.h"

struct CContactPersonInfo;

namespace os {
class NamedMutex;
class Window;
}  // namespace os
namespace core {
class ClientContext;
}

namespace contacts {

// Top kinds of the two personal trees; any other value names an organisation tree.
inline constexpr std::string_view kRosterTop = platform::kRosterTopKind;
inline constexpr std::string_view kPhoneBookTop = platform::kPhoneBookTopKind;

inline constexpr std::string_view kTreeDataMutexName = "IMTRee_data_Mutex";
inline constexpr os::Millis kTreeDataLockWaitMs = 1000;

enum class CountChange { Add, Remove };
enum class ScrollSkin { Plain, Skinned };

// The tree's option bytes.
struct TreeOptions {
    bool showAddress = false;      // SMS recipients shown as "name( jid )"
    bool groupCounting = true;     // ancestor groups keep user lists and counts
    bool renameFromVcard = false;  // vCard names replace tree names
    bool nameCheck = false;        // a vCard name that differs is reported
};

class CIMTree : public os::TreeControl, private CIMTreeItemData::KeyListener {
  public:
    // `countMode` kTitleTotalOnly: titles show only the total and online counting is off.
    CIMTree(core::ClientContext& context, int controlId, std::string treeName, int countMode);
    ~CIMTree() override;

    // Makes the tree a control of `parent`: visible, with the configured item height, and
    // the skinned scroll bar when asked. Answers the tree, owned by `parent`.
    static CIMTree* Create(os::Window& parent, core::ClientContext& context, std::string treeName,
                           int countMode, int controlId, ScrollSkin skin);

    // ---- Settings ----
    const std::string& treeName() const { return treeName_; }
    int countMode() const { return countMode_; }
    int itemHeight() const { return itemHeight_; }
    ScrollSkin scrollSkin() const { return scrollSkin_; }
    std::string topKind;
    TreeOptions options;
    // Copied into each group's childSortMode when it gets its node; orders top-level users;
    // non-zero orders groups by name.
    int topSortMode = kSortByArrival;
    // When false, sorting requests are ignored.
    bool sortEnabled = true;
    std::int32_t loadedCount = 0;
    std::string cacheStamp;
    os::TreeItem hotItem = os::kNoTreeItem;
    // Per group key, the state of the request for that group's children.
    std::map<std::string, int> requestState;

    // Set by every change of the model; the cache is written only when set.
    bool dirty() const { return dirty_.load(); }
    void SetDirty(bool dirty) { dirty_.store(dirty); }
    // True while DeleteAllItemData runs (node notifications then concern no live data).
    bool clearing() const { return clearing_.load(); }

    // Told once when the tree is destroyed (its window goes), so whoever lists it lets go.
    void SetDestroyHandler(std::function<void(CIMTree&)> handler) {
        onDestroy_ = std::move(handler);
    }

    // ---- Item data ----
    // Holds the shared data lock for a scope (waiting at most 1000 ms); owns() tells whether
    // it was had.
    class ItemDataLock {
      public:
        explicit ItemDataLock(CIMTree& tree);
        ~ItemDataLock();
        ItemDataLock(const ItemDataLock&) = delete;
        ItemDataLock& operator=(const ItemDataLock&) = delete;
        bool owns() const { return owns_; }

      private:
        os::NamedMutex* mutex_;
        bool owns_;
    };

    // Appends `item` and answers it; `item` is left empty. Null when the lock could not be
    // had: `item` then stays with the caller.
    CIMTreeItemData* AddItemData(std::unique_ptr<CIMTreeItemData>& item);
    // Deletes the item's node (see DeleteItemNode), then the item with its payload. False
    // when the item is not this tree's or the lock could not be had.
    bool RemoveItemData(CIMTreeItemData* item);
    // Deletes every node and every item data. False (nothing changed) when the lock could
    // not be had.
    bool DeleteAllItemData();
    std::size_t ItemDataCount();
    // Room for `count` more items (a cache about to be read) without the indexes growing.
    void ReserveItemData(std::size_t count);
    // Visits every item data in order with the lock held (the visitor adds and removes
    // none); false when the lock could not be had.
    bool ForEachItemData(const std::function<void(CIMTreeItemData&)>& visit);

    // The node an item data of this tree was given, or 0 (none yet).
    os::TreeItem NodeOf(const CIMTreeItemData& item) const { return item.node_; }
    // The node's item data, or null (no node, no item parameter, or not this tree's).
    CIMTreeItemData* GetItemData(os::TreeItem node);
    // The node's payload of that kind, or null.
    CUser* UserOf(os::TreeItem node);
    CGroup* GroupOf(os::TreeItem node);

    // ---- Finding ----
    // The first user in item-data order whose JID matches and, when `groupKey` is not empty,
    // whose groupKey equals it.
    CUser* FindUser(std::string_view jid, std::string_view groupKey, platform::JidMatch match);
    // Every user whose JID matches, in item-data order.
    std::vector<CUser*> FindUsers(std::string_view jid, platform::JidMatch match);
    // The first group whose pathKey equals `pathKey`.
    CGroup* FindGroup(std::string_view pathKey);
    // The child of `parent` (0 or kTreeRoot: the top level) showing a user with exactly this
    // JID (case counts), or 0.
    os::TreeItem FindUserNode(os::TreeItem parent, std::string_view jid);
    // JID equality with the session engine's user types.
    bool IsSameUser(std::string_view a, std::string_view b, platform::JidMatch match) const;
    bool IsSmsRecipient(const CUser& user) const;

    // ---- Nodes ----
    // Gives a group of this tree its node, titled, with childSortMode = topSortMode.
    os::TreeItem InsertGroupItem(CGroup* group, os::TreeItem parent, os::TreeItem after);
    // Gives a user of this tree its node under `parent` after `after` (kTreeLast ...): its
    // text and icon, then the counts of every ancestor. Nothing is inserted (0) when the
    // parent already shows a user with the same JID, or the user is not this tree's.
    os::TreeItem InsertUserItem(CUser* user, os::TreeItem parent, os::TreeItem after);
    // Deletes the item's node: a user leaves the counts of its ancestors; a group goes with
    // its whole subtree, whose users leave every count. The items stay, without nodes.
    void DeleteItemNode(CIMTreeItemData* item);

    // The text and icon a user's node shows: an SMS recipient its name (and JID with
    // showAddress) and icon 5; anyone else the display text and the presence icon.
    std::string UserNodeText(const CUser& user) const;
    int UserNodeImage(const CUser& user) const;

    // ---- Counting ----
    // Adds the user to (or removes it from) every ancestor group of `node`, and retitles them.
    void UpdateGroupCounts(os::TreeItem node, CUser* user, CountChange change);
    // Recounts every ancestor group of `node` from its users' presence and retitles it.
    void RecountAncestors(os::TreeItem node);
    // The group title for this tree's settings.
    std::string GroupTitle(CGroup& group, int mode) const;

    // ---- Order and presence ----
    // Orders the children of `node` (0 or kTreeRoot: the top level); see tree_order.h. Reads
    // every child's sort key afresh and remembers them with the order.
    void SortChildren(os::TreeItem node);
    using os::TreeControl::SortChildren;
    // A presence word arrived for a user of this tree (CUser::SetPresence does the same): its
    // text, icon, place among its siblings and the counts of its ancestors follow. The same
    // word again changes nothing. A user no tree holds takes the word and its display text.
    // While the siblings stand as they were last sorted, only this user's key is read again
    // and the user alone moves; a sibling's name or order index changed behind the tree's
    // back counts from the next SortChildren (vCard renames through the tree count at once).
    // While sorting is off the remembered order is dropped, so the next sort reads every key.
    void SetUserPresence(CUser* user, std::string_view word);

    // Every user below `node` (0 or kTreeRoot: the whole tree), depth first, appended.
    void CollectUsers(os::TreeItem node, std::vector<CUser*>& users);

    // A person's vCard arrived: every user whose JID equals its JID takes its fields. With
    // nameCheck, a placed user whose name differs from the vCard's becomes the hot item and
    // the window manager is told once (OnContactNameDiffers). Answers how many users took it.
    int ApplyPersonVcard(const CContactPersonInfo& vcard);

    const PresenceTable& presenceTable() const { return presence_; }
    SignatureRule signatureRule() const;

  private:
    class Locked;

    void OnJidChanged(CIMTreeItemData& item, std::string_view previous) override;
    void OnPathKeyChanged(CIMTreeItemData& item, std::string_view previous) override;
    // The user's presence word changed: its node, its place and its ancestors' titles follow.
    // On a lock time-out the node stays as it was (the counts are already right).
    void OnPresenceChanged(CIMTreeItemData& item) override;

    void Log(int level, std::string_view text) const;
    void LogLockTimeOut(std::string_view operation) const;
    bool TitledByServer(const CGroup& group) const;
    OnlineTitleForm TitleForm() const;

    // ---- Called with the lock held ----
    CIMTreeItemData* ItemOfNode(os::TreeItem node) const;
    os::TreeItem FindUserNodeLocked(os::TreeItem parent, std::string_view jid);
    void UpdateGroupCountsLocked(os::TreeItem node, CUser* user, CountChange change);
    void RetitleAncestorsForPresence(os::TreeItem node);
    void DeleteItemNodeLocked(CIMTreeItemData& item);
    void DetachUserNode(os::TreeItem node, CUser& user);
    // Sorts the children of `parent`; `changed` (a child, or 0) is the one child whose key
    // may have changed since the children were last in order.
    void OrderChildren(os::TreeItem parent, os::TreeItem changed);
    // The shortcut for one changed child of children sorted earlier; false when the
    // children are no longer as they were sorted (the caller then sorts them afresh).
    bool RepositionChild(os::TreeItem parent, os::TreeItem changed, const OrderRule& rule);
    // Puts the children of `parent` (each with item data) in this order.
    void ApplyOrder(os::TreeItem parent, const std::vector<os::TreeItem>& ordered);
    // Forgets the sorted state of the nodes in the subtree of `node` (0: of every node).
    void ForgetOrder(os::TreeItem node);
    ChildKey KeyOf(os::TreeItem node, int userMode) const;
    OrderRule RuleFor(os::TreeItem parent) const;

    // The hash of (parent, JID) that userNodes_ files a user node under.
    static std::uint64_t NodeKey(os::TreeItem parent, std::string_view jid);
    // Files `node` under `key`, in place of what that key named.
    void RememberUserNode(std::uint64_t key, os::TreeItem node);
    void ForgetUserNode(std::uint64_t key, os::TreeItem node);
    os::TreeItem Normal(os::TreeItem parent) const;

    core::ClientContext& context_;
    const std::string treeName_;
    const int countMode_;
    int itemHeight_ = 0;
    ScrollSkin scrollSkin_ = ScrollSkin::Plain;
    PresenceTable presence_;
    platform::UserTypeOf userTypeOf_;
    std::unique_ptr<os::NamedMutex> dataMutex_;
    ItemDataList items_;
    // Hash of (parent, JID) -> the user nodes InsertUserItem made there; every hit is
    // checked against the node's own parent and JID, so two pairs of one hash stay apart.
    std::unordered_multimap<std::uint64_t, os::TreeItem> userNodes_;
    std::vector<std::uint32_t> rankScratch_;
    // Per parent node (0 = the top level), the order its children were last given.
    std::unordered_map<os::TreeItem, SortedChildren> sortedChildren_;
    std::atomic<bool> dirty_{false};
    std::atomic<bool> clearing_{false};
    std::function<void(CIMTree&)> onDestroy_;
};

}  // namespace contacts
