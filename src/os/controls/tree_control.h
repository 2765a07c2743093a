#pragma once
// A tree of items addressed by handles. Each item has a text, an image and a selected image,
// a 32-bit value, its children in order, and expanded, checked and bold states.
//
// Handles are never reused within a control's life: a handle that was deleted stays invalid,
// and every call given it answers "none" (0, "", false). Costs: insertion at the front or the
// end of a parent, handle lookup, parent and sibling navigation are O(1); deletion is
// O(size of the subtree); sorting k children is O(k log k); insertion in text order
// (kTreeSort) and after a given item walk the parent's children.
//
// Notifications: Expand raises kItemExpanded and Select kTreeSelChanged (item = the handle),
// whether the user or code acts, as TVN_ITEMEXPANDED and TVN_SELCHANGED are. Deleting the
// selected item (or an ancestor of it) clears the selection and raises kTreeSelChanged with 0.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "os/controls/control.h"

namespace os {

using TreeItem = std::uint32_t;

inline constexpr TreeItem kNoTreeItem = 0;
// Insertion parents and positions, with the values of TVI_ROOT, TVI_FIRST, TVI_LAST and
// TVI_SORT; no item ever has one of them as its handle.
inline constexpr TreeItem kTreeRoot = 0xFFFF0000;
inline constexpr TreeItem kTreeFirst = 0xFFFF0001;
inline constexpr TreeItem kTreeLast = 0xFFFF0002;
inline constexpr TreeItem kTreeSort = 0xFFFF0003;

enum class ExpandAction { Expand, Collapse, Toggle };

struct TreeImages {
    int image = 0;
    int selectedImage = 0;

    bool operator==(const TreeImages&) const = default;
};

class TreeControl : public Control {
  public:
    // compare(data1, data2): negative when the first goes first (a TVM_SORTCHILDRENCB
    // callback).
    using DataComparator = std::function<int(std::uint32_t, std::uint32_t)>;
    // visit(item, depth): depth 0 for a top-level item.
    using Visitor = std::function<void(TreeItem, int)>;

    explicit TreeControl(int id);

    // Inserts an item under `parent` (kTreeRoot or 0 = top level) at `insertAfter`: kTreeFirst,
    // kTreeLast, kTreeSort (before the first sibling whose text sorts after it, ASCII letters
    // without case) or a child of `parent` to follow. Returns the new handle, or 0 when the
    // parent or the position is not valid.
    TreeItem InsertItem(std::string text, int image = 0, int selectedImage = 0,
                        TreeItem parent = kTreeRoot, TreeItem insertAfter = kTreeLast);
    // Deletes an item with its whole subtree; false for a handle that is not valid.
    bool DeleteItem(TreeItem item);
    void DeleteAllItems();
    int GetCount() const { return count_; }
    bool IsValid(TreeItem item) const { return SlotOf(item) != kNoSlot; }

    // ---- Navigation (0 when there is none) ----
    TreeItem GetRoot() const;                 // the first top-level item
    TreeItem GetParent(TreeItem item) const;  // 0 for a top-level item
    TreeItem GetChild(TreeItem item) const;   // the first child; kTreeRoot: = GetRoot()
    TreeItem GetLastChild(TreeItem item) const;
    TreeItem GetNextSibling(TreeItem item) const;
    TreeItem GetPrevSibling(TreeItem item) const;
    // The item after `item` in a depth-first walk of the whole tree (parents before their
    // children); GetNextItem(0) is the first item.
    TreeItem GetNextItem(TreeItem item) const;
    // Visits every item depth first, parents before their children, siblings in order.
    // The tree must not change during the walk.
    void ForEachItem(const Visitor& visit) const;
    int GetChildCount(TreeItem item) const;  // kTreeRoot: the top-level items
    bool ItemHasChildren(TreeItem item) const { return GetChildCount(item) > 0; }

    // ---- Item contents (setters: false for a handle that is not valid) ----
    std::string GetItemText(TreeItem item) const;
    bool SetItemText(TreeItem item, std::string text);
    std::uint32_t GetItemData(TreeItem item) const;
    bool SetItemData(TreeItem item, std::uint32_t data);
    TreeImages GetItemImage(TreeItem item) const;
    bool SetItemImage(TreeItem item, int image, int selectedImage);
    bool IsItemBold(TreeItem item) const;
    bool SetItemBold(TreeItem item, bool bold);

    // ---- Expansion ----
    // Changes the expanded state of an item that has children and raises kItemExpanded;
    // returns false (nothing raised) when the state does not change or the item has no
    // children.
    bool Expand(TreeItem item, ExpandAction action);
    bool IsExpanded(TreeItem item) const;

    // ---- Selection ----
    // Selects `item` (0 clears the selection); raises kTreeSelChanged when the selection
    // changes. False for a handle that is not valid.
    bool Select(TreeItem item);
    TreeItem GetSelectedItem() const { return selected_; }

    // ---- Check boxes (TVS_CHECKBOXES) ----
    bool checkBoxes() const { return checkBoxes_; }
    void SetCheckBoxes(bool on) { checkBoxes_ = on; }
    bool GetCheck(TreeItem item) const;
    // False for a bad handle or when the tree has no check boxes.
    bool SetCheck(TreeItem item, bool checked);

    // ---- Sorting (stable: equal items keep their order) ----
    // Orders the children of `parent` (kTreeRoot or 0 = the top level) by their data.
    bool SortChildren(TreeItem parent, const DataComparator& compare);
    // Orders them by text, ASCII letters without case (TVM_SORTCHILDREN).
    bool SortChildrenByText(TreeItem parent);

  private:
    using Slot = std::uint32_t;
    static constexpr Slot kNoSlot = 0xFFFFFFFF;
    static constexpr Slot kTopSlot = 0;  // the hidden parent of the top-level items

    struct Node {
        TreeItem handle = kNoTreeItem;  // kNoTreeItem: a free slot
        Slot parent = kNoSlot;
        Slot firstChild = kNoSlot;
        Slot lastChild = kNoSlot;
        Slot prev = kNoSlot;
        Slot next = kNoSlot;
        std::uint32_t childCount = 0;
        std::uint32_t data = 0;
        int image = 0;
        int selectedImage = 0;
        bool expanded = false;
        bool checked = false;
        bool bold = false;
        std::string text;
    };

    Slot SlotOf(TreeItem item) const;
    // As SlotOf, and kTreeRoot or 0 name the top level.
    Slot ParentSlotOf(TreeItem item) const;
    const Node* Find(TreeItem item) const;
    Node* Find(TreeItem item);
    TreeItem HandleOf(Slot slot) const;
    Slot NewSlot();
    void Link(Slot slot, Slot parent, Slot after);  // after = kNoSlot: at the front
    void Unlink(Slot slot);
    void Reset();
    bool Reorder(Slot parent, const std::function<bool(const Node&, const Node&)>& less);

    std::vector<Node> nodes_;  // by slot; slot 0 is the top level
    std::vector<Slot> freeSlots_;
    // Handle -> slot for handles from firstHandle_ on; kNoSlot for deleted ones.
    std::vector<Slot> slotByHandle_;
    TreeItem firstHandle_ = 1;
    TreeItem nextHandle_ = 1;
    int count_ = 0;
    TreeItem selected_ = kNoTreeItem;
    bool checkBoxes_ = false;
};

}  // namespace os
