#pragma once
// The file name of a GBK path: what follows its last '\' or '/'. Windows paths use '\', ours
// '/'; both count. Walks by characters, so the second byte of a Chinese character (0x5C can
// be one) is never taken for a separator.

#include <string_view>

namespace web {

std::string_view FileNamePart(std::string_view path);

}  // namespace web
