#pragma once
// A combo box: a list of items (text and a 32-bit value) with a current selection, and for a
// drop-down combo an edit field of its own.
//
// Select() is the user choosing an item and raises kSelChange; SetCurSel from code raises
// nothing, as CB_SETCURSEL does not. Choosing an item puts its text into the edit field.
// Searches compare ASCII letters without case, as CB_FINDSTRING does.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "os/controls/control.h"

namespace os {

enum class ComboStyle {
    DropDown,      // CBS_DROPDOWN: an edit field the user may type into
    DropDownList,  // CBS_DROPDOWNLIST: the text is always the selected item's
};

class ComboBox : public Control {
  public:
    static constexpr int kNone = -1;  // CB_ERR: no item

    explicit ComboBox(int id, ComboStyle style = ComboStyle::DropDownList)
        : Control(id, ControlKind::ComboBox), style_(style) {}

    ComboStyle style() const { return style_; }
    // CBS_SORT: AddString keeps the items in order of their text.
    bool sorted() const { return sorted_; }
    void SetSorted(bool sorted) { sorted_ = sorted; }

    // Appends (or, when sorted, inserts in order); returns the new item's index.
    int AddString(std::string text, std::uint32_t data = 0);
    // Inserts at `index` (-1 or past the end = at the end); returns the index used.
    int InsertString(int index, std::string text, std::uint32_t data = 0);
    // Removes an item; returns false for a bad index. The selection follows its item and is
    // dropped when that item goes.
    bool DeleteString(int index);
    // Removes every item and the selection; the edit field keeps its text.
    void ResetContent();
    int GetCount() const { return static_cast<int>(items_.size()); }

    std::string GetLBText(int index) const;      // "" for a bad index
    std::uint32_t GetItemData(int index) const;  // 0 for a bad index
    bool SetItemData(int index, std::uint32_t data);

    int GetCurSel() const { return current_; }
    // Sets the selection from code (kNone clears it); returns false for a bad index.
    bool SetCurSel(int index);
    // The user choosing an item: SetCurSel, then kSelChange with item = index. A disabled
    // combo ignores it.
    bool Select(int index);

    // The first item after `startAfter` (-1 = from the top, wrapping round) whose text
    // begins with `prefix`; kNone when none does.
    int FindString(int startAfter, std::string_view prefix) const;
    // The same for a whole text.
    int FindStringExact(int startAfter, std::string_view text) const;

    // The edit field (drop-down) or the selected item's text (drop-down list).
    std::string Text() const override;
    // Drop-down: sets the edit field. Drop-down list: selects the item of that exact text,
    // when there is one.
    void SetText(std::string text) override;

  private:
    struct Item {
        std::string text;
        std::uint32_t data = 0;
    };

    bool Valid(int index) const { return index >= 0 && index < GetCount(); }
    template <typename Match>
    int Find(int startAfter, Match match) const;

    ComboStyle style_;
    bool sorted_ = false;
    std::vector<Item> items_;
    int current_ = kNone;
};

}  // namespace os
