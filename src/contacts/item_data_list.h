#pragma once
// The item data of one contact tree, in arrival order, with the indexes that find a user by
// JID or a group by path key without walking the list. An organisation tree holds some
// 100 000 items and is searched once per user while it fills, so every look-up here is a
// hash probe and every change touches only the item's own index entries.
//
// Order: items keep the order they were appended in; each gets a growing id (the tree
// node's item parameter), so id order is list order. An index bucket lists its items in id
// order, and its first fitting entry is the first match in list order.
//
// JID look-ups: the exact index keys on Jid::ExactKey (hashed without making it); the loose
// index on Jid::LooseKey, built at the first loose look-up and kept from then on. Indexes
// hold 64-bit hashes of their keys, and every hit is checked against the key itself.
//
// Not thread-safe: the tree calls it with its data lock held.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "contacts/key_index.h"
#include "contacts/tree_item_data.h"
#include "platform/jid/jid.h"

namespace contacts {

class ItemDataList {
  public:
    // The items in list order: the id-ordered slots, skipping the slots of removed items.
    using Slots = std::vector<std::unique_ptr<CIMTreeItemData>>;
    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::unique_ptr<CIMTreeItemData>;
        using difference_type = std::ptrdiff_t;
        using pointer = const value_type*;
        using reference = const value_type&;
        const_iterator() = default;
        const_iterator(Slots::const_iterator at, Slots::const_iterator end) : at_(at), end_(end) {
            Skip();
        }
        reference operator*() const { return *at_; }
        pointer operator->() const { return &*at_; }
        const_iterator& operator++() {
            ++at_;
            Skip();
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator was = *this;
            ++*this;
            return was;
        }
        bool operator==(const const_iterator& other) const { return at_ == other.at_; }

      private:
        void Skip() {
            while (at_ != end_ && *at_ == nullptr) ++at_;
        }
        Slots::const_iterator at_;
        Slots::const_iterator end_;
    };

    explicit ItemDataList(platform::UserTypeOf userTypeOf);
    ~ItemDataList();
    ItemDataList(const ItemDataList&) = delete;
    ItemDataList& operator=(const ItemDataList&) = delete;

    // Appends an item that is in no list and answers it; `listener` is told of key changes.
    CIMTreeItemData* Append(std::unique_ptr<CIMTreeItemData> item,
                            CIMTreeItemData::KeyListener* listener);
    // Takes an item out and hands it back; null when it is not in this list.
    std::unique_ptr<CIMTreeItemData> Remove(CIMTreeItemData* item);
    void Clear();
    // Room for `count` more users without the indexes growing.
    void Reserve(std::size_t count);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const_iterator begin() const { return {byId_.begin(), byId_.end()}; }
    const_iterator end() const { return {byId_.end(), byId_.end()}; }

    bool Contains(const CIMTreeItemData* item) const;
    // The item with this id, or null.
    CIMTreeItemData* ById(std::uint32_t id) const;
    // Ids of the items now held lie in [firstId, firstId + idSpan).
    std::uint32_t firstId() const { return firstId_; }
    std::size_t idSpan() const { return byId_.size(); }

    // The first user (in list order) whose JID matches `jid` and, when `groupKey` is not
    // empty, whose groupKey equals it.
    CUser* FindUser(std::string_view jid, std::string_view groupKey, platform::JidMatch match);
    // Every user whose JID matches, in list order.
    std::vector<CUser*> FindUsers(std::string_view jid, platform::JidMatch match);
    // The first group whose path key equals `pathKey`.
    CGroup* FindGroup(std::string_view pathKey) const;

    // After the item's JID or path key changed: moves its index entries to the new key.
    void Reindex(CIMTreeItemData& item);

  private:
    // The users of list order whose JID matches, visited until `visit` answers true.
    template <typename Visit>
    void ForMatches(std::string_view jid, platform::JidMatch match, Visit visit);
    // The hash of Jid::ExactKey (ASCII letters outside double-byte characters folded).
    static std::uint64_t ExactHash(std::string_view jid);
    static std::uint64_t TextHash(std::string_view text);
    std::string LooseKey(std::string_view jid) const;
    void BuildLooseIndex();
    void IndexItem(CIMTreeItemData& item);
    void UnindexItem(CIMTreeItemData& item);

    platform::UserTypeOf userTypeOf_;
    // Owns the items: slot = id - firstId_; a removed item leaves its slot empty.
    Slots byId_;
    std::size_t size_ = 0;
    std::uint32_t firstId_ = 1;
    KeyIndex exact_;
    KeyIndex loose_;
    bool looseBuilt_ = false;
    KeyIndex groups_;
};

}  // namespace contacts
