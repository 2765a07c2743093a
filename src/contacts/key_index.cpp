#include "contacts/key_index.h"

#include <algorithm>
#include <bit>
#include <utility>

#include "contacts/tree_item_data.h"

namespace contacts {

namespace {

constexpr std::size_t kFirstCapacity = 16;

// At most three quarters full.
bool TooFull(std::size_t size, std::size_t capacity) { return size * 4 > capacity * 3; }

}  // namespace

std::size_t KeyIndex::Home(std::uint64_t key) const {
    // Fibonacci hashing: the keys' high bits pick the slot, whatever their low bits are.
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
}

std::size_t KeyIndex::Probe(std::uint64_t key) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = Home(key);
    while (slots_[at].used() && slots_[at].key != key) at = (at + 1) & mask;
    return at;
}

void KeyIndex::Grow(std::size_t capacity) {
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(capacity));
    shift_ = 64 - std::countr_zero(capacity);
    for (Slot& slot : old) {
        if (slot.used()) slots_[Probe(slot.key)] = std::move(slot);
    }
}

void KeyIndex::Reserve(std::size_t count) {
    std::size_t capacity = slots_.empty() ? kFirstCapacity : slots_.size();
    while (TooFull(count, capacity)) capacity *= 2;
    if (capacity != slots_.size()) Grow(capacity);
}

void KeyIndex::Insert(std::uint64_t key, CIMTreeItemData* item) {
    if (item == nullptr) return;
    if (slots_.empty() || TooFull(size_ + 1, slots_.size())) {
        Grow(slots_.empty() ? kFirstCapacity : slots_.size() * 2);
    }
    Slot& slot = slots_[Probe(key)];
    if (!slot.used()) {
        slot.key = key;
        slot.SetOne(item);
        ++size_;
        return;
    }
    Slot::Many& many = slot.many() != nullptr ? *slot.many() : slot.MakeMany();
    if (many.back()->id_ < item->id_) {
        many.push_back(item);  // an append: the common case
        return;
    }
    many.insert(
        std::lower_bound(many.begin(), many.end(), item->id_,
                         [](const CIMTreeItemData* in, std::uint32_t id) { return in->id_ < id; }),
        item);
}

void KeyIndex::Erase(std::uint64_t key, const CIMTreeItemData* item) {
    if (slots_.empty()) return;
    const std::size_t at = Probe(key);
    Slot& slot = slots_[at];
    if (!slot.used()) return;
    Slot::Many* many = slot.many();
    if (many == nullptr) {
        if (slot.one() == item) RemoveSlot(at);
        return;
    }
    std::erase(*many, item);
    if (many->size() == 1) {
        slot.SetOne(many->front());
    } else if (many->empty()) {
        RemoveSlot(at);
    }
}

void KeyIndex::RemoveSlot(std::size_t at) {
    // Backward shift: every later slot of the run that may live here moves up, so no probe
    // ever stops early at a hole.
    const std::size_t mask = slots_.size() - 1;
    std::size_t hole = at;
    for (std::size_t next = (hole + 1) & mask; slots_[next].used(); next = (next + 1) & mask) {
        const std::size_t home = Home(slots_[next].key);
        // `next` may move to `hole` when its home is not in (hole, next] (cyclically).
        const bool homeBetween =
            hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (!homeBetween) {
            slots_[hole] = std::move(slots_[next]);
            hole = next;
        }
    }
    slots_[hole] = Slot();
    --size_;
}

KeyIndex::Items KeyIndex::Find(std::uint64_t key) const {
    if (slots_.empty()) return {};
    return slots_[Probe(key)].items();
}

void KeyIndex::Clear() {
    slots_.clear();
    slots_.shrink_to_fit();
    size_ = 0;
    shift_ = 64;
}

}  // namespace contacts
