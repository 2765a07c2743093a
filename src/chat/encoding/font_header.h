#pragma once
// The font header: "FONT(face,charset,pitch,height,bold,italic,underline,strikeout,r,g,b)".
// The sender builds it from the input box; the receiver puts it in front of the body and the
// message view formats the text with it. It travels beside the body, never inside it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "os/controls/char_format.h"

namespace os {
class RichEdit;
}

namespace chat {

// The header of a character format: face (cut to 31 bytes), charset, pitch-and-family,
// height, then the effects masked with 1, 2, 4 and 8 (so italic is written 2), then the
// colour's red, green and blue parts.
std::string FormatFontHeader(const os::CharFormat& format);

// The header of the character format at the control's current selection.
std::string MakeFontHeader(const os::RichEdit& control);

// What a header says, field by field, read the way every receiver reads it: after the first
// five characters, each field up to the next ',' is read only when that comma is not the first
// character left, and then removed; so an empty field stops every later comma field from being
// read. Blue is the rest of the string read as a number.
struct FontHeaderValues {
    std::optional<std::string> face;  // at most 31 bytes, ending at a NUL as a C string would
    std::optional<int> charSet;
    std::optional<int> pitchAndFamily;
    std::optional<int> height;  // twips
    bool bold = false;          // any flag field other than "0" sets its effect
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int red = 0;  // 0 when not read
    int green = 0;
    int blue = 0;

    // red | green << 8 | blue << 16, each part held to 0..255.
    std::uint32_t Color() const;
    // The effect bits of the four flags.
    std::uint32_t Effects() const;
};

// Nothing for a header shorter than five characters.
std::optional<FontHeaderValues> ReadFontHeader(std::string_view header);

// Formats the control's current selection (or its insertion point) from a header: a height
// that was read is applied first on its own; then bold, italic, underline and strike-out (set
// by the header, cleared otherwise), the face (the header's when read, else the selection's)
// and the colour (automatic colour off) are applied together. Charset and pitch are not
// applied. A header shorter than five characters changes nothing.
void ApplyFontHeader(os::RichEdit& control, std::string_view header);

}  // namespace chat
