#pragma once
// Appending encoded chat text to a message view: the font header formats the text, markers
// become faces, pictures and offline-file objects, and addresses and anchors become links.

#include <string_view>

#include "chat/encoding/marker_objects.h"

namespace os {
class RichEdit;
}

namespace chat {

// Appends `text` (a header-prefixed message, a speaker line, a notice) at the end of `view`:
// 1. The header is the first "FONT(" … ")"; every copy of it is taken out of the text.
// 2. The text is inserted at the end, unless it holds an offline-file marker: such a text
//    shows only its offline-file object.
// 3. The header formats the inserted text from where it stood to the end.
// 4. Markers, from left to right: "#(nn)#" (nn read as a signed number; ≥ 0) is a face;
//    "#(-2)#[name]" a picture; "#(-3)#[fields]" an offline file; a marker without its closing
//    "]", a picture name with a folder part and every other "#(" stay text.
// 5. The link rules run over the inserted range.
// The caret is left at the end.
void InsertEncodedText(os::RichEdit& view, std::string_view text, InsertMode mode,
                       MarkerObjects& objects);

}  // namespace chat
