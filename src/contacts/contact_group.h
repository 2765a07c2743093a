#pragma once
// CGroup: a group node of a contact tree (buddy group, phone-book group, organisation unit).
//
// A group keeps the users shown anywhere below it, for its title "name (online/total)".
// The tree adds and removes them as users get and lose their nodes; a member whose presence
// changes tells the group itself (CUser::SetPresence, the one way a presence word changes).
// Every member entry remembers whether it is counted online, so the online count always
// equals the number of entries counted online, and a full recount (RecountOnline) finds the
// same number.
//
// The user list and both counts are guarded by the group's own lock; every operation here
// takes it. A user that is destroyed leaves every group listing it, and a group that is
// destroyed lets go of its users. One user joins and leaves groups from one thread at a
// time (the tree's, under its data lock).

#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace contacts {

class CIMTreeItemData;
class CUser;
struct GroupListing;

// How a group title shows its counts (the OnlineUserInfoFormatInGroupTitle setting).
enum class OnlineTitleForm { Numbers, Words };

// Group title modes: kTitleTotalOnly shows "name (total)" (trees without presence).
inline constexpr int kTitleTotalOnly = 1;

class CGroup {
  public:
    using LogSink = std::function<void(int level, std::string_view text)>;

    CGroup(std::string id, std::string name, std::string parentId, std::string pathKey);
    CGroup(const CGroup&) = delete;
    CGroup& operator=(const CGroup&) = delete;
    ~CGroup();

    const std::string& pathKey() const { return pathKey_; }
    // Changes the path key; the tree holding this group finds it by the new one from then on.
    void SetPathKey(std::string pathKey);

    // Enter and leave the user-list lock (recursive). A failure to enter is logged as
    // "CGroup::LockUserList异常" and the caller goes on; LockUserList answers whether it got
    // the lock, and UnlockUserList must be called only when it did.
    bool LockUserList();
    void UnlockUserList();

    // Appends a user (a pointer may be listed more than once; each entry counts).
    void AddUser(CUser* user);
    // Removes one entry of `user`; no entry: no effect.
    void RemoveUser(CUser* user);
    // Recounts the entries of `user` after its presence changed; false when it is no member.
    bool RefreshOnline(const CUser* user);
    // Recounts every entry from its user's presence word.
    void RecountOnline();

    // The title: the name alone while the group has no users; "name (total)" in mode 1;
    // otherwise "name (online/total)" or "name (在线N人/共M人)". Refreshes totalCount.
    std::string GetDisplayText(int mode, OnlineTitleForm form);

    // The members, in the order they were added.
    std::vector<CUser*> Users();
    int UserCount();
    int OnlineCount();
    // As last refreshed by GetDisplayText.
    int TotalCount();

    void SetLogSink(LogSink sink) { log_ = std::move(sink); }

    // The item data holding this group, if a tree holds it.
    CIMTreeItemData* holder() const { return holder_; }

    std::string id;
    std::string name;
    std::string parentId;
    std::int32_t reservedFlag = 0;
    std::uint32_t childrenLoaded = 0;
    std::int32_t childSortMode = 0;
    std::int32_t orderIndex = 0;

  private:
    friend class CIMTreeItemData;

    // The user list holds one pointer per entry; a removed entry leaves a hole (null) until
    // the list is compacted. Each user knows the slots of its entries and whether each is
    // counted online (CUser::listedIn_), so removing or recounting one never searches the
    // list, and an entry costs the list 8 bytes.

    // Takes the lock for a scope; goes on without it when it cannot be had.
    class Guard;

    static bool CountsOnline(const CUser& user);
    // The first live entry of `user` in this list (the lowest slot), or npos.
    std::size_t FirstSlotOf(const CUser& user) const;
    // The listing of `user` for the entry in `slot`.
    GroupListing* ListingOf(CUser& user, std::size_t slot) const;
    // Drops the holes once they outnumber the entries, telling each moved user its new slot.
    void CompactIfSparse();

    std::string pathKey_;
    std::recursive_mutex lock_;
    std::vector<CUser*> members_;
    std::size_t holes_ = 0;
    int onlineCount_ = 0;
    int totalCount_ = 0;
    LogSink log_;
    CIMTreeItemData* holder_ = nullptr;
};

}  // namespace contacts
