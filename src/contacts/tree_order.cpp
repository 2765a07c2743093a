#include "contacts/tree_order.h"

#include <algorithm>
#include <numeric>
#include <string_view>

#include "os/text/cstring_ops.h"

namespace contacts {
namespace {

constexpr std::string_view kAdminMark = "管理员";
constexpr std::string_view kRaisedHandMark = "(举手)";

int Sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

int CompareNames(const ChildKey& a, const ChildKey& b) { return os::MbsICmp(*a.name, *b.name); }

// A byte search first: it settles nearly every text; a hit is confirmed on GBK boundaries.
bool HoldsMark(const std::string& text, std::string_view mark) {
    if (std::string_view(text).find(mark) == std::string_view::npos) return false;
    return os::Find(text, mark) >= 0;
}

int CompareUsers(const ChildKey& a, const ChildKey& b, int mode) {
    switch (mode) {
        case kSortByName:
            return CompareNames(a, b);
        case kSortByPresence:
            if (a.presenceClass != b.presenceClass) {
                return static_cast<int>(a.presenceClass) < static_cast<int>(b.presenceClass) ? -1
                                                                                             : 1;
            }
            if (a.admin != b.admin) return a.admin ? -1 : 1;
            return CompareNames(a, b);
        case kSortRaisedHandFirst:
            if (a.raisedHand != b.raisedHand) return a.raisedHand ? -1 : 1;
            return 0;
        default:
            return a.orderIndex < b.orderIndex ? -1 : a.orderIndex > b.orderIndex ? 1 : 0;
    }
}

}  // namespace

bool HasAdminMark(const std::string& displayText) { return HoldsMark(displayText, kAdminMark); }

bool HasRaisedHandMark(const std::string& nodeText) { return HoldsMark(nodeText, kRaisedHandMark); }

int CompareChildKeys(const ChildKey& a, const ChildKey& b, const OrderRule& rule) {
    using Kind = ChildKey::Kind;
    if (a.kind == Kind::Missing || b.kind == Kind::Missing) return 0;
    if (a.kind == Kind::Group && b.kind == Kind::Group) {
        return rule.groupsByName ? Sign(CompareNames(a, b)) : 0;
    }
    if (a.kind != b.kind) return a.kind == Kind::User ? -1 : 1;
    return Sign(CompareUsers(a, b, rule.userMode));
}

std::vector<std::size_t> StableOrder(const std::vector<ChildKey>& keys, const OrderRule& rule) {
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return CompareChildKeys(keys[a], keys[b], rule) < 0;
    });
    return order;
}

std::vector<std::size_t> StableOrderAfterChange(const std::vector<ChildKey>& keys,
                                                const OrderRule& rule, std::size_t changed) {
    if (changed >= keys.size()) return StableOrder(keys, rule);
    auto less = [&](std::size_t a, std::size_t b) {
        return CompareChildKeys(keys[a], keys[b], rule) < 0;
    };

    std::vector<std::size_t> others;
    others.reserve(keys.size() - 1);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i != changed) others.push_back(i);
    }
    for (std::size_t i = 1; i < others.size(); ++i) {
        if (less(others[i], others[i - 1])) return StableOrder(keys, rule);
    }

    // The others are sorted, so the keys equal to the changed one form one run
    // [lower, upper). A stable sort keeps the changed key after the equal ones that stood
    // before it and before those that stood after it: its old place, clamped to the run.
    const auto lower = static_cast<std::size_t>(
        std::partition_point(others.begin(), others.end(),
                             [&](std::size_t other) { return less(other, changed); }) -
        others.begin());
    const auto upper = static_cast<std::size_t>(
        std::partition_point(others.begin(), others.end(),
                             [&](std::size_t other) { return !less(changed, other); }) -
        others.begin());
    const std::size_t place = std::clamp(changed, lower, upper);
    others.insert(others.begin() + static_cast<std::ptrdiff_t>(place), changed);
    return others;
}

void SortedChildren::Assign(const OrderRule& rule, std::vector<os::TreeItem> children,
                            const std::vector<ChildKey>& keys) {
    rule_ = rule;
    children_ = std::move(children);
    keys_ = keys;
    names_.resize(keys_.size());
    for (std::size_t i = 0; i < keys_.size(); ++i) names_[i] = *keys_[i].name;
    if (!keys_.empty()) Relink(0, keys_.size() - 1);
}

void SortedChildren::Relink(std::size_t first, std::size_t last) {
    for (std::size_t i = first; i <= last; ++i) keys_[i].name = &names_[i];
}

std::size_t SortedChildren::Update(std::size_t index, const ChildKey& key) {
    const std::size_t others = keys_.size() - 1;
    auto other = [&](std::size_t j) -> const ChildKey& { return keys_[j < index ? j : j + 1]; };
    auto less = [&](const ChildKey& a, const ChildKey& b) {
        return CompareChildKeys(a, b, rule_) < 0;
    };
    // Same reasoning as StableOrderAfterChange: the old place, clamped to the run of equals.
    std::size_t lower = 0;
    std::size_t count = others;
    while (count > 0) {
        const std::size_t half = count / 2;
        if (less(other(lower + half), key)) {
            lower += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    std::size_t upper = lower;
    count = others - lower;
    while (count > 0) {
        const std::size_t half = count / 2;
        if (!less(key, other(upper + half))) {
            upper += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    const std::size_t place = std::clamp(index, lower, upper);

    names_[index] = *key.name;
    keys_[index] = key;
    keys_[index].name = &names_[index];
    if (place == index) return index;
    auto moveOne = [&](auto& items) {
        if (place < index) {
            std::rotate(items.begin() + static_cast<std::ptrdiff_t>(place),
                        items.begin() + static_cast<std::ptrdiff_t>(index),
                        items.begin() + static_cast<std::ptrdiff_t>(index) + 1);
        } else {
            std::rotate(items.begin() + static_cast<std::ptrdiff_t>(index),
                        items.begin() + static_cast<std::ptrdiff_t>(index) + 1,
                        items.begin() + static_cast<std::ptrdiff_t>(place) + 1);
        }
    };
    moveOne(children_);
    moveOne(keys_);
    moveOne(names_);
    Relink(std::min(index, place), std::max(index, place));
    return place;
}

}  // namespace contacts
