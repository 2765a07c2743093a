#pragma once
// A report-style list: columns with a header and a width; rows holding one text per column,
// a 32-bit value and an image index; single or multiple selection; optional check boxes.
//
// Every change of a row's selected or checked state raises kListItemChanged with item = the
// row, whether the user or code made it (as LVN_ITEMCHANGED). States travel with their rows
// when rows are inserted, deleted or sorted.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "os/controls/control.h"

namespace os {

struct ListColumn {
    std::string header;
    int width = 0;
};

enum class SelectAction {
    Replace,  // this row only (a plain click)
    Add,      // this row as well (Ctrl+click); Replace in a single-selection list
    Remove,
    Toggle,
};

class ListControl : public Control {
  public:
    static constexpr int kNone = -1;

    explicit ListControl(int id) : Control(id, ControlKind::List) {}

    // ---- Columns ----
    // Inserts at `index` (-1 or past the end = at the end); rows' texts move with their
    // columns. Returns the index used.
    int InsertColumn(int index, std::string header, int width);
    bool DeleteColumn(int index);
    int GetColumnCount() const { return static_cast<int>(columns_.size()); }
    ListColumn GetColumn(int index) const;  // empty for a bad index
    bool SetColumnWidth(int index, int width);

    // ---- Rows ----
    // Inserts a row with `text` in column 0 at `row` (-1 or past the end = at the end);
    // returns the index used.
    int InsertItem(int row, std::string text, int image = -1, std::uint32_t data = 0);
    bool DeleteItem(int row);
    void DeleteAllItems();
    int GetItemCount() const { return static_cast<int>(rows_.size()); }

    // Column 0 always exists; other columns must have been inserted.
    bool SetItemText(int row, int column, std::string text);
    std::string GetItemText(int row, int column) const;
    bool SetItemData(int row, std::uint32_t data);
    std::uint32_t GetItemData(int row) const;  // 0 for a bad row
    bool SetItemImage(int row, int image);
    int GetItemImage(int row) const;  // -1 for a bad row

    // The first row after `startAfter` (-1 = from the top, no wrapping round) whose column-0
    // text equals `text` (ASCII letters without case), or begins with it when `partial`.
    int FindItem(std::string_view text, int startAfter = kNone, bool partial = false) const;
    int FindItemData(std::uint32_t data, int startAfter = kNone) const;

    // ---- Selection ----
    bool singleSelection() const { return singleSelection_; }
    // LVS_SINGLESEL. Turning it on keeps only the first selected row.
    void SetSingleSelection(bool single);
    // Changes the selection; returns false for a bad row (nothing changes).
    bool SelectRow(int row, SelectAction action = SelectAction::Replace);
    void ClearSelection();
    bool IsSelected(int row) const;
    std::vector<int> GetSelectedRows() const;
    int GetSelectedCount() const;
    // The first selected row after `after` (-1 = from the top), kNone when there is none.
    int GetNextSelected(int after = kNone) const;

    // The user double-clicking on `row` (kNone: the empty space below the rows): raises
    // kDoubleClick with item = row. A disabled list ignores it.
    bool DoubleClick(int row);

    // ---- Sorting ----
    // Orders the rows by compare(data1, data2) < 0 (LVM_SORTITEMS); rows that compare equal
    // keep their order.
    void SortItems(const std::function<int(std::uint32_t, std::uint32_t)>& compare);

    // ---- Check boxes ----
    bool checkBoxes() const { return checkBoxes_; }
    void SetCheckBoxes(bool on) { checkBoxes_ = on; }
    bool GetCheck(int row) const;
    // Returns false for a bad row or when the list has no check boxes.
    bool SetCheck(int row, bool checked);

  private:
    struct Row {
        std::vector<std::string> texts;  // by column; shorter than the columns = empty texts
        std::uint32_t data = 0;
        int image = -1;
        bool selected = false;
        bool checked = false;
    };

    bool ValidRow(int row) const { return row >= 0 && row < GetItemCount(); }
    bool ValidColumn(int column) const {
        return column == 0 || (column > 0 && column < GetColumnCount());
    }
    void SetSelected(int row, bool selected);

    std::vector<ListColumn> columns_;
    std::vector<Row> rows_;
    bool singleSelection_ = false;
    bool checkBoxes_ = false;
};

}  // namespace os
