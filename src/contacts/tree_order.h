#pragma once
// The order of the children of one tree node (CIMTree::SortChildren).
//
// CompareItems on two children:
//   - either without item data: equal;
//   - two groups: by name without case when the tree's top sort mode is non-zero, else equal;
//   - a group and a user: the user first;
//   - two users, by the sort mode of their parent group (the tree's top sort mode at the top):
//       2  name without case;
//       1  presence class (online, other, offline), then users whose display text holds
//          "管理员", then name without case;
//       3  nodes whose text holds "(举手)" first, else equal;
//       other  arrival order (orderIndex).
// Sorting is stable: equal children keep their order.
//
// Each child's key is read once; the comparisons then touch no strings but the names.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "contacts/presence_table.h"
#include "os/controls/tree_control.h"

namespace contacts {

inline constexpr int kSortByArrival = 0;
inline constexpr int kSortByPresence = 1;
inline constexpr int kSortByName = 2;
inline constexpr int kSortRaisedHandFirst = 3;

struct ChildKey {
    enum class Kind : std::uint8_t { Missing, Group, User };
    Kind kind = Kind::Missing;
    const std::string* name = nullptr;
    PresenceClass presenceClass = PresenceClass::Offline;
    bool admin = false;       // display text holds "管理员" (mode 1 only)
    bool raisedHand = false;  // node text holds "(举手)" (mode 3 only)
    std::int32_t orderIndex = 0;
};

struct OrderRule {
    int userMode = kSortByArrival;
    bool groupsByName = false;
    bool operator==(const OrderRule&) const = default;
};

// Negative when `a` goes first, positive when `b` does, 0 when they are equal.
int CompareChildKeys(const ChildKey& a, const ChildKey& b, const OrderRule& rule);

// Whether `text` holds the marks the keys look for (whole GBK characters only).
bool HasAdminMark(const std::string& displayText);
bool HasRaisedHandMark(const std::string& nodeText);

// The positions of `keys` in the order a stable sort gives them.
std::vector<std::size_t> StableOrder(const std::vector<ChildKey>& keys, const OrderRule& rule);
// The same order, found in linear time when every key but keys[changed] is in order already
// (a presence change moves one user); otherwise by a full sort. No key may be Missing.
std::vector<std::size_t> StableOrderAfterChange(const std::vector<ChildKey>& keys,
                                                const OrderRule& rule, std::size_t changed);

// The order a node's children were last given, with the keys that decided it (names
// copied, so the keys stay as they were read). While the children stay as they are, a change
// of one child's key moves that child alone: the others are in order by construction.
class SortedChildren {
  public:
    // `children` and `keys` in their sorted order; no key may be Missing.
    void Assign(const OrderRule& rule, std::vector<os::TreeItem> children,
                const std::vector<ChildKey>& keys);

    const OrderRule& rule() const { return rule_; }
    const std::vector<os::TreeItem>& children() const { return children_; }

    // Gives child `index` a new key (not Missing) and moves it where a stable sort of the
    // whole list puts it; answers its new index.
    std::size_t Update(std::size_t index, const ChildKey& key);

  private:
    // Points the keys in [first, last] at their own copies of the names.
    void Relink(std::size_t first, std::size_t last);

    OrderRule rule_;
    std::vector<os::TreeItem> children_;
    std::vector<ChildKey> keys_;
    std::vector<std::string> names_;
};

}  // namespace contacts
