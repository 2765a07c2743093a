#pragma once
// The program's icon: a blue speech bubble holding a white ring with a tail (a "Q"), as an SVG
// drawn by hand and as the same shapes painted into an image.

#include <QByteArray>
#include <QImage>

namespace host::resources {

QByteArray ProgramIconSvg();
QImage ProgramIconImage(int size);

}  // namespace host::resources
