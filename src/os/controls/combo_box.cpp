#include "os/controls/combo_box.h"

#include <algorithm>

#include "os/controls/control_text.h"
#include "os/text/cstring_ops.h"

namespace os {

int ComboBox::AddString(std::string text, std::uint32_t data) {
    int index = GetCount();
    if (sorted_) {
        auto after = std::upper_bound(
            items_.begin(), items_.end(), text,
            [](const std::string& t, const Item& item) { return CompareNoCase(t, item.text) < 0; });
        index = static_cast<int>(after - items_.begin());
    }
    return InsertString(index, std::move(text), data);
}

int ComboBox::InsertString(int index, std::string text, std::uint32_t data) {
    if (index < 0 || index > GetCount()) index = GetCount();
    items_.insert(items_.begin() + index, Item{std::move(text), data});
    if (current_ >= index) ++current_;
    Changed();
    return index;
}

bool ComboBox::DeleteString(int index) {
    if (!Valid(index)) return false;
    items_.erase(items_.begin() + index);
    if (current_ == index) {
        current_ = kNone;
    } else if (current_ > index) {
        --current_;
    }
    Changed();
    return true;
}

void ComboBox::ResetContent() {
    if (items_.empty() && current_ == kNone) return;
    items_.clear();
    current_ = kNone;
    Changed();
}

std::string ComboBox::GetLBText(int index) const {
    return Valid(index) ? items_[static_cast<std::size_t>(index)].text : std::string();
}

std::uint32_t ComboBox::GetItemData(int index) const {
    return Valid(index) ? items_[static_cast<std::size_t>(index)].data : 0;
}

bool ComboBox::SetItemData(int index, std::uint32_t data) {
    if (!Valid(index)) return false;
    items_[static_cast<std::size_t>(index)].data = data;
    return true;
}

bool ComboBox::SetCurSel(int index) {
    if (index == kNone) {
        if (current_ != kNone) Changed();
        current_ = kNone;
        return true;
    }
    if (!Valid(index)) return false;
    current_ = index;
    text_ = items_[static_cast<std::size_t>(index)].text;
    Changed();
    return true;
}

bool ComboBox::Select(int index) {
    if (!enabled() || !Valid(index)) return false;
    SetCurSel(index);
    Notify(notify::kSelChange, index);
    return true;
}

template <typename Match>
int ComboBox::Find(int startAfter, Match match) const {
    int count = GetCount();
    if (count == 0) return kNone;
    int first = Valid(startAfter) ? startAfter + 1 : 0;
    for (int step = 0; step < count; ++step) {
        int index = (first + step) % count;
        if (match(items_[static_cast<std::size_t>(index)].text)) return index;
    }
    return kNone;
}

int ComboBox::FindString(int startAfter, std::string_view prefix) const {
    return Find(startAfter, [prefix](const std::string& text) {
        return control_text::StartsWithNoCase(text, prefix);
    });
}

int ComboBox::FindStringExact(int startAfter, std::string_view wanted) const {
    return Find(startAfter,
                [wanted](const std::string& text) { return CompareNoCase(text, wanted) == 0; });
}

std::string ComboBox::Text() const {
    if (style_ == ComboStyle::DropDownList) return GetLBText(current_);
    return text_;
}

void ComboBox::SetText(std::string text) {
    if (style_ == ComboStyle::DropDownList) {
        int index = FindStringExact(kNone, text);
        if (index != kNone) SetCurSel(index);
        return;
    }
    if (text_ == text) return;
    text_ = std::move(text);
    Changed();
}

}  // namespace os
