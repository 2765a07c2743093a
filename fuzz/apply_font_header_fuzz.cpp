// Feeds arbitrary headers to ApplyFontHeader (and the reader and writer behind it): no input
// may crash, and whatever is applied must read back as a well-formed header.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "chat/encoding/font_header.h"
#include "chat/encoding/markers.h"
#include "os/controls/rich_edit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view header(reinterpret_cast<const char*>(data), size);

    os::RichEdit edit(1);
    edit.SetText("你好 hello");
    edit.SetSel(1, 4);
    chat::ApplyFontHeader(edit, header);
    edit.SetSel(-1, -1);
    chat::ApplyFontHeader(edit, header);  // at the caret: the insertion format
    edit.ReplaceSel("x");

    edit.SetSel(1, 2);
    std::string made = chat::MakeFontHeader(edit);
    if (!made.starts_with(chat::kFontHeaderStart) || made.back() != ')') std::abort();
    // What one side writes the other must read back field for field.
    auto values = chat::ReadFontHeader(made);
    os::CharFormat format = edit.GetSelectionCharFormat();
    if (!values || (values->face && *values->face != format.faceName && !format.faceName.empty()))
        std::abort();
    return 0;
}
