#include "chat/encoding/font_header.h"

#include <algorithm>

#include "chat/encoding/markers.h"
#include "chat/encoding/text_scan.h"
#include "os/controls/rich_edit.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_chars.h"

namespace chat {
namespace {

int ColorPart(int value) { return std::clamp(value, 0, 255); }

// A face name as a font knows it: a C string of at most 31 bytes.
std::string FontFaceName(std::string_view name) {
    return os::LeftBytes(name.substr(0, name.find('\0')), os::kMaxFaceNameBytes);
}

// Takes the next field off `rest` when a comma follows it at a position above 0.
std::optional<std::string_view> TakeField(std::string_view& rest) {
    std::size_t comma = scan::FindFrom(rest, ",", 0);
    if (comma == scan::npos || comma == 0) return std::nullopt;
    std::string_view field = rest.substr(0, comma);
    rest.remove_prefix(comma + 1);
    return field;
}

std::optional<int> TakeNumber(std::string_view& rest) {
    if (auto field = TakeField(rest)) return scan::ParseInt(*field);
    return std::nullopt;
}

bool TakeFlag(std::string_view& rest) {
    auto field = TakeField(rest);
    return field && *field != "0";
}

}  // namespace

std::string FormatFontHeader(const os::CharFormat& format) {
    std::uint32_t color = format.Has(os::char_effect::kAutoColor) ? 0 : format.color;
    std::string face = FontFaceName(format.faceName);
    return os::Format("FONT(%s,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d)", face.c_str(),
                      static_cast<int>(format.charSet), static_cast<int>(format.pitchAndFamily),
                      format.height, static_cast<int>(format.effects & os::char_effect::kBold),
                      static_cast<int>(format.effects & os::char_effect::kItalic),
                      static_cast<int>(format.effects & os::char_effect::kUnderline),
                      static_cast<int>(format.effects & os::char_effect::kStrikeOut),
                      static_cast<int>(color & 0xFF), static_cast<int>((color & 0xFFFF) >> 8),
                      static_cast<int>((color >> 16) & 0xFF));
}

std::string MakeFontHeader(const os::RichEdit& control) {
    return FormatFontHeader(control.GetSelectionCharFormat());
}

std::uint32_t FontHeaderValues::Color() const {
    return os::Rgb(static_cast<std::uint8_t>(ColorPart(red)),
                   static_cast<std::uint8_t>(ColorPart(green)),
                   static_cast<std::uint8_t>(ColorPart(blue)));
}

std::uint32_t FontHeaderValues::Effects() const {
    std::uint32_t effects = 0;
    if (bold) effects |= os::char_effect::kBold;
    if (italic) effects |= os::char_effect::kItalic;
    if (underline) effects |= os::char_effect::kUnderline;
    if (strikeOut) effects |= os::char_effect::kStrikeOut;
    return effects;
}

std::optional<FontHeaderValues> ReadFontHeader(std::string_view header) {
    if (header.size() < kFontHeaderStart.size()) return std::nullopt;
    std::string_view rest = header.substr(kFontHeaderStart.size());
    FontHeaderValues values;
    if (auto face = TakeField(rest)) values.face = FontFaceName(*face);
    values.charSet = TakeNumber(rest);
    values.pitchAndFamily = TakeNumber(rest);
    values.height = TakeNumber(rest);
    values.bold = TakeFlag(rest);
    values.italic = TakeFlag(rest);
    values.underline = TakeFlag(rest);
    values.strikeOut = TakeFlag(rest);
    values.red = TakeNumber(rest).value_or(0);
    values.green = TakeNumber(rest).value_or(0);
    values.blue = scan::ParseInt(rest);
    return values;
}

void ApplyFontHeader(os::RichEdit& control, std::string_view header) {
    std::optional<FontHeaderValues> values = ReadFontHeader(header);
    if (!values) return;

    os::CharFormat format = control.GetSelectionCharFormat();
    if (values->height) {
        os::CharFormat size;
        size.mask = os::char_mask::kSize;
        size.height = *values->height;
        control.SetSelectionCharFormat(size);
    }
    if (values->face) format.faceName = *values->face;
    format.effects = values->Effects();
    format.color = values->Color();
    format.mask = os::char_mask::kBold | os::char_mask::kItalic | os::char_mask::kUnderline |
                  os::char_mask::kStrikeOut | os::char_mask::kFace | os::char_mask::kColor;
    control.SetSelectionCharFormat(format);
}

}  // namespace chat
