#pragma once
// A picture brought to what a box holds: RGB32, its transparency painted over the back colour.
#include <QImage>

namespace platform {

// Where the picture is the only holder of an ARGB32 buffer, the buffer itself becomes the result,
// so a large picture with an alpha channel needs no second buffer. Null when a buffer it needs
// cannot be had.
QImage Flattened(QImage picture, QRgb back);

}  // namespace platform
