#pragma once
// JPEG files, decoded by libjpeg-turbo (the library under Qt's own reader) with the settings Qt's
// reader uses, so the pixels are Qt's. What libjpeg says while it decodes judges the file: a
// warning about the data, a scan that never came, or a file that ends before its end marker
// refuses the picture, where Qt's reader lets libjpeg make up whatever is missing.
#include <QIODevice>
#include <QImage>

#include "platform/files/Damage.h"

namespace platform {

struct JpegPicture {
  enum class Outcome { Decoded, OverLimit, NoMemory, Damaged } outcome = Outcome::Damaged;
  QSize size;  // as the frame header declares it, once that is read
  Damage damage = Damage::None;
  QImage image;  // RGB32, once decoded
};

// Reads the file from its current position, up to its end marker and no further.
JpegPicture ReadJpeg(QIODevice& file);

}  // namespace platform
