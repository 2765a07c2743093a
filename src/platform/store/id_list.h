#pragma once
// The id lists that the OA notice page hands over: decimal ids, each followed by the
// two-character text "\t" (backslash, t). A real tab separates as well; blanks around an id
// are ignored.

#include <string_view>
#include <vector>

namespace store {

// False when a piece is not a decimal number that fits a long; `ids` is then left empty.
bool ParseIdList(std::string_view text, std::vector<long>& ids);

}  // namespace store
