#pragma once
// The small tag language of a person's vCard extension:
//   <SIGNATURE>..</SIGNATURE><PHOTO><TYPE>..</TYPE><BINVAL>..</BINVAL></PHOTO>
//   <RECENTIM>a;b</RECENTIM><RECENTSMS>c;d</RECENTSMS>
// Values are escaped as XML text, so a signature holding "<" or "</TYPE>" reads back as
// itself and cannot pose as another tag.

#include <string>
#include <string_view>
#include <vector>

namespace contacts {

// "&", "<" and ">" as entities.
std::string EscapeXmlText(std::string_view text);
// The five predefined entities back to their characters; anything else stays as it is.
std::string UnescapeXmlText(std::string_view text);

// The text between the first "<name>" and the first "</name>" after it, unescaped; empty
// when either is missing.
std::string TagValue(std::string_view xml, std::string_view name);

// Pieces of `text` between ';', empty pieces dropped.
std::vector<std::string> SplitList(std::string_view text);
std::string JoinList(const std::vector<std::string>& items);

}  // namespace contacts
