#pragma once
// The chat faces as images: each face's emoji (face_emoji.h) painted from the colour emoji
// font, trimmed to what it covers and scaled to the face size. Without the font, a plain
// drawn face stands in, so every face still has a picture.

#include <QImage>
#include <QString>

namespace host::resources {

inline constexpr int kFaceSize = 24;
inline constexpr const char* kEmojiFontFamily = "Noto Color Emoji";

// Whether the colour emoji font is installed (fonts-noto-color-emoji).
bool HasEmojiFont();

// Face `face` (0..79) at `size` × `size` pixels, transparent around it.
QImage RenderFace(int face, int size = kFaceSize);

}  // namespace host::resources
