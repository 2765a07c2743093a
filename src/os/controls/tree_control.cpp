#include "os/controls/tree_control.h"

#include <algorithm>

#include "os/text/cstring_ops.h"

namespace os {

TreeControl::TreeControl(int id) : Control(id, ControlKind::Tree) { Reset(); }

void TreeControl::Reset() {
    nodes_.assign(1, Node{});
    nodes_[kTopSlot].handle = kTreeRoot;
    freeSlots_.clear();
    slotByHandle_.clear();
    firstHandle_ = nextHandle_;
    count_ = 0;
}

TreeControl::Slot TreeControl::SlotOf(TreeItem item) const {
    if (item < firstHandle_ || item >= nextHandle_) return kNoSlot;
    return slotByHandle_[item - firstHandle_];
}

TreeControl::Slot TreeControl::ParentSlotOf(TreeItem item) const {
    if (item == kTreeRoot || item == kNoTreeItem) return kTopSlot;
    return SlotOf(item);
}

const TreeControl::Node* TreeControl::Find(TreeItem item) const {
    Slot slot = SlotOf(item);
    return slot == kNoSlot ? nullptr : &nodes_[slot];
}

TreeControl::Node* TreeControl::Find(TreeItem item) {
    Slot slot = SlotOf(item);
    return slot == kNoSlot ? nullptr : &nodes_[slot];
}

TreeItem TreeControl::HandleOf(Slot slot) const {
    if (slot == kNoSlot || slot == kTopSlot) return kNoTreeItem;
    return nodes_[slot].handle;
}

TreeControl::Slot TreeControl::NewSlot() {
    if (!freeSlots_.empty()) {
        Slot slot = freeSlots_.back();
        freeSlots_.pop_back();
        return slot;
    }
    nodes_.emplace_back();
    return static_cast<Slot>(nodes_.size() - 1);
}

void TreeControl::Link(Slot slot, Slot parent, Slot after) {
    Node& node = nodes_[slot];
    Node& up = nodes_[parent];
    node.parent = parent;
    node.prev = after;
    node.next = after == kNoSlot ? up.firstChild : nodes_[after].next;
    if (node.prev != kNoSlot) {
        nodes_[node.prev].next = slot;
    } else {
        up.firstChild = slot;
    }
    if (node.next != kNoSlot) {
        nodes_[node.next].prev = slot;
    } else {
        up.lastChild = slot;
    }
    ++up.childCount;
}

void TreeControl::Unlink(Slot slot) {
    Node& node = nodes_[slot];
    Node& up = nodes_[node.parent];
    if (node.prev != kNoSlot) {
        nodes_[node.prev].next = node.next;
    } else {
        up.firstChild = node.next;
    }
    if (node.next != kNoSlot) {
        nodes_[node.next].prev = node.prev;
    } else {
        up.lastChild = node.prev;
    }
    --up.childCount;
    node.prev = node.next = node.parent = kNoSlot;
}

TreeItem TreeControl::InsertItem(std::string text, int image, int selectedImage, TreeItem parent,
                                 TreeItem insertAfter) {
    Slot parentSlot = ParentSlotOf(parent);
    if (parentSlot == kNoSlot) return kNoTreeItem;
    // Handles stop short of the reserved insertion constants.
    if (nextHandle_ >= kTreeRoot) return kNoTreeItem;

    Slot after;
    if (insertAfter == kTreeFirst) {
        after = kNoSlot;
    } else if (insertAfter == kTreeLast) {
        after = nodes_[parentSlot].lastChild;
    } else if (insertAfter == kTreeSort) {
        after = kNoSlot;
        for (Slot s = nodes_[parentSlot].firstChild; s != kNoSlot; s = nodes_[s].next) {
            if (CompareNoCase(nodes_[s].text, text) > 0) break;
            after = s;
        }
    } else {
        after = SlotOf(insertAfter);
        if (after == kNoSlot || nodes_[after].parent != parentSlot) return kNoTreeItem;
    }

    Slot slot = NewSlot();
    Node& node = nodes_[slot];
    node = Node{};
    node.handle = nextHandle_++;
    node.text = std::move(text);
    node.image = image;
    node.selectedImage = selectedImage;
    slotByHandle_.push_back(slot);
    Link(slot, parentSlot, after);
    ++count_;
    Changed();
    return node.handle;
}

bool TreeControl::DeleteItem(TreeItem item) {
    Slot root = SlotOf(item);
    if (root == kNoSlot) return false;
    Unlink(root);
    bool selectionGone = false;
    // Free the subtree without recursion: organisation trees can be deep enough to matter.
    std::vector<Slot> pending{root};
    while (!pending.empty()) {
        Slot slot = pending.back();
        pending.pop_back();
        Node& node = nodes_[slot];
        for (Slot child = node.firstChild; child != kNoSlot; child = nodes_[child].next)
            pending.push_back(child);
        if (node.handle == selected_) selectionGone = true;
        slotByHandle_[node.handle - firstHandle_] = kNoSlot;
        node = Node{};
        freeSlots_.push_back(slot);
        --count_;
    }
    if (count_ == 0) Reset();
    Changed();
    if (selectionGone) {
        selected_ = kNoTreeItem;
        Notify(notify::kTreeSelChanged, kNoTreeItem);
    }
    return true;
}

void TreeControl::DeleteAllItems() {
    const bool hadItems = count_ > 0;
    Reset();
    if (hadItems) Changed();
    if (selected_ != kNoTreeItem) {
        selected_ = kNoTreeItem;
        Notify(notify::kTreeSelChanged, kNoTreeItem);
    }
}

TreeItem TreeControl::GetRoot() const { return HandleOf(nodes_[kTopSlot].firstChild); }

TreeItem TreeControl::GetParent(TreeItem item) const {
    const Node* node = Find(item);
    return node ? HandleOf(node->parent) : kNoTreeItem;
}

TreeItem TreeControl::GetChild(TreeItem item) const {
    Slot slot = item == kTreeRoot ? kTopSlot : SlotOf(item);
    return slot == kNoSlot ? kNoTreeItem : HandleOf(nodes_[slot].firstChild);
}

TreeItem TreeControl::GetLastChild(TreeItem item) const {
    Slot slot = item == kTreeRoot ? kTopSlot : SlotOf(item);
    return slot == kNoSlot ? kNoTreeItem : HandleOf(nodes_[slot].lastChild);
}

TreeItem TreeControl::GetNextSibling(TreeItem item) const {
    const Node* node = Find(item);
    return node ? HandleOf(node->next) : kNoTreeItem;
}

TreeItem TreeControl::GetPrevSibling(TreeItem item) const {
    const Node* node = Find(item);
    return node ? HandleOf(node->prev) : kNoTreeItem;
}

TreeItem TreeControl::GetNextItem(TreeItem item) const {
    if (item == kNoTreeItem) return GetRoot();
    Slot slot = SlotOf(item);
    if (slot == kNoSlot) return kNoTreeItem;
    if (nodes_[slot].firstChild != kNoSlot) return HandleOf(nodes_[slot].firstChild);
    for (; slot != kTopSlot; slot = nodes_[slot].parent) {
        if (nodes_[slot].next != kNoSlot) return HandleOf(nodes_[slot].next);
    }
    return kNoTreeItem;
}

void TreeControl::ForEachItem(const Visitor& visit) const {
    Slot slot = nodes_[kTopSlot].firstChild;
    int depth = 0;
    while (slot != kNoSlot) {
        const Node& node = nodes_[slot];
        visit(node.handle, depth);
        if (node.firstChild != kNoSlot) {
            slot = node.firstChild;
            ++depth;
            continue;
        }
        while (slot != kTopSlot && nodes_[slot].next == kNoSlot) {
            slot = nodes_[slot].parent;
            --depth;
        }
        slot = slot == kTopSlot ? kNoSlot : nodes_[slot].next;
    }
}

int TreeControl::GetChildCount(TreeItem item) const {
    Slot slot = item == kTreeRoot ? kTopSlot : SlotOf(item);
    return slot == kNoSlot ? 0 : static_cast<int>(nodes_[slot].childCount);
}

std::string TreeControl::GetItemText(TreeItem item) const {
    const Node* node = Find(item);
    return node ? node->text : std::string();
}

bool TreeControl::SetItemText(TreeItem item, std::string text) {
    Node* node = Find(item);
    if (!node) return false;
    node->text = std::move(text);
    Changed();
    return true;
}

std::uint32_t TreeControl::GetItemData(TreeItem item) const {
    const Node* node = Find(item);
    return node ? node->data : 0;
}

bool TreeControl::SetItemData(TreeItem item, std::uint32_t data) {
    Node* node = Find(item);
    if (!node) return false;
    node->data = data;
    return true;
}

TreeImages TreeControl::GetItemImage(TreeItem item) const {
    const Node* node = Find(item);
    return node ? TreeImages{node->image, node->selectedImage} : TreeImages{};
}

bool TreeControl::SetItemImage(TreeItem item, int image, int selectedImage) {
    Node* node = Find(item);
    if (!node) return false;
    node->image = image;
    node->selectedImage = selectedImage;
    Changed();
    return true;
}

bool TreeControl::IsItemBold(TreeItem item) const {
    const Node* node = Find(item);
    return node && node->bold;
}

bool TreeControl::SetItemBold(TreeItem item, bool bold) {
    Node* node = Find(item);
    if (!node) return false;
    if (node->bold == bold) return true;
    node->bold = bold;
    Changed();
    return true;
}

bool TreeControl::Expand(TreeItem item, ExpandAction action) {
    Node* node = Find(item);
    if (!node || node->childCount == 0) return false;
    bool expand = action == ExpandAction::Toggle ? !node->expanded : action == ExpandAction::Expand;
    if (node->expanded == expand) return false;
    node->expanded = expand;
    Changed();
    Notify(notify::kItemExpanded, item);
    return true;
}

bool TreeControl::IsExpanded(TreeItem item) const {
    const Node* node = Find(item);
    return node && node->expanded;
}

bool TreeControl::Select(TreeItem item) {
    if (item != kNoTreeItem && !IsValid(item)) return false;
    if (item == selected_) return true;
    selected_ = item;
    Changed();
    Notify(notify::kTreeSelChanged, item);
    return true;
}

bool TreeControl::GetCheck(TreeItem item) const {
    const Node* node = Find(item);
    return node && node->checked;
}

bool TreeControl::SetCheck(TreeItem item, bool checked) {
    Node* node = Find(item);
    if (!node || !checkBoxes_) return false;
    if (node->checked == checked) return true;
    node->checked = checked;
    Changed();
    return true;
}

bool TreeControl::Reorder(Slot parent, const std::function<bool(const Node&, const Node&)>& less) {
    if (parent == kNoSlot) return false;
    std::vector<Slot> children;
    children.reserve(nodes_[parent].childCount);
    for (Slot s = nodes_[parent].firstChild; s != kNoSlot; s = nodes_[s].next)
        children.push_back(s);
    std::stable_sort(children.begin(), children.end(),
                     [this, &less](Slot a, Slot b) { return less(nodes_[a], nodes_[b]); });
    Slot prev = kNoSlot;
    for (Slot s : children) {
        nodes_[s].prev = prev;
        if (prev != kNoSlot) nodes_[prev].next = s;
        prev = s;
    }
    if (prev != kNoSlot) nodes_[prev].next = kNoSlot;
    nodes_[parent].firstChild = children.empty() ? kNoSlot : children.front();
    nodes_[parent].lastChild = prev;
    Changed();
    return true;
}

bool TreeControl::SortChildren(TreeItem parent, const DataComparator& compare) {
    return Reorder(ParentSlotOf(parent), [&compare](const Node& a, const Node& b) {
        return compare(a.data, b.data) < 0;
    });
}

bool TreeControl::SortChildrenByText(TreeItem parent) {
    return Reorder(ParentSlotOf(parent),
                   [](const Node& a, const Node& b) { return CompareNoCase(a.text, b.text) < 0; });
}

}  // namespace os
