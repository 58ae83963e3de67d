#pragma once
// JPEG files, decoded by libjpeg-turbo (the library under Qt's own reader) with the settings Qt's
// reader uses, so the pixels are Qt's. What libjpeg says while it decodes judges the file: a
// warning about the data, a scan that never came, or a file that ends before its end marker
// refuses the picture, where Qt's reader lets libjpeg make up whatever is missing.
#include <QIODevice>

#include "platform/files/Decoded.h"

namespace platform {

// Reads the file from its current position, up to its end marker and no further, into an RGB32
// picture. Kinds libjpeg-turbo does not take (lossless, 12-bit, wider or taller than 65,500,
// 2 or 5 and more components) are refused as such, not as damage.
Decoded ReadJpeg(QIODevice& file, const PictureMemory& memory);

}  // namespace platform
