#pragma once
// A single- or multi-line edit. Positions are byte offsets into the GBK text, as in an ANSI
// edit control, but never inside a double-byte character: a selection edge that falls inside
// one moves to its start.
//
// SetText raises kEditChange like typing does (WM_SETTEXT raises EN_CHANGE too). Read-only
// and the limit stop the user (TypeText); code writes with SetText and ReplaceSel. The limit
// holds for ReplaceSel as well, cutting at a whole character; SetText is not cut.

#include <cstddef>
#include <string>
#include <string_view>

#include "os/controls/control.h"
#include "os/controls/text_selection.h"

namespace os {

class Edit : public Control {
  public:
    static constexpr char kPasswordChar = '*';

    explicit Edit(int id) : Control(id, ControlKind::Edit) {}

    // Replaces the text; the caret goes to the start. Raises kEditChange.
    void SetText(std::string text) override;
    int GetTextLength() const { return static_cast<int>(text_.size()); }

    // EM_SETSEL rules: end -1 = the end; start -1 drops the selection.
    void SetSel(int start, int end);
    Selection GetSel() const { return sel_; }
    std::string GetSelText() const;

    // Replaces the selection and leaves the caret after the new text; raises kEditChange when
    // something changed. Returns false when the limit cut some of the text.
    bool ReplaceSel(std::string_view text);
    // The user typing or pasting: nothing (false) when read-only or disabled.
    bool TypeText(std::string_view text);

    // Limit in bytes; 0 = no limit.
    void LimitText(std::size_t bytes) { limitBytes_ = bytes; }
    std::size_t textLimit() const { return limitBytes_; }

    bool readOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // ES_PASSWORD: the text is shown as one kPasswordChar per character.
    bool password() const { return password_; }
    void SetPassword(bool password) { password_ = password; }
    // What the screen shows.
    std::string DisplayText() const;

  private:
    int SnapToCharStart(int offset) const;

    Selection sel_;
    std::size_t limitBytes_ = 0;
    bool readOnly_ = false;
    bool password_ = false;
};

}  // namespace os
