#pragma once
// The items of a contact tree by the 64-bit hash of one of their keys (a JID, a path key).
// A directory holds some 100 000 users, each indexed once and looked up once per arrival,
// so the table is flat: open addressing with linear probing, one 24-byte slot per key, no
// allocation per item (only the rare key with two or more items keeps a list of its own).
//
// The items under one key are kept in id order (list order), so the first one that fits a
// look-up is the first match in list order. Not thread-safe.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace contacts {

class CIMTreeItemData;

class KeyIndex {
  public:
    using Items = std::span<CIMTreeItemData* const>;

    // Adds `item` under `key`, after every item of a lower id.
    void Insert(std::uint64_t key, CIMTreeItemData* item);
    // Removes `item` from under `key` (nothing when it is not there).
    void Erase(std::uint64_t key, const CIMTreeItemData* item);
    // The items under `key`, in id order.
    Items Find(std::uint64_t key) const;
    void Clear();
    // Room for `count` keys without growing.
    void Reserve(std::size_t count);
    std::size_t size() const { return size_; }

  private:
    struct Slot {
        std::uint64_t key = 0;
        CIMTreeItemData* one = nullptr;                       // the only item, or null
        std::unique_ptr<std::vector<CIMTreeItemData*>> many;  // two or more
        bool used() const { return one != nullptr || many != nullptr; }
        Items items() const {
            if (many != nullptr) return *many;
            return one != nullptr ? Items(&one, 1) : Items();
        }
    };

    std::size_t Home(std::uint64_t key) const;
    // The slot holding `key`, or the empty slot where it would go.
    std::size_t Probe(std::uint64_t key) const;
    void Grow(std::size_t capacity);
    void RemoveSlot(std::size_t at);

    std::vector<Slot> slots_;  // a power of two long, or empty
    std::size_t size_ = 0;
    int shift_ = 64;
};

}  // namespace contacts
