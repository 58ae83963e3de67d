#pragma once
// The part of a GIF that Qt's reader decodes for a still picture, the header and the first frame,
// read by giflib, which decodes the frame once to judge it: Qt's reader decodes a frame whose
// data ends early as far as it goes and calls that a success.
#include <QByteArray>
#include <QIODevice>
#include <QSize>

#include "platform/files/Damage.h"

namespace platform {

struct GifFirstFrame {
  // The picture's size as Qt's reader makes it: the logical screen, or where a side of that is
  // 0, the first frame's extent on that side. Invalid until the frame's descriptor is read.
  QSize size;
  // Why the frame is not whole; None when it is, or when reading stopped at a size over the limit.
  Damage damage = Damage::None;
  // For Qt's reader: the header and the first frame alone, every colour table filled out to 256
  // entries with black (Qt's reader shows an index past the table as transparent white, where
  // other readers show black), then the trailer. Empty unless the frame is whole.
  QByteArray stream;
};

// Reads from the file's current position up to the end of the first frame, no further; over
// the picture limit, no further than the frame's descriptor.
GifFirstFrame ReadGifFirstFrame(QIODevice& file);

}  // namespace platform
