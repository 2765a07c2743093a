#pragma once
// CIMTreeItemData: the record behind one node of a contact tree. It owns its payload, a
// CGroup (kind Group) or a CUser (kind User); the kind and the payload always agree. An item
// may lack its payload (a broken cache can hold one); every walk of a tree skips such items.
//
// A tree's item-data list (ItemDataList) owns the items; the bookkeeping fields below are
// the list's and the tree's.

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "os/controls/tree_control.h"

namespace contacts {

class CGroup;
class CUser;

enum class ItemKind : std::int32_t { Group = 0, User = 1 };

class CIMTreeItemData {
  public:
    static std::unique_ptr<CIMTreeItemData> ForGroup(std::unique_ptr<CGroup> group);
    static std::unique_ptr<CIMTreeItemData> ForUser(std::unique_ptr<CUser> user);
    // An item of `kind` without a payload.
    static std::unique_ptr<CIMTreeItemData> WithoutPayload(ItemKind kind);

    ~CIMTreeItemData();
    CIMTreeItemData(const CIMTreeItemData&) = delete;
    CIMTreeItemData& operator=(const CIMTreeItemData&) = delete;

    ItemKind kind() const { return kind_; }
    // The payload of that kind, or null.
    CGroup* group() const {
        return kind_ == ItemKind::Group ? static_cast<CGroup*>(payload_) : nullptr;
    }
    CUser* user() const {
        return kind_ == ItemKind::User ? static_cast<CUser*>(payload_) : nullptr;
    }
    bool hasPayload() const { return payload_ != nullptr; }

    // Set once the item has been given its node in the tree.
    bool placed = false;

    // Told when the JID of the user or the path key of the group changes, and when the
    // user's presence word changed.
    class KeyListener {
      public:
        virtual void OnJidChanged(CIMTreeItemData& item, std::string_view previous) = 0;
        virtual void OnPathKeyChanged(CIMTreeItemData& item, std::string_view previous) = 0;
        virtual void OnPresenceChanged(CIMTreeItemData& /*item*/) {}

      protected:
        ~KeyListener() = default;
    };

  private:
    friend class CUser;
    friend class CGroup;
    friend class ItemDataList;
    friend class KeyIndex;
    friend class CIMTree;

    explicit CIMTreeItemData(ItemKind kind);
    void JidChanged(std::string_view previous);
    void PathKeyChanged(std::string_view previous);
    void PresenceChanged();

    // A directory holds some 100 000 items: one owned payload pointer whose type the kind
    // gives, and the fields ordered so that none is padded.
    ItemKind kind_;
    void* payload_ = nullptr;  // the CGroup or the CUser, owned

    // ---- Kept by the list and the tree that hold the item ----
    KeyListener* listener_ = nullptr;
    // The hashes of the keys the list indexed the item under (a hit is checked against the
    // item's own key): a user's JID, exact and loose (once the loose index is built), and a
    // group's path key.
    std::uint64_t exactHash_ = 0;
    std::uint64_t looseHash_ = 0;
    std::uint64_t groupHash_ = 0;
    std::uint32_t id_ = 0;  // the node's item parameter; 0 = not in a list
    os::TreeItem node_ = os::kNoTreeItem;
};

}  // namespace contacts
