#pragma once
// The items of a contact tree by the 64-bit hash of one of their keys (a JID, a path key).
// A directory holds some 100 000 users, each indexed once and looked up once per arrival,
// so the table is flat: open addressing with linear probing, one 16-byte slot per key, no
// allocation per item (only the rare key with two or more items keeps a list of its own).
//
// The items under one key are kept in id order (list order), so the first one that fits a
// look-up is the first match in list order. Not thread-safe.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
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
    // The key and its item, or (the low bit set: item data are never at odd addresses) the
    // list of its two or more items, which the slot owns.
    class Slot {
      public:
        using Many = std::vector<CIMTreeItemData*>;
        Slot() = default;
        Slot(Slot&& other) noexcept : key(other.key), one_(std::exchange(other.one_, nullptr)) {}
        Slot& operator=(Slot&& other) noexcept {
            if (this != &other) {
                Release();
                key = other.key;
                one_ = std::exchange(other.one_, nullptr);
            }
            return *this;
        }
        ~Slot() { Release(); }

        std::uint64_t key = 0;
        bool used() const { return one_ != nullptr; }
        // The list, or null when the slot holds one item or none.
        Many* many() const {
            const auto bits = reinterpret_cast<std::uintptr_t>(one_);
            return (bits & 1) != 0 ? reinterpret_cast<Many*>(bits & ~std::uintptr_t{1}) : nullptr;
        }
        CIMTreeItemData* one() const { return many() == nullptr ? one_ : nullptr; }
        void SetOne(CIMTreeItemData* item) {
            Release();
            one_ = item;
        }
        // Turns the single item into a list of it.
        Many& MakeMany() {
            auto list = std::make_unique<Many>();
            list->push_back(one_);
            one_ = reinterpret_cast<CIMTreeItemData*>(
                reinterpret_cast<std::uintptr_t>(list.release()) | 1);
            return *many();
        }
        Items items() const {
            if (Many* list = many()) return *list;
            return one_ != nullptr ? Items(&one_, 1) : Items();
        }

      private:
        void Release() {
            delete many();
            one_ = nullptr;
        }
        CIMTreeItemData* one_ = nullptr;
    };
    static_assert(sizeof(Slot) == 16);

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
