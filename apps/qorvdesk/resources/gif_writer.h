#pragma once
// A GIF89a writer for still images (Qt reads GIF but does not write it): the image is cut to
// at most 255 colours by median cut, plus one transparent index for the pixels that are
// (mostly) transparent; the pixels are LZW-coded as the format wants.

#include <QByteArray>
#include <QImage>

namespace host::resources {

// The GIF file of `image` (any format). Pixels less than half opaque become transparent;
// the others are laid over `background` first, since a GIF pixel is either seen or not.
// Empty for a null image or one wider or taller than 65535 pixels.
QByteArray EncodeGif(const QImage& image, QRgb background = qRgb(255, 255, 255));

}  // namespace host::resources
