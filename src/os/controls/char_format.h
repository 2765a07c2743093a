#pragma once
// The character format of rich text: what a CHARFORMAT2 carries for our chat texts. Field
// values and bit numbers are those of the Windows rich edit, so code that masks effects with
// 1, 2, 4, 8 or builds a COLORREF reads the same as on Windows.

#include <cstddef>
#include <cstdint>
#include <string>

namespace os {

// Effect bits of CharFormat::effects (the CFE_* values).
namespace char_effect {
inline constexpr std::uint32_t kBold = 0x00000001;       // CFE_BOLD
inline constexpr std::uint32_t kItalic = 0x00000002;     // CFE_ITALIC
inline constexpr std::uint32_t kUnderline = 0x00000004;  // CFE_UNDERLINE
inline constexpr std::uint32_t kStrikeOut = 0x00000008;  // CFE_STRIKEOUT
inline constexpr std::uint32_t kLink = 0x00000020;       // CFE_LINK
inline constexpr std::uint32_t kAutoColor = 0x40000000;  // CFE_AUTOCOLOR: the system text colour
}  // namespace char_effect

// Bits of CharFormat::mask: which fields a format sets, or which fields are the same across a
// whole selection when the format was read from one (the CFM_* values).
namespace char_mask {
inline constexpr std::uint32_t kBold = 0x00000001;       // CFM_BOLD
inline constexpr std::uint32_t kItalic = 0x00000002;     // CFM_ITALIC
inline constexpr std::uint32_t kUnderline = 0x00000004;  // CFM_UNDERLINE
inline constexpr std::uint32_t kStrikeOut = 0x00000008;  // CFM_STRIKEOUT
inline constexpr std::uint32_t kLink = 0x00000020;  // CFM_LINK: the link effect and the link target
inline constexpr std::uint32_t kCharSet = 0x08000000;  // CFM_CHARSET
inline constexpr std::uint32_t kFace = 0x20000000;     // CFM_FACE: face name and pitch-and-family
inline constexpr std::uint32_t kColor = 0x40000000;  // CFM_COLOR: colour and the auto-colour effect
inline constexpr std::uint32_t kSize = 0x80000000;   // CFM_SIZE: the height
inline constexpr std::uint32_t kEffects = kBold | kItalic | kUnderline | kStrikeOut | kLink;
inline constexpr std::uint32_t kAll = kEffects | kCharSet | kFace | kColor | kSize;
}  // namespace char_mask

inline constexpr int kTwipsPerPoint = 20;
inline constexpr std::size_t kMaxFaceNameBytes = 31;  // LF_FACESIZE less the terminator
inline constexpr std::uint8_t kGb2312CharSet = 134;   // GB2312_CHARSET
inline constexpr std::uint8_t kVariablePitch = 2;     // VARIABLE_PITCH

// A COLORREF: 0x00BBGGRR.
constexpr std::uint32_t Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return std::uint32_t{red} | (std::uint32_t{green} << 8) | (std::uint32_t{blue} << 16);
}

struct CharFormat {
    // Which fields are meant (see char_mask). A format read back from a control has a bit
    // cleared for each field that differs across the selection.
    std::uint32_t mask = char_mask::kAll;
    std::uint32_t effects = 0;  // char_effect bits
    // Height in twips (1/20 point): 180 is 9 points. Kept as given, 0 included; draw with
    // DisplayHeight().
    int height = 9 * kTwipsPerPoint;
    std::uint32_t color = 0;  // COLORREF 0x00BBGGRR; ignored while kAutoColor is set
    std::uint8_t charSet = kGb2312CharSet;
    std::uint8_t pitchAndFamily = kVariablePitch;
    std::string faceName = "宋体";  // GBK, at most kMaxFaceNameBytes bytes in a control
    // Where a link leads when it is not its own text (an anchor's href); empty otherwise.
    // Meaningful only with the kLink effect.
    std::string linkTarget;

    bool Has(std::uint32_t effect) const { return (effects & effect) != 0; }
    // The height to draw with: a height under 1 point (the grey and red notice headers carry
    // 0) would make text unreadable, so such text is drawn at the default 9 points.
    int DisplayHeight() const { return height >= kTwipsPerPoint ? height : 9 * kTwipsPerPoint; }

    bool operator==(const CharFormat&) const = default;
};

}  // namespace os
