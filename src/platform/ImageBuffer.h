#pragma once
#include <QImage>

namespace platform {

// An RGB32 image, null when it cannot be had. A large one asks for huge pages: touching a
// fresh canvas-sized buffer page by page costs more than decoding the picture into it.
QImage NewImage(int width, int height);

}  // namespace platform
