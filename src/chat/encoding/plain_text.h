#pragma once
// Plain-text renderings of chat text for places that cannot show faces or pictures: history
// lists and exports, pop-up previews and the recent-history block of a chat window.

#include <string>
#include <string_view>

namespace chat {

// Every six-character face marker "#(dd)#" (two decimal digits) becomes "[表情]".
std::string FacesToLabel(std::string_view text);

// Every "#(-2)#[" … "]" picture marker becomes "[图片]"; a "#(-2)#[" that no "]" follows stays.
std::string PicturesToLabel(std::string_view text);

// When the text holds "FONT(", removes everything from its start up to and including the first
// ")". A text without ")" is left as it is.
std::string StripFontHeader(std::string_view text);

// Removes the first "FONT(" … ")" header wherever it stands.
std::string RemoveFirstFontHeader(std::string_view text);

// History lists and exports: pictures become "[图片]", the first header is removed, faces
// become "[表情]", in that order.
std::string ToHistoryText(std::string_view text);

// A stored message prepared for the recent-history block of a chat window: a font header in
// front is removed, the rest trimmed at both ends; an offline-file notice becomes empty (it is
// not shown) and a shake becomes "[闪屏振动]".
std::string PrepareRecentHistoryBody(std::string_view body);

}  // namespace chat
