#include "os/controls/list_control.h"

#include <algorithm>

#include "os/controls/control_text.h"
#include "os/text/cstring_ops.h"

namespace os {

int ListControl::InsertColumn(int index, std::string header, int width) {
    if (index < 0 || index > GetColumnCount()) index = GetColumnCount();
    columns_.insert(columns_.begin() + index, ListColumn{std::move(header), width});
    for (Row& row : rows_) {
        if (static_cast<std::size_t>(index) < row.texts.size())
            row.texts.insert(row.texts.begin() + index, std::string());
    }
    Changed();
    return index;
}

bool ListControl::DeleteColumn(int index) {
    if (index < 0 || index >= GetColumnCount()) return false;
    columns_.erase(columns_.begin() + index);
    for (Row& row : rows_) {
        if (static_cast<std::size_t>(index) < row.texts.size())
            row.texts.erase(row.texts.begin() + index);
    }
    Changed();
    return true;
}

ListColumn ListControl::GetColumn(int index) const {
    if (index < 0 || index >= GetColumnCount()) return {};
    return columns_[static_cast<std::size_t>(index)];
}

bool ListControl::SetColumnWidth(int index, int width) {
    if (index < 0 || index >= GetColumnCount()) return false;
    columns_[static_cast<std::size_t>(index)].width = width;
    Changed();
    return true;
}

int ListControl::InsertItem(int row, std::string text, int image, std::uint32_t data) {
    if (row < 0 || row > GetItemCount()) row = GetItemCount();
    Row added;
    added.texts.push_back(std::move(text));
    added.image = image;
    added.data = data;
    rows_.insert(rows_.begin() + row, std::move(added));
    Changed();
    return row;
}

bool ListControl::DeleteItem(int row) {
    if (!ValidRow(row)) return false;
    rows_.erase(rows_.begin() + row);
    Changed();
    return true;
}

void ListControl::DeleteAllItems() {
    if (rows_.empty()) return;
    rows_.clear();
    Changed();
}

bool ListControl::SetItemText(int row, int column, std::string text) {
    if (!ValidRow(row) || !ValidColumn(column)) return false;
    auto& texts = rows_[static_cast<std::size_t>(row)].texts;
    if (texts.size() <= static_cast<std::size_t>(column))
        texts.resize(static_cast<std::size_t>(column) + 1);
    texts[static_cast<std::size_t>(column)] = std::move(text);
    Changed();
    return true;
}

std::string ListControl::GetItemText(int row, int column) const {
    if (!ValidRow(row) || !ValidColumn(column)) return {};
    const auto& texts = rows_[static_cast<std::size_t>(row)].texts;
    return static_cast<std::size_t>(column) < texts.size() ? texts[static_cast<std::size_t>(column)]
                                                           : std::string();
}

bool ListControl::SetItemData(int row, std::uint32_t data) {
    if (!ValidRow(row)) return false;
    rows_[static_cast<std::size_t>(row)].data = data;
    return true;
}

std::uint32_t ListControl::GetItemData(int row) const {
    return ValidRow(row) ? rows_[static_cast<std::size_t>(row)].data : 0;
}

bool ListControl::SetItemImage(int row, int image) {
    if (!ValidRow(row)) return false;
    rows_[static_cast<std::size_t>(row)].image = image;
    Changed();
    return true;
}

int ListControl::GetItemImage(int row) const {
    return ValidRow(row) ? rows_[static_cast<std::size_t>(row)].image : -1;
}

int ListControl::FindItem(std::string_view text, int startAfter, bool partial) const {
    for (int row = std::max(startAfter + 1, 0); row < GetItemCount(); ++row) {
        const std::string& item = rows_[static_cast<std::size_t>(row)].texts[0];
        if (partial ? control_text::StartsWithNoCase(item, text) : CompareNoCase(item, text) == 0)
            return row;
    }
    return kNone;
}

int ListControl::FindItemData(std::uint32_t data, int startAfter) const {
    for (int row = std::max(startAfter + 1, 0); row < GetItemCount(); ++row) {
        if (rows_[static_cast<std::size_t>(row)].data == data) return row;
    }
    return kNone;
}

void ListControl::SetSelected(int row, bool selected) {
    Row& r = rows_[static_cast<std::size_t>(row)];
    if (r.selected == selected) return;
    r.selected = selected;
    Changed();
    Notify(notify::kListItemChanged, row);
}

void ListControl::SetSingleSelection(bool single) {
    singleSelection_ = single;
    if (!single) return;
    int first = GetNextSelected();
    if (first == kNone) return;
    for (int row = first + 1; row < GetItemCount(); ++row) SetSelected(row, false);
}

bool ListControl::SelectRow(int row, SelectAction action) {
    if (!ValidRow(row)) return false;
    if (action == SelectAction::Add && singleSelection_) action = SelectAction::Replace;
    if (action == SelectAction::Toggle)
        action = IsSelected(row)    ? SelectAction::Remove
                 : singleSelection_ ? SelectAction::Replace
                                    : SelectAction::Add;
    switch (action) {
        case SelectAction::Replace:
            for (int other = 0; other < GetItemCount(); ++other) {
                if (other != row) SetSelected(other, false);
            }
            SetSelected(row, true);
            break;
        case SelectAction::Add:
            SetSelected(row, true);
            break;
        case SelectAction::Remove:
        case SelectAction::Toggle:
            SetSelected(row, false);
            break;
    }
    return true;
}

void ListControl::ClearSelection() {
    for (int row = 0; row < GetItemCount(); ++row) SetSelected(row, false);
}

bool ListControl::IsSelected(int row) const {
    return ValidRow(row) && rows_[static_cast<std::size_t>(row)].selected;
}

std::vector<int> ListControl::GetSelectedRows() const {
    std::vector<int> selected;
    for (int row = 0; row < GetItemCount(); ++row) {
        if (rows_[static_cast<std::size_t>(row)].selected) selected.push_back(row);
    }
    return selected;
}

int ListControl::GetSelectedCount() const {
    return static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const Row& r) { return r.selected; }));
}

int ListControl::GetNextSelected(int after) const {
    for (int row = std::max(after + 1, 0); row < GetItemCount(); ++row) {
        if (rows_[static_cast<std::size_t>(row)].selected) return row;
    }
    return kNone;
}

bool ListControl::DoubleClick(int row) {
    if (!enabled()) return false;
    if (row != kNone && !ValidRow(row)) return false;
    Notify(notify::kDoubleClick, row);
    return true;
}

void ListControl::SortItems(const std::function<int(std::uint32_t, std::uint32_t)>& compare) {
    std::stable_sort(rows_.begin(), rows_.end(), [&compare](const Row& a, const Row& b) {
        return compare(a.data, b.data) < 0;
    });
    Changed();
}

bool ListControl::GetCheck(int row) const {
    return ValidRow(row) && rows_[static_cast<std::size_t>(row)].checked;
}

bool ListControl::SetCheck(int row, bool checked) {
    if (!checkBoxes_ || !ValidRow(row)) return false;
    Row& r = rows_[static_cast<std::size_t>(row)];
    if (r.checked != checked) {
        r.checked = checked;
        Changed();
        Notify(notify::kListItemChanged, row);
    }
    return true;
}

}  // namespace os
