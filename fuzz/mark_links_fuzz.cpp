// Feeds arbitrary texts to the link rules on their own: the text is put in a view after text
// that is already there, and MarkLinks runs over the new range. The links it leaves must lie
// inside the range, never overlap, and lead somewhere.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "chat/encoding/links.h"
#include "os/controls/rich_edit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    os::RichEdit view(1);
    view.SetText("前文 www.a.cn ");
    const int start = view.GetTextLength();
    view.SetSel(-1, -1);
    view.ReplaceSel(text);
    const int end = chat::MarkLinks(view, start);
    if (end < start || end > view.GetTextLength()) std::abort();

    // The text before the range is untouched: no link in it.
    for (int p = 0; p < start; ++p) {
        if (view.LinkAt(p)) std::abort();
    }
    int lastEnd = start;
    for (int p = start; p < view.GetTextLength();) {
        const std::optional<os::LinkRange> link = view.LinkAt(p);
        if (!link) {
            ++p;
            continue;
        }
        if (link->start < lastEnd || link->end <= link->start || link->end > end) std::abort();
        if (link->text.empty()) std::abort();
        lastEnd = link->end;
        p = link->end;
    }
    return 0;
}
