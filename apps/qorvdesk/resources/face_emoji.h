#pragma once
// Which emoji stands for each of the 80 chat faces: the face's meaning (its tooltip in the
// face picker) drawn with an emoji of the same meaning.

#include <QString>

namespace host::resources {

inline constexpr int kFaceCount = 80;

// The emoji text of face `face` (0..79); empty for any other number.
QString FaceEmoji(int face);

}  // namespace host::resources
