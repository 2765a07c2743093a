#include "os/controls/edit.h"

#include "os/controls/control_text.h"
#include "os/text/gbk_chars.h"

namespace os {

void Edit::SetText(std::string text) {
    text_ = control_text::ReplaceLoneLeadBytes(text);
    sel_ = {};
    Changed();
    Notify(notify::kEditChange);
}

int Edit::SnapToCharStart(int offset) const {
    return static_cast<int>(CharBoundaryAtOrBefore(text_, static_cast<std::size_t>(offset)));
}

void Edit::SetSel(int start, int end) {
    Selection sel = NormalizeSelection(start, end, GetTextLength(), sel_);
    const Selection snapped{SnapToCharStart(sel.start), SnapToCharStart(sel.end)};
    if (snapped.start == sel_.start && snapped.end == sel_.end) return;
    sel_ = snapped;
    Changed();
}

std::string Edit::GetSelText() const {
    return text_.substr(static_cast<std::size_t>(sel_.start),
                        static_cast<std::size_t>(sel_.end - sel_.start));
}

bool Edit::ReplaceSel(std::string_view text) {
    std::string insert = control_text::ReplaceLoneLeadBytes(text);
    bool whole = true;
    if (limitBytes_ != 0) {
        std::size_t kept = text_.size() - static_cast<std::size_t>(sel_.end - sel_.start);
        std::size_t room = kept < limitBytes_ ? limitBytes_ - kept : 0;
        std::size_t fits = CharBoundaryAtOrBefore(insert, room);
        whole = fits == insert.size();
        insert.resize(fits);
    }
    if (insert.empty() && sel_.empty()) return whole;
    text_.replace(static_cast<std::size_t>(sel_.start),
                  static_cast<std::size_t>(sel_.end - sel_.start), insert);
    int caret = sel_.start + static_cast<int>(insert.size());
    sel_ = Selection{caret, caret};
    Changed();
    Notify(notify::kEditChange);
    return whole;
}

bool Edit::TypeText(std::string_view text) {
    if (readOnly_ || !enabled()) return false;
    return ReplaceSel(text);
}

std::string Edit::DisplayText() const {
    if (!password_) return text_;
    std::string shown;
    for (std::size_t at = 0; at < text_.size();
         at += static_cast<std::size_t>(GbkCharLength(text_, at)))
        shown += kPasswordChar;
    return shown;
}

}  // namespace os
