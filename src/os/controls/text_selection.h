#pragma once
// The selection of a text control: [start, end) in the control's positions, the caret when
// empty.

namespace os {

struct Selection {
    int start = 0;
    int end = 0;

    bool empty() const { return start == end; }
    bool operator==(const Selection&) const = default;
};

// Puts a SetSel request into order the way EM_SETSEL does: end -1 (or past the end) is the
// end of the text; start -1 drops the selection and leaves the caret at the current end;
// reversed ranges are swapped; everything is clamped to [0, length].
inline Selection NormalizeSelection(int start, int end, int length, Selection current) {
    if (start == -1) return Selection{current.end, current.end};
    auto clamp = [length](int p) { return p < 0 || p > length ? length : p; };
    start = start < -1 ? 0 : clamp(start);
    end = clamp(end);
    if (start > end) return Selection{end, start};
    return Selection{start, end};
}

}  // namespace os
